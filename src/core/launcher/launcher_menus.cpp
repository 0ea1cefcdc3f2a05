#include "core/launcher/launcher_menus.h"

#include "core/bytes/byte_reader.h"
#include "core/export/batch_names.h"
#include "core/hash/sha256.h"
#include "core/launcher/launcher_name.h"
#include "core/paths/path_lookup.h"
#include "core/search/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace gb {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMenuFilePrefix = "glimmerbox-wine";

std::string shortHash(std::string_view text)
{
    return sha256Hex(ByteReader{std::as_bytes(std::span(text.data(), text.size()))}).substr(0, 8);
}

std::string xmlEscaped(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// A Start Menu folder's names, outermost first.
std::vector<std::string> namesOf(const std::string& startMenu)
{
    std::vector<std::string> names;
    for (std::size_t at = 0; at < startMenu.size();) {
        const auto end = std::min(startMenu.find('/', at), startMenu.size());
        if (end > at)
            names.push_back(startMenu.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

std::string joined(const std::vector<std::string>& names, std::size_t count)
{
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            path += '/';
        path += names[i];
    }
    return path;
}

// A menu and its submenus, by name, with the launchers each holds.
struct MenuNode {
    std::string path; // the Start Menu folder
    std::vector<std::string> launchers;
    std::map<std::string, MenuNode> submenus;
};

void writeNode(const MenuNode& node, const std::string& name, int depth, std::string& text)
{
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    text += indent + "<Menu>\n";
    text += indent + "  <Name>" + xmlEscaped(name) + "</Name>\n";
    text += indent + "  <Directory>" + xmlEscaped(menuDirectoryName(node.path)) + "</Directory>\n";
    for (const std::string& launcher : node.launchers)
        text += indent + "  <Include><Filename>" + xmlEscaped(launcher) + "</Filename></Include>\n";
    for (const auto& [subname, submenu] : node.submenus)
        writeNode(submenu, subname, depth + 1, text);
    text += indent + "</Menu>\n";
}

std::string fileText(const std::string& path)
{
    return readDesktopEntryFile(path).value_or("");
}

// Writes `text` to `path` unless it holds it already.
std::expected<void, WriteFailure> keep(const std::string& path, const std::string& text)
{
    if (fs::exists(path) && fileText(path) == text)
        return {};
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    return writeFileAtomically(path, std::as_bytes(std::span(text.data(), text.size())));
}

// The values of every <TAG>...</TAG> of a menu file's text.
std::vector<std::string> tagValues(std::string_view text, std::string_view tag)
{
    std::vector<std::string> values;
    const std::string open = "<" + std::string(tag) + ">", close = "</" + std::string(tag) + ">";
    for (std::size_t at = text.find(open); at != std::string_view::npos; at = text.find(open, at)) {
        at += open.size();
        const auto end = text.find(close, at);
        if (end == std::string_view::npos)
            break;
        values.emplace_back(text.substr(at, end - at));
    }
    return values;
}

// This tool's menu files, by name, with their text.
std::map<std::string, std::string> menuFilesIn(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const std::string& name : folderEntryNames(folder).value_or(std::vector<std::string>{}))
        if (name.starts_with(kMenuFilePrefix) && name.ends_with(".menu"))
            files.emplace(name, fileText(childPath(folder, name)));
    return files;
}

// The line a menu file names its data folder by: a menu file of the
// launchers of another data folder (a run with XDG_DATA_HOME set
// elsewhere) is never taken for one of this folder's.
std::string dataMark(const std::string& dataDir)
{
    return "<!-- glimmerbox launchers of data folder " + shortHash(absoluteNormalPath(dataDir)) + " -->\n";
}

// Removes the menu files of this data folder, not kept, whose launchers
// are all gone from DATA/applications.
void removeStaleMenus(const std::string& menus, const std::string& dataDir, const std::set<std::string>& kept)
{
    const std::string applications = joinPath(dataDir, "applications");
    for (const auto& [name, text] : menuFilesIn(menus)) {
        if (kept.contains(name) || !text.starts_with(dataMark(dataDir)))
            continue;
        const auto launchers = tagValues(text, "Filename");
        const bool stale = std::ranges::none_of(launchers, [&](const std::string& launcher) {
            std::error_code ignored;
            return fs::exists(childPath(applications, launcher), ignored);
        });
        std::error_code ignored;
        if (stale)
            fs::remove(childPath(menus, name), ignored);
    }
}

// Removes this tool's directory entries no menu file names any more.
void removeUnnamedDirectories(const std::string& directories, const std::string& menus)
{
    std::set<std::string> named;
    for (const auto& [name, text] : menuFilesIn(menus))
        for (std::string& directory : tagValues(text, "Directory"))
            named.insert(std::move(directory));
    for (const std::string& name : folderEntryNames(directories).value_or(std::vector<std::string>{}))
        if (name.starts_with(kMenuFilePrefix) && name.ends_with(".directory") && !named.contains(name)) {
            std::error_code ignored;
            fs::remove(childPath(directories, name), ignored);
        }
}

std::string directoryText(const std::string& startMenu)
{
    const auto names = namesOf(startMenu);
    std::string name = names.empty() ? "Wine" : names.back();
    // One line per value: the name is a folder's, which holds no line break.
    std::ranges::replace_if(
        name, [](char c) { return c == '\n' || c == '\r'; }, ' ');
    std::string escaped;
    for (const char c : name)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "[Desktop Entry]\nType=Directory\nName=" + escaped +
           "\nIcon=" + (names.empty() ? "wine" : "folder") + "\n";
}

} // namespace

std::string menuDirectoryName(const std::string& startMenu)
{
    if (startMenu.empty())
        return std::string(kMenuFilePrefix) + ".directory";
    return std::string(kMenuFilePrefix) + "-" + defaultLauncherName(startMenu) + "-" + shortHash(startMenu) +
           ".directory";
}

std::string launcherMenuText(const std::vector<OwnEntry>& entries)
{
    MenuNode root;
    for (const OwnEntry& entry : entries) {
        if (!entry.startMenu)
            continue;
        const auto names = namesOf(*entry.startMenu);
        MenuNode* node = &root;
        for (std::size_t i = 0; i < names.size(); ++i) {
            node = &node->submenus[names[i]];
            node->path = joined(names, i + 1);
        }
        node->launchers.push_back(fs::path(entry.file).filename().string());
    }
    std::string text = "<Menu>\n  <Name>Applications</Name>\n";
    writeNode(root, std::string(kMenuFilePrefix), 1, text);
    return text + "</Menu>\n";
}

std::expected<void, WriteFailure> syncLauncherMenus(const std::string& dataDir, const std::string& configDir)
{
    std::map<std::string, std::vector<OwnEntry>> byPrefix;
    for (OwnEntry& entry : ownEntries(joinPath(dataDir, "applications")))
        if (entry.prefix && entry.startMenu)
            byPrefix[*entry.prefix].push_back(std::move(entry));
    const std::string menus = joinPath(configDir, "menus/applications-merged");
    const std::string directories = joinPath(dataDir, "desktop-directories");
    std::set<std::string> menuFiles, directoryFiles;
    for (const auto& [prefix, entries] : byPrefix) {
        const std::string name = std::string(kMenuFilePrefix) + "-" + shortHash(prefix) + ".menu";
        menuFiles.insert(name);
        if (auto kept = keep(joinPath(menus, name), dataMark(dataDir) + launcherMenuText(entries)); !kept)
            return kept;
        std::set<std::string> folders{""};
        for (const OwnEntry& entry : entries) {
            const auto names = namesOf(*entry.startMenu);
            for (std::size_t i = 1; i <= names.size(); ++i)
                folders.insert(joined(names, i));
        }
        for (const std::string& folder : folders) {
            const std::string file = menuDirectoryName(folder);
            if (directoryFiles.insert(file).second)
                if (auto kept = keep(joinPath(directories, file), directoryText(folder)); !kept)
                    return kept;
        }
    }
    removeStaleMenus(menus, dataDir, menuFiles);
    removeUnnamedDirectories(directories, menus);
    return {};
}

} // namespace gb
