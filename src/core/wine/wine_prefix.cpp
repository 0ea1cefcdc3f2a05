#include "core/wine/wine_prefix.h"

#include "core/paths/path_lookup.h"
#include "core/text/ascii.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace gb {

namespace {

namespace fs = std::filesystem;

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool isDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

// The components of a path, with "." and empty ones dropped and each ".."
// taking the one before it away, as Windows shortens a path before it looks
// anything up. `above` counts the ".." left over at the front.
struct Components {
    std::vector<std::string> names;
    int above = 0;
};

Components componentsOf(std::string_view path)
{
    Components result;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t end = at;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        const std::string name(path.substr(at, end - at));
        at = end + 1;
        if (name.empty() || name == ".")
            continue;
        if (name != "..")
            result.names.push_back(name);
        else if (!result.names.empty())
            result.names.pop_back();
        else
            ++result.above;
    }
    return result;
}

std::string joinedWindows(const std::vector<std::string>& names)
{
    std::string path;
    for (const std::string& name : names)
        path += (path.empty() ? "" : "\\") + name;
    return path;
}

struct Expanded {
    std::string path;
    std::optional<std::string> unknown; // the first %NAME% left as it was
    bool tooLong = false;               // given or grown past kMaxWindowsPathLength
};

// Like ExpandEnvironmentStrings: a variable that is not set stays as it is
// written, so "100%.exe" keeps its "%"; should the path then not be found,
// that variable is the reason given. One pass, each "%" looked at once.
Expanded expanded(std::string_view path, const WinePaths& paths)
{
    Expanded result;
    if (path.size() > kMaxWindowsPathLength) {
        result.tooLong = true;
        return result;
    }
    std::size_t at = 0;
    while (at < path.size()) {
        if (result.path.size() > kMaxWindowsPathLength) {
            result.tooLong = true;
            return result;
        }
        const std::size_t open = path.find('%', at);
        const std::size_t close = open == std::string_view::npos ? open : path.find('%', open + 1);
        if (close == std::string_view::npos) {
            result.path += path.substr(at);
            break;
        }
        result.path += path.substr(at, open - at);
        const std::string_view name = path.substr(open + 1, close - open - 1);
        if (const auto value = wineVariable(name, paths)) {
            result.path += *value;
            at = close + 1;
            continue;
        }
        if (!result.unknown && !name.empty())
            result.unknown = std::string(name);
        // The closing "%" may open the next variable.
        result.path += path.substr(open, close - open);
        at = close;
    }
    result.tooLong = result.path.size() > kMaxWindowsPathLength;
    return result;
}

// A path too long to be one, cut to what a message can show.
std::string shortened(std::string_view path)
{
    constexpr std::size_t kShown = 60;
    if (path.size() <= kShown)
        return std::string(path);
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(path[cut]) & 0xC0) == 0x80)
        --cut; // not inside a UTF-8 character
    return std::string(path.substr(0, cut)) + "...";
}

WinePathProblem problemOf(LookupProblem problem)
{
    switch (problem) {
    case LookupProblem::Missing: break;
    case LookupProblem::NotFileOrFolder: return WinePathProblem::NotAFile;
    case LookupProblem::LeavesFence: return WinePathProblem::LeavesFolder;
    }
    return WinePathProblem::Missing;
}

// The fence of a confined lookup from `anchor` (a drive's root, or the
// folder relative paths start from): the prefix's tree when the anchor lies
// in it, else the anchor's own tree (a drive such as z: -> / leads out of the
// prefix, as Wine's drive does); the prefix's dosdevices links are drives
// wherever they are met.
std::optional<LookupFence> fenceFrom(const std::string& anchor, const WinePaths& paths)
{
    const auto realStart = realPathOf(anchor);
    if (!realStart)
        return std::nullopt;
    LookupFence fence;
    const auto realPrefix = paths.prefix ? realPathOf(*paths.prefix) : std::nullopt;
    if (realPrefix) {
        fence.driveLinks = *realPrefix + "/dosdevices";
        fence.root = liesWithin(*realStart, *realPrefix) ? *realPrefix : *realStart;
    } else {
        fence.root = *realStart;
    }
    return fence;
}

} // namespace

std::string describe(const WinePathFailure& failure)
{
    switch (failure.problem) {
    case WinePathProblem::NoPrefix:
        return failure.path + ": a Windows path, and no Wine prefix to find it in (give --prefix)";
    case WinePathProblem::NoDrive: return failure.path + ": the prefix has no drive " + failure.detail;
    case WinePathProblem::LeavesDrive: return failure.path + ": goes above the root of its drive";
    case WinePathProblem::UnknownVariable:
        return failure.path + ": Wine does not set the variable %" + failure.detail + "%";
    case WinePathProblem::Empty: return "the shortcut names no file";
    case WinePathProblem::Unsupported: return failure.path + ": not a path on a drive of the prefix";
    case WinePathProblem::Missing: return failure.path + ": no such file or folder";
    case WinePathProblem::TooLong:
        return failure.path + ": longer than the " + std::to_string(kMaxWindowsPathLength) +
               " characters of a Windows path";
    case WinePathProblem::NotAFile:
        return failure.path + ": names a device, FIFO or socket, which is never opened";
    case WinePathProblem::LeavesFolder:
        return failure.path + ": leads out of the shortcut's prefix (without one, its folder)";
    }
    return failure.path;
}

bool isWinePrefix(const std::string& folder)
{
    std::error_code ignored;
    return isFolder(fs::path(folder) / "drive_c") &&
           fs::is_regular_file(fs::path(folder) / "system.reg", ignored);
}

std::optional<std::string> findWinePrefix(const std::string& path)
{
    std::error_code error;
    fs::path folder = fs::absolute(fs::path(path), error).lexically_normal();
    if (error)
        return std::nullopt;
    while (folder.has_relative_path()) {
        folder = folder.parent_path();
        if (isWinePrefix(folder.string()))
            return folder.string();
    }
    return std::nullopt;
}

std::string userOf(const std::string& prefix)
{
    std::vector<std::string> users;
    const std::string folder = prefix + "/drive_c/users";
    for (const std::string& name : folderEntryNames(folder).value_or(std::vector<std::string>{}))
        if (!equalIgnoringAsciiCase(name, "Public") && isFolder(fs::path(folder) / name))
            users.push_back(name);
    if (users.size() == 1)
        return users.front();
    const char* user = std::getenv("USER");
    return user != nullptr && *user != '\0' ? user : "user";
}

WinePrefixFacts prefixFacts(const std::optional<std::string>& prefix)
{
    WinePrefixFacts facts;
    facts.user = userOf(prefix.value_or("/nonexistent"));
    // A 32-bit prefix has no "Program Files (x86)": its one program folder
    // serves both names there.
    facts.wow64 = prefix && findEntryIgnoringCase(*prefix + "/drive_c", "Program Files (x86)");
    return facts;
}

WinePaths winePaths(std::optional<std::string> prefix, std::string relativeBase, bool confined)
{
    WinePaths paths;
    paths.facts = prefixFacts(prefix);
    paths.prefix = std::move(prefix);
    paths.relativeBase = std::move(relativeBase);
    paths.confined = confined;
    return paths;
}

std::optional<std::string> wineVariable(std::string_view name, const WinePaths& paths)
{
    const std::string user = paths.facts.user.empty() ? std::string("user") : paths.facts.user;
    const std::string profile = "C:\\users\\" + user;
    const std::string programs32 = paths.facts.wow64 ? "C:\\Program Files (x86)" : "C:\\Program Files";
    const std::pair<std::string_view, std::string> variables[] = {
        {"ProgramFiles", "C:\\Program Files"},
        {"ProgramW6432", "C:\\Program Files"},
        {"ProgramFiles(x86)", programs32},
        {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
        {"CommonProgramFiles(x86)", programs32 + "\\Common Files"},
        {"SystemRoot", "C:\\windows"},
        {"windir", "C:\\windows"},
        {"SystemDrive", "C:"},
        {"ProgramData", "C:\\ProgramData"},
        {"ALLUSERSPROFILE", "C:\\ProgramData"},
        {"PUBLIC", "C:\\users\\Public"},
        {"USERPROFILE", profile},
        {"APPDATA", profile + "\\AppData\\Roaming"},
        {"LOCALAPPDATA", profile + "\\AppData\\Local"},
    };
    for (const auto& [variable, value] : variables)
        if (equalIgnoringAsciiCase(variable, name))
            return value;
    return std::nullopt;
}

std::expected<std::string, WinePathFailure> expandWineVariables(std::string_view windowsPath,
                                                                const WinePaths& paths)
{
    Expanded result = expanded(windowsPath, paths);
    if (result.tooLong)
        return std::unexpected(WinePathFailure{WinePathProblem::TooLong, shortened(windowsPath), {}});
    if (result.unknown)
        return std::unexpected(
            WinePathFailure{WinePathProblem::UnknownVariable, std::string(windowsPath), *result.unknown});
    return std::move(result.path);
}

std::expected<std::string, WinePathFailure> mapWindowsPath(std::string_view windowsPath,
                                                           const WinePaths& paths)
{
    const std::string given(windowsPath);
    const auto fail = [&given](WinePathProblem problem, std::string detail = {}) {
        return std::unexpected(WinePathFailure{problem, given, std::move(detail)});
    };
    const Expanded expansion = expanded(windowsPath, paths);
    if (expansion.tooLong)
        return std::unexpected(WinePathFailure{WinePathProblem::TooLong, shortened(windowsPath), {}});
    std::string_view path = expansion.path;
    // \\?\C:\... and \\.\C:\... are the same paths without a length limit.
    if (path.size() >= 6 && isSeparator(path[0]) && isSeparator(path[1]) &&
        (path[2] == '?' || path[2] == '.') && isSeparator(path[3]) && isDriveLetter(path[4]) &&
        path[5] == ':')
        path.remove_prefix(4);
    if (path.empty())
        return fail(WinePathProblem::Empty);
    if ((path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])))
        return fail(WinePathProblem::Unsupported);

    const bool onDrive = path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':';
    std::string base;
    Components components;
    if (onDrive || isSeparator(path[0])) {
        // A path from the root without a letter is on the system drive.
        const std::string drive = onDrive ? std::string{asciiLower(path[0]), ':'} : std::string("c:");
        if (!paths.prefix)
            return fail(WinePathProblem::NoPrefix, drive);
        const auto root = findEntryIgnoringCase(*paths.prefix + "/dosdevices", drive);
        if (!root)
            return fail(WinePathProblem::NoDrive, drive);
        base = *root;
        components = componentsOf(onDrive ? path.substr(2) : path);
        if (components.above > 0)
            return fail(WinePathProblem::LeavesDrive);
    } else {
        components = componentsOf(path);
        if (paths.relativeBase.empty())
            return fail(WinePathProblem::Missing);
        fs::path folder = fs::path(paths.relativeBase).lexically_normal();
        if (folder.has_relative_path() && !folder.has_filename())
            folder = folder.parent_path(); // "/a/b/" is "/a/b"
        for (int up = 0; up < components.above; ++up) {
            if (!folder.has_relative_path())
                return fail(WinePathProblem::LeavesDrive);
            folder = folder.parent_path();
        }
        base = folder.string();
    }
    LookupFence fence;
    if (paths.confined) {
        // A drive's tree is its own; a relative path keeps to the tree the
        // shortcut lies in, so ".." cannot climb out of it.
        auto confinedTo = fenceFrom(onDrive || isSeparator(path[0]) ? base : paths.relativeBase, paths);
        if (!confinedTo)
            return fail(WinePathProblem::Missing);
        fence = std::move(*confinedTo);
    }
    auto found = lookUpIgnoringCase(base, joinedWindows(components.names), fence);
    if (!found) {
        if (found.error() == LookupProblem::Missing && expansion.unknown)
            return fail(WinePathProblem::UnknownVariable, *expansion.unknown);
        return fail(problemOf(found.error()));
    }
    return std::move(*found);
}

} // namespace gb
