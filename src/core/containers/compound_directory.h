#pragma once
// A look at a compound file's directory before libgsf reads it. libgsf
// builds its tree of directory entries by recursing once per entry along
// the sibling links, so a chain of some 50,000 entries (a 6 MB file)
// overflows a thread's stack, and it sorts them into a list in time that
// grows with the square of their number; and it leaks the entries it finds
// beside the root, where the format allows none. The directory is looked
// at here first: its size counted by following its sector chain as libgsf
// will, and its root entry's sibling links checked.

#include "core/bytes/source_reader.h"

#include <cstdint>
#include <optional>
#include <string>

namespace gb {

// Far above a real Windows Installer package (its tables, a few hundred
// Binary and Icon rows, its cabinets), far below the depth that exhausts
// an 8 MiB thread stack: libgsf spends about 200 bytes of stack per entry,
// and 30,000 entries were read safely where 50,000 overflowed.
inline constexpr std::uint64_t kMaxDirectoryEntries = 8192;

// Why libgsf must not be given the file; nothing when it may. A directory
// that cannot be followed at all passes: libgsf then refuses the file on
// its own, before it reads a single entry.
std::optional<std::string> directoryRefusal(const SourceReader& file);

} // namespace gb
