#pragma once
// A member a container keeps stored, not compressed, in one run of the
// container's own bytes: it is read in place through the container's
// positioned reads, as a file on disk is, instead of being copied whole.

#include <cstdint>
#include <string>
#include <vector>

namespace gb {

struct StoredMember {
    std::string name;         // as the walk gives names (member_name.h)
    std::uint64_t offset = 0; // of its first byte in the container
    std::uint64_t size = 0;
};

// The members of a container whose every member is stored so, in the order
// the walk hands them on.
using StoredMembers = std::vector<StoredMember>;

} // namespace gb
