#pragma once
// Where Windows 10 and 11 keep the icons of their system libraries: since
// 1903 imageres.dll, shell32.dll and others in System32 (and SysWOW64) hold
// code only, and the resource loader takes their resources from
// SystemResources/NAME.mun beside that folder.

#include <optional>
#include <string>

namespace gb {

// ../SystemResources/NAME.mun for a file NAME in a folder named System32 or
// SysWOW64 (any case), when that file exists; each name is matched without
// regard to case, as on the Windows partition the path may lie on.
std::optional<std::string> systemResourcesFile(const std::string& path);

} // namespace gb
