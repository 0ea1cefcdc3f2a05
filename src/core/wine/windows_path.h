#pragma once
// The Windows path Wine gives a file of this system: the drive of the
// prefix (PREFIX/dosdevices/x:) whose folder holds it, the deepest such
// drive first (C: before Z:, which is the whole system), and the names
// below it joined by "\".

#include <optional>
#include <string>

namespace gb {

// None when no drive of the prefix holds the file, or when a name on the
// way is one Windows cannot write (holding one of "<>:"|?* or a control
// character, or ending in a space or a dot).
std::optional<std::string> windowsPathOf(const std::string& file, const std::string& prefix);

} // namespace gb
