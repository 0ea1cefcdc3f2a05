#pragma once
// The user's own folders as xdg-user-dirs records them in
// CONFIG/user-dirs.dirs: lines KEY="VALUE", the value an absolute path or
// one starting with $HOME/, a backslash taking the next character as it
// is. Wine puts the entries of a prefix's Desktop shortcuts in the Desktop
// folder named there.

#include <optional>
#include <string>
#include <string_view>

namespace gb {

// The folder `key` (XDG_DESKTOP_DIR, say) names in the file's text, with
// $HOME replaced by `home`; nullopt when the key is missing or its value is
// neither absolute nor below $HOME.
std::optional<std::string> userDirIn(std::string_view userDirs, std::string_view key,
                                     const std::string& home);

// The user's Desktop folder: as CONFIG/user-dirs.dirs names it (`configDir`
// being CONFIG, when there is one), else HOME/Desktop.
std::string usersDesktopFolder(const std::optional<std::string>& configDir, const std::string& home);

} // namespace gb
