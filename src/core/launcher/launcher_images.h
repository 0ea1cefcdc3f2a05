#pragma once
// The images a launcher installs into the hicolor theme: the theme sizes
// its icon stores, and a 48x48 made from its largest image when it stores
// none of 48 or more (menus and docks draw at 48 and up).

#include "core/icons/icon_source.h"
#include "core/launcher/launcher.h"

#include <expected>
#include <string>
#include <vector>

namespace gb {

// The icon at `position` of `source` as theme images; why not, in words,
// when it holds no image that can be read.
std::expected<std::vector<LauncherImage>, std::string> launcherImages(const IconSource& source, int position);

} // namespace gb
