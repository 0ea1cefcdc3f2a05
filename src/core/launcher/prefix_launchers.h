#pragma once
// The launchers of a whole Wine prefix: one for every shortcut it shows
// its user, made again as they change; and the launchers whose shortcut
// or program is gone, removed as they go.

#include "core/launcher/launcher.h"

#include <functional>
#include <string>
#include <vector>

namespace gb {

struct PrefixLauncher {
    std::string shortcut;
    std::expected<LauncherWritten, LauncherError> written;
    std::vector<LauncherNote> notes;
};

// Plans and writes a launcher for each shortcut of the prefix (see
// prefixShortcuts), telling each as it is done. A shortcut refused leaves
// the others as they are.
void makePrefixLaunchers(const std::string& prefix, const std::string& dataDir, bool force,
                         const std::function<void(const PrefixLauncher&)>& tell);

struct RemovedLauncher {
    OwnEntry entry;
    std::error_code error; // why the entry could not be removed; none when it was
};

// Removes the launchers made from a source that no longer exists, of
// `prefix` alone when given.
std::vector<RemovedLauncher> pruneLaunchers(const std::string& dataDir,
                                            const std::optional<std::string>& prefix);

// The launcher named NAME (also given as glimmerbox-NAME or
// glimmerbox-NAME.desktop), when this tool made it.
std::optional<OwnEntry> findOwnLauncher(const std::string& dataDir, std::string_view name);

} // namespace gb
