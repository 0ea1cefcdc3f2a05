#pragma once
// What reading an archive gives, whichever process reads it: an entry's
// header, or a fault and how much of the archive it loses.

#include "core/containers/container_walk.h"

#include <cstdint>
#include <optional>
#include <string>

namespace gb {

struct ArchiveEntry {
    std::string name; // normalised (member_name.h)
    bool regularFile = false;
    bool encrypted = false;
    std::optional<std::uint64_t> size; // what its header claims
};

enum class FaultScope {
    Member,       // this member is lost; the next one can be read
    Container,    // nothing more can be read from this archive
    NotAnArchive, // libarchive recognises no format we opened it for
};

struct ArchiveFault {
    ContainerProblem problem = ContainerProblem::Damaged; // Damaged, Bomb, Hostile or Cancelled
    std::string detail;
    FaultScope scope = FaultScope::Container;
};

} // namespace gb
