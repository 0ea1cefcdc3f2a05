#pragma once
// The launcher a catalogued icon's row makes: for a program, the program
// showing that very icon; for a Windows shortcut's row, the shortcut
// itself, which picks its icon by the launcher's own rules (the icon it
// names, else its program's first).

#include "core/catalogue/icon_origin.h"
#include "core/launcher/launcher.h"

#include <optional>
#include <string>

namespace gb {

// None for an icon inside an archive, a disk image or an installer: a
// program there cannot be run from there.
std::optional<LauncherRequest> launcherRequestOf(const IconOrigin& origin, std::string dataDir);

} // namespace gb
