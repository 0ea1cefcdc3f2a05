#include "core/launcher/prefix_shortcuts.h"

#include "core/search/folder_listing.h"
#include "core/search/folder_walk.h"
#include "core/text/ascii.h"
#include "core/wine/wine_prefix.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace gb {

namespace {

namespace fs = std::filesystem;

struct ShortcutFolder {
    const char* windowsPath;
    bool startMenu;
};

// As Wine lays a prefix out (CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU,
// CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY).
constexpr ShortcutFolder kShortcutFolders[] = {
    {"%APPDATA%\\Microsoft\\Windows\\Start Menu", true},
    {"%ProgramData%\\Microsoft\\Windows\\Start Menu", true},
    {"%USERPROFILE%\\Desktop", false},
    {"%PUBLIC%\\Desktop", false},
};

std::optional<std::string> folderOf(const ShortcutFolder& folder, const WinePaths& paths)
{
    auto found = mapWindowsPath(folder.windowsPath, paths);
    std::error_code error;
    if (!found || !fs::is_directory(*found, error))
        return std::nullopt;
    const fs::path real = fs::canonical(*found, error);
    return error ? std::nullopt : std::optional<std::string>(real.string());
}

// The submenu of a shortcut at `relative` below its Start Menu: its folders,
// less a first "Programs".
std::string submenuOf(const fs::path& relative)
{
    std::string menu;
    bool first = true;
    for (const fs::path& name : relative.parent_path()) {
        if (std::exchange(first, false) && equalIgnoringAsciiCase(name.string(), "Programs"))
            continue;
        if (!menu.empty())
            menu += '/';
        menu += name.string();
    }
    return menu;
}

} // namespace

std::vector<std::string> prefixShortcuts(const std::string& prefix)
{
    const WinePaths paths = winePaths(prefix, prefix);
    std::vector<std::string> found;
    std::vector<std::string> walked;
    for (const ShortcutFolder& folder : kShortcutFolders) {
        const auto root = folderOf(folder, paths);
        // The user's Desktop may be the public one, or a link to it.
        if (!root || std::ranges::find(walked, *root) != walked.end() || found.size() >= kMaxPrefixShortcuts)
            continue;
        walked.push_back(*root);
        for (std::string& shortcut :
             filesBelow(*root, FilePattern("*.lnk;*.url"), kMaxPrefixShortcuts - found.size()))
            found.push_back(std::move(shortcut));
    }
    return found;
}

std::optional<std::string> startMenuFolderOf(const std::string& shortcut, const std::string& prefix)
{
    std::error_code error;
    const fs::path folder = fs::canonical(fs::absolute(shortcut, error).parent_path(), error);
    if (error)
        return std::nullopt;
    const fs::path real = folder / fs::path(shortcut).filename();
    const WinePaths paths = winePaths(prefix, prefix);
    for (const ShortcutFolder& start : kShortcutFolders) {
        if (!start.startMenu)
            continue;
        const auto root = folderOf(start, paths);
        if (!root)
            continue;
        const fs::path relative = real.lexically_relative(*root);
        if (!relative.empty() && *relative.begin() != "..")
            return submenuOf(relative);
    }
    return std::nullopt;
}

} // namespace gb
