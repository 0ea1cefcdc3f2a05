#pragma once
// The program's places in the file system, each looked up here and nowhere
// else: the folder of the executable, the user's data folder after the XDG
// base directory rules, and what lives below them.
//
// The output folder is the folder of the executable when the user may write
// there (a build folder, a portable copy), otherwise
// $XDG_DATA_HOME/glimmerbox (~/.local/share/glimmerbox). Batch saves go to
// its folders "icons" and "bmps".

#include <optional>
#include <string>

namespace gb {

// The folder the running executable lies in; nullopt when the system does
// not say (no /proc).
std::optional<std::string> programFolder();

// $XDG_DATA_HOME when it is an absolute path (a relative one is ignored, as
// the XDG rules say), otherwise $HOME/.local/share; nullopt when HOME is
// unset too.
std::optional<std::string> dataHome();

// $XDG_CONFIG_HOME when it is an absolute path, otherwise $HOME/.config;
// nullopt when HOME is unset too. Menus merged into the applications menu
// go below it.
std::optional<std::string> configHome();

// The Wine prefix Wine itself takes: $WINEPREFIX, else ~/.wine.
std::optional<std::string> defaultWinePrefix();

// Where launchers go by default (applications/ and icons/ below it): the
// user's data folder, dataHome().
std::optional<std::string> defaultDataDir();

// The output folder, made when it is missing.
std::string appPath();

// The user's icon themes, $XDG_DATA_HOME/icons (~/.local/share/icons), where
// a launcher's Icon= key finds an installed icon.
std::string userIconsFolder();

inline constexpr const char* kIconFolderName = "icons";
inline constexpr const char* kBitmapFolderName = "bmps";

// Makes "icons" and "bmps" below the folder when nothing of that name is
// there (a file of that name is left alone, and no folder is made).
void ensureOutputFolders(const std::string& folder);

} // namespace gb
