#pragma once
// The submenus a prefix's Start Menu folders make, in the freedesktop.org
// desktop menu format: one menu file per prefix merged into
// the applications menu (CONFIG/menus/applications-merged), a "Wine" menu
// in it holding the launchers of shortcuts directly in a Start Menu, and
// one submenu per Start Menu folder, each named by a directory entry
// (DATA/desktop-directories). They are made again from the launchers
// there are, so removing a launcher removes its submenu once it is empty.

#include "core/files/atomic_file.h"
#include "core/launcher/own_entries.h"

#include <expected>
#include <string>
#include <vector>

namespace gb {

// The menu file's text for the launchers of one prefix (those with a Start
// Menu folder); the directory entries it names are menuDirectoryName's.
std::string launcherMenuText(const std::vector<OwnEntry>& entries);

// The directory entry naming the submenu of a Start Menu folder ("" for
// the Wine menu itself): glimmerbox-wine[-...].directory.
std::string menuDirectoryName(const std::string& startMenu);

// Writes the menu file of every prefix that has launchers with a Start Menu
// folder and the directory entries they name, and removes the menu files
// of this data folder whose launchers are all gone, and the directory
// entries no menu file names any more. Files already as they should be are
// not written again.
std::expected<void, WriteFailure> syncLauncherMenus(const std::string& dataDir, const std::string& configDir);

} // namespace gb
