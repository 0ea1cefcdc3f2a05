#pragma once
// A Linux launcher for a Windows program run by Wine: a desktop entry in
// DATA/applications and the program's icon in DATA/icons/hicolor, made from
// the program itself or from a Windows shortcut (.lnk) to it.
//
// planLauncher reads everything and decides, writing nothing; renamedPlan
// gives a plan another NAME without reading anything again; writeLauncher
// writes what a plan holds, all of it or nothing. The errors are values
// with a kind and the path concerned; describe() words them in English for
// the command-line tool, and a window words the kinds in its own language.

#include "core/bytes/read_error.h"
#include "core/files/atomic_file.h"
#include "core/launcher/launcher_name.h"

#include <cstddef>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace gb {

struct LauncherRequest {
    std::string path;                  // a Windows program, or a shortcut to one
    std::optional<std::string> prefix; // the Wine prefix; else the one PATH lies in
    std::optional<std::string> name;   // NAME of glimmerbox-NAME; else the default
    std::string dataDir;               // where applications/ and icons/ go
};

enum class LauncherProblem {
    Unreadable,      // PATH, the program or the icon's file cannot be read (see read)
    BrokenShortcut,  // PATH is a shortcut that cannot be read (see read)
    NoTarget,        // the shortcut names no program
    NoPrefix,        // a Windows path, and no Wine prefix to find it in
    PrefixNotFolder, // the prefix given is no folder
    NotWinePrefix,   // the prefix given holds no drive_c and system.reg
    NoDrive,         // the prefix has no such drive (detail: "d:")
    LeavesDrive,     // a path going above the root of its drive
    UnknownVariable, // a %NAME% Wine does not set (detail: NAME)
    UnsupportedPath, // a network path
    Missing,         // a path that does not exist
    PathTooLong,     // a Windows path longer than Windows takes, as given or expanded
    NotAFile,        // the program is a folder or no regular file
    NotAProgram,     // the program is no Windows program (a PE or NE file)
    NoIcon,          // the file holds no icon of that index (detail: the index)
    IconUnreadable,  // the icon holds no image that can be decoded
    BadName,         // NAME empty, "." or "..", or holding "/" or a control character
    NameTooLong,     // NAME longer than kMaxLauncherName bytes (detail: its length)
    UnusableText,    // a control character in what the entry would hold (detail: the key)
    NotUtf8,         // what the entry would hold is not UTF-8 (detail: the key)
    NoDataDir,       // no folder to write into
    WriteFailed,     // a file could not be written (see write)
};

struct LauncherError {
    LauncherProblem problem = LauncherProblem::Missing;
    std::string path;   // the file, or the Windows path, concerned
    std::string detail; // as each kind says
    std::optional<ReadFailure> read;
    std::optional<WriteFailure> write;
};

// English, for the command-line tool and for programmers.
std::string describe(const LauncherError& error);

struct LauncherImage {
    int size = 0;               // width and height
    bool scaled = false;        // made from a larger or smaller image
    std::vector<std::byte> png; // the file's bytes
};

// Everything a launcher is, read and decided once. Only name, desktopFile
// and desktopEntry depend on NAME: renamedPlan changes them alone.
struct LauncherPlan {
    std::string program;               // the program on disk
    std::optional<std::string> prefix; // WINEPREFIX; none runs wine without it
    std::vector<std::string> arguments;
    std::string workingFolder;
    std::string iconFile;
    int iconPosition = 0;              // among the icon file's icons
    std::string displayName;           // Name=
    std::string defaultName;           // NAME made from the display name
    std::string name;                  // NAME: the one asked for, else the default
    std::string desktopFile;           // DATA/applications/glimmerbox-NAME.desktop
    std::string desktopEntry;          // its text
    std::vector<LauncherImage> images; // smallest first
    std::string iconsFolder;           // DATA/icons
    std::string applicationsFolder;    // DATA/applications
};

// The launcher PATH makes: its program (which must be a PE or NE file),
// arguments, folder, name and icon images, and every value the entry holds
// checked (UTF-8, no control character). NAME is checked before anything
// is read.
std::expected<LauncherPlan, LauncherError> planLauncher(const LauncherRequest& request);

// The same launcher under another NAME: checked as planLauncher checks it,
// and nothing read, decoded or encoded again.
std::expected<LauncherPlan, LauncherError> renamedPlan(LauncherPlan plan, const std::string& name);

// Writes the icons and then the entry, each atomically, replacing a
// launcher of that name (and removing its icons of sizes no longer
// written). Returns the entry's path. All or nothing: when a file cannot
// be written, what this call put into place goes again, the files it
// replaced come back, and the folders it made are removed.
std::expected<std::string, LauncherError> writeLauncher(const LauncherPlan& plan);

} // namespace gb
