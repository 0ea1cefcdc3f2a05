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

class ShortcutCollector : public WalkVisitor {
public:
    ShortcutCollector(std::string root, bool startMenu, std::vector<PrefixShortcut>& found)
        : root_(std::move(root)), startMenu_(startMenu), found_(found)
    {
    }
    bool poll() override { return found_.size() < kMaxPrefixShortcuts; }
    void file(const FoundFile& file) override
    {
        if (found_.size() >= kMaxPrefixShortcuts)
            return;
        std::optional<std::string> menu;
        if (startMenu_)
            menu = submenuOf(fs::path(file.path).lexically_relative(root_));
        found_.push_back(PrefixShortcut{file.path, std::move(menu)});
    }

private:
    std::string root_;
    bool startMenu_;
    std::vector<PrefixShortcut>& found_;
};

} // namespace

std::vector<PrefixShortcut> prefixShortcuts(const std::string& prefix)
{
    const WinePaths paths = winePaths(prefix, prefix);
    std::vector<PrefixShortcut> found;
    std::vector<std::string> walked;
    for (const ShortcutFolder& folder : kShortcutFolders) {
        const auto root = folderOf(folder, paths);
        // The user's Desktop may be the public one, or a link to it.
        if (!root || std::ranges::find(walked, *root) != walked.end())
            continue;
        walked.push_back(*root);
        const std::size_t first = found.size();
        ShortcutCollector collector(*root, folder.startMenu, found);
        walkFolderTree(*root, WalkOptions{true, FilePattern("*.lnk;*.url"), false}, collector);
        // The walk takes subfolders last to first; a listing reads better in order.
        std::sort(found.begin() + static_cast<std::ptrdiff_t>(first), found.end(),
                  [](const PrefixShortcut& a, const PrefixShortcut& b) { return listOrder(a.path, b.path); });
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
