#pragma once
// Windows paths inside a Wine prefix, found as Wine finds them: a drive
// letter through PREFIX/dosdevices/x: (a link, usually c: -> ../drive_c and
// z: -> /), each further component matched without regard to case, and the
// environment variables a program sees expanded as Wine lays a prefix out
// (C:\Program Files, C:\windows, C:\users\USER\AppData\Roaming, ...).
// A relative path (a shortcut's target or icon beside it) is followed from
// the folder given, with a prefix or without one.

#include <cstddef>
#include <expected>
#include <optional>
#include <string>
#include <string_view>

namespace gb {

enum class WinePathProblem {
    NoPrefix,        // a drive or a variable, and no prefix to find it in
    NoDrive,         // the prefix has no dosdevices link for the drive letter
    LeavesDrive,     // ".." above the root of its drive
    UnknownVariable, // a %NAME% Wine does not set (detail: the name)
    Empty,           // no path at all (a shortcut naming no file)
    Unsupported,     // a network path (\\server\share)
    Missing,         // some component does not exist
    TooLong,         // longer than a Windows path can be, as given or expanded
    NotAFile,        // a device, FIFO or socket on the way: never opened
    LeavesFolder,    // out of the folders a confined lookup keeps to
};

struct WinePathFailure {
    WinePathProblem problem = WinePathProblem::Missing;
    std::string path;   // the Windows path as given
    std::string detail; // the drive or variable concerned, when there is one
};

std::string describe(const WinePathFailure& failure);

// The longest path Windows takes (the \\?\ form, in UTF-16 units): longer
// text, given or expanded, names no file. It also bounds the work one path
// costs: at most one variable per two of its characters.
inline constexpr std::size_t kMaxWindowsPathLength = 32767;

// What the variables need to know of a prefix, read from its folders once
// rather than once per variable.
struct WinePrefixFacts {
    std::string user;   // the user's folder name under drive_c/users
    bool wow64 = false; // a 64-bit prefix: drive_c holds "Program Files (x86)"
};

// The facts of `prefix`; without one, the user is $USER.
WinePrefixFacts prefixFacts(const std::optional<std::string>& prefix);

// Where Windows paths are looked up.
struct WinePaths {
    std::optional<std::string> prefix; // the prefix's folder
    std::string relativeBase;          // the folder relative paths start from
    WinePrefixFacts facts;             // prefixFacts(prefix)
    // A confined lookup stays in the prefix's folder tree (without a prefix,
    // in the relative base's), links followed, and leaves it only through a
    // drive of the prefix (PREFIX/dosdevices/x:), which leads wherever Wine's
    // drive does. Unconfined, relative paths may climb anywhere. Either way
    // only folders and regular files are passed.
    bool confined = false;
};

// The paths of a prefix with its facts worked out.
WinePaths winePaths(std::optional<std::string> prefix, std::string relativeBase, bool confined = false);

// The prefix a file lies in: the nearest folder above it that holds
// drive_c and system.reg, as Wine leaves every prefix it has made.
std::optional<std::string> findWinePrefix(const std::string& path);
// Whether `folder` is a Wine prefix: it holds drive_c and system.reg. Wine
// makes a new prefix in any other folder named to it.
bool isWinePrefix(const std::string& folder);

// The user Wine made the prefix for: the one folder under drive_c/users
// other than Public, else $USER.
std::string userOf(const std::string& prefix);

// The value of a variable a program sees in the prefix, as a Windows path,
// or none for a variable Wine does not set. The name is matched without
// regard to case, as Windows matches it. Reads no folder: the prefix's
// facts are in `paths`.
std::optional<std::string> wineVariable(std::string_view name, const WinePaths& paths);

// The path with every %NAME% expanded (a lone "%" stays as it is); TooLong
// past kMaxWindowsPathLength.
std::expected<std::string, WinePathFailure> expandWineVariables(std::string_view windowsPath,
                                                                const WinePaths& paths);

// The existing file or folder a Windows path names, as a path of this system.
std::expected<std::string, WinePathFailure> mapWindowsPath(std::string_view windowsPath,
                                                           const WinePaths& paths);

} // namespace gb
