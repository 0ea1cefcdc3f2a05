#pragma once
// Writing a file so that it is either the old file or the new one, never
// half of either: a temporary file in the same folder, then rename.

#include <cstddef>
#include <expected>
#include <span>
#include <string>

namespace gb {

struct WriteFailure {
    int systemError = 0; // errno
    std::string message; // what failed, for programmers and scripts
};

std::expected<void, WriteFailure> writeFileAtomically(const std::string& path,
                                                      std::span<const std::byte> contents);

} // namespace gb
