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
#include "core/launcher/desktop_entry.h"
#include "core/launcher/launcher_name.h"
#include "core/launcher/own_entries.h"

#include <cstddef>
#include <cstdint>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace gb {

struct LauncherRequest {
    std::string path;                  // a Windows program, or a shortcut (.lnk, .url)
    std::optional<std::string> prefix; // the Wine prefix; else the one PATH lies in
    std::optional<std::string> name;   // NAME of glimmerbox-NAME; else the default
    std::string dataDir;               // where applications/ and icons/ go
    // The icon to show when PATH is a program: its icon at this position
    // (the one a window's details show); else the program's first.
    std::optional<int> iconPosition;
    // Replace an entry of that name made from another source, or by hand.
    bool force = false;
    // This tool's entries in DATA/applications, when the caller has read
    // them already (a whole prefix at once); else they are read.
    const std::vector<OwnEntry>* ownEntries = nullptr;
};

// A request for PATH, written into DATA, with the other fields as they are
// by default.
inline LauncherRequest launcherRequest(std::string path, std::string dataDir,
                                       std::optional<std::string> prefix = std::nullopt,
                                       std::optional<std::string> name = std::nullopt)
{
    LauncherRequest request;
    request.path = std::move(path);
    request.dataDir = std::move(dataDir);
    request.prefix = std::move(prefix);
    request.name = std::move(name);
    return request;
}

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
    NotAProgram,     // PATH is no Windows program (a PE or NE file), nor a shortcut
    LinuxProgram,    // the shortcut's target is a Linux program (ELF, or a "#!" script)
    NoAddress,       // an Internet shortcut whose address is none the desktop opens (detail: it)
    NoIcon,          // the file holds no icon of that index (detail: the index)
    IconUnreadable,  // the icon holds no image that can be decoded
    BadName,         // NAME empty, "." or "..", or holding "/" or a control character
    NameTooLong,     // NAME longer than kMaxLauncherName bytes (detail: its length)
    UnusableText,    // a control character in what the entry would hold (detail: the key)
    NotUtf8,         // what the entry would hold is not UTF-8 (detail: the key)
    NoDataDir,       // no folder to write into
    WriteFailed,     // a file could not be written (see write)
    TakenByOther,    // an entry of that name made from another source (detail: it), or not by this tool
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

// What a launcher took in place of what its shortcut asked for, so that a
// shortcut Windows shows and runs is not refused for less.
enum class LauncherNoteKind {
    IconNotFound,    // the shortcut's icon file does not exist (path: as the shortcut names it)
    NoIconOfIndex,   // the icon file holds no icon of that index (detail: the index)
    IconNotReadable, // the icon file or its icon cannot be read (detail: why)
    TargetIconUsed,  // so the target's first icon is shown
    DefaultIconUsed, // the desktop's icon for programs is shown (the target has no icon)
    OpenedByStart,   // the target is a document or script, opened by Wine's start as Explorer opens it
};

struct LauncherNote {
    LauncherNoteKind kind = LauncherNoteKind::DefaultIconUsed;
    std::string path;
    std::string detail;
};

std::string describe(const LauncherNote& note);

// The theme icon an entry shows when its program has none of its own.
inline constexpr std::string_view kDefaultProgramIcon = "application-x-executable";
inline constexpr std::string_view kDefaultLinkIcon = "text-html";

struct LauncherImage {
    int size = 0;               // width and height
    bool scaled = false;        // made from a larger or smaller image
    std::vector<std::byte> png; // the file's bytes
};

// Everything a launcher is, read and decided once. Only name, desktopFile
// and desktopEntry depend on NAME: renamedPlan changes them alone, and
// retitledPlan the display name and the entry.
struct LauncherPlan {
    EntryKind kind = EntryKind::Program;
    std::string source;                        // the shortcut or program it is made from
    std::string program;                       // the program (or document) on disk
    std::optional<std::string> windowsProgram; // its path on a drive of the prefix, as Wine names it
    std::optional<std::string> prefix;         // WINEPREFIX; none runs wine without it
    std::vector<std::string> arguments;
    std::string workingFolder;
    std::string url;                      // an Internet shortcut's address
    std::string iconFile;                 // empty when a theme icon is shown
    int iconPosition = 0;                 // among the icon file's icons
    std::string displayName;              // Name=: the shortcut's name, else the program's
    std::string comment;                  // Comment=: the shortcut's description
    std::optional<std::string> startMenu; // the Start Menu folder the shortcut lies in
    std::string defaultName;              // NAME: the name it has, else one made from the display name
    std::string name;                     // NAME: the one asked for, else the default
    std::string desktopFile;              // DATA/applications/glimmerbox-NAME.desktop
    std::string desktopEntry;             // its text
    std::vector<LauncherImage> images;    // smallest first; none when a theme icon is shown
    std::string themeIcon;                // that icon's name
    std::vector<LauncherNote> notes;
    std::vector<OwnEntry> sameSource; // entries made from the same source: any other NAME is replaced
    bool force = false;
    std::string iconsFolder;        // DATA/icons
    std::string applicationsFolder; // DATA/applications
};

// The launcher PATH makes: its program (which must be a PE or NE file),
// arguments, folder, name and icon images, and every value the entry holds
// checked (UTF-8, no control character). NAME is checked before anything
// is read.
std::expected<LauncherPlan, LauncherError> planLauncher(const LauncherRequest& request);

// The same launcher under another NAME: checked as planLauncher checks it,
// and nothing read, decoded or encoded again.
std::expected<LauncherPlan, LauncherError> renamedPlan(LauncherPlan plan, const std::string& name);

// The same launcher under another display name (Name=), checked as the
// entry's values are.
std::expected<LauncherPlan, LauncherError> retitledPlan(LauncherPlan plan, const std::string& displayName);

enum class LauncherOutcome {
    New,       // no entry had that name
    Replaced,  // an entry made from the same source was replaced
    Unchanged, // the entry and its icons were already as planned: nothing written
};

struct LauncherWritten {
    std::string file; // the entry
    LauncherOutcome outcome = LauncherOutcome::New;
};

// Writes the icons and then the entry, each atomically, replacing a
// launcher of that name made from the same source (and removing its icons
// of sizes no longer written, and the entries of that source under other
// names); an entry of that name from another source, or not made by this
// tool, only with `force`. All or nothing: when a file cannot be written,
// what this call put into place goes again, the files it replaced come
// back, and the folders it made are removed.
std::expected<LauncherWritten, LauncherError> writeLauncher(const LauncherPlan& plan);

// Several launchers written as writeLauncher writes one, each all or
// nothing on its own, their files synced to disk together: a whole prefix
// costs one sync, not one per launcher. The results are in the plans' order.
std::vector<std::expected<LauncherWritten, LauncherError>>
writeLaunchers(std::span<const LauncherPlan> plans);

} // namespace gb
