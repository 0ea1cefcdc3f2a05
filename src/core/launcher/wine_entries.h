#pragma once
// Sharper icons for the entries Wine writes itself (its menu builder puts
// them in DATA/applications/wine/...): the shortcut or program each starts
// is read, and every theme size of its icon is written under the entry's
// own Icon= name into the hicolor folders the desktop looks in. Nothing of
// Wine's is removed, and its entries are left as they are.

#include "core/launcher/launcher.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gb {

// What a Wine entry's Exec line starts: the Unix path after start's
// "/Unix", else the program's (Windows) path after "wine"; and the prefix
// its WINEPREFIX names.
struct WineEntryTarget {
    std::string path;
    bool windowsPath = false;
    std::optional<std::string> prefix;
};

// Splits an Exec value into its arguments as the desktop entry format
// quotes them (double quotes with \" \` \$ \\ inside, a backslash before
// any character outside them).
std::vector<std::string> execArguments(std::string_view exec);

std::optional<WineEntryTarget> wineEntryTarget(std::string_view exec);

struct RefreshedWineEntry {
    std::string entry;                  // the entry's file
    std::string icon;                   // its Icon= name
    std::vector<int> sizes;             // the sizes written
    std::optional<std::string> problem; // why nothing was written, in English
};

// Every entry below DATA/applications/wine, then every Wine entry in the
// user's Desktop folder `desktopDir` (itself only, where Wine puts those of
// a prefix's Desktop shortcuts), of `prefix` (every prefix when none is
// given; an entry without WINEPREFIX is of ~/.wine, given as `homePrefix`),
// told one by one.
void refreshWineEntries(const std::string& dataDir, const std::optional<std::string>& desktopDir,
                        const std::optional<std::string>& prefix, const std::string& homePrefix,
                        const std::function<void(const RefreshedWineEntry&)>& tell);

} // namespace gb
