#pragma once
// The command line of glimmerbox-cli.

#include <expected>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace gb::cli {

enum class ExportFormat { Ico, Bmp, Png, Original, Hicolor, Cur, Ani, Xcursor };

struct ExportOptions {
    int size = 0;          // 32 or 16; unused for Original and Hicolor
    bool allSizes = false; // png: every stored size (--size all)
    ExportFormat format = ExportFormat::Ico;
    bool gray = false;
    std::vector<int> cursorSizes; // --cursors, xcursor and png: --sizes; empty for the default
    std::string prefix = "icon";
    std::string outDir;
};

// How folders among the paths are searched: the window's search rules.
struct WalkChoice {
    bool recursive = false;
    std::string pattern = "*.exe";
    bool containers = false; // --archives: look inside archives, disk images and installer packages
};

// launcher PATH [--prefix WINEPREFIX] [--name NAME] [--data DIR]
struct LauncherOptions {
    // What the launcher command does: one launcher for PATH, or every
    // shortcut of a prefix (--all), or this tool's launchers listed,
    // removed (--remove NAME), pruned, or Wine's own entries' icons refreshed.
    enum class Mode { One, All, List, Remove, Prune, RefreshWine } mode = Mode::One;
    std::optional<std::string> prefix, name;
    std::optional<std::string> dataDir; // else the user's data folder
    std::string removeName;             // --remove NAME
    bool force = false;                 // replace an entry from another source
};

// cursor-theme SOURCE... --name NAME [--out DIR] [--sizes LIST]
struct CursorThemeOptions {
    std::string name;
    std::optional<std::string> outDir; // else the user's icon themes
    std::vector<int> sizes;            // empty for the default
};

struct Command {
    enum class Kind { Help, Version, List, Export, Launcher, CursorTheme } kind = Kind::Help;
    CursorThemeOptions cursorTheme;
    ExportOptions exportOptions;
    LauncherOptions launcherOptions;
    WalkChoice walk;
    std::vector<std::string> paths; // files and folders, bytes exactly as given
    // --files-from FILE ("-": standard input): more paths, one a line, or
    // with -0 one per NUL byte; read when the command runs, after `paths`.
    std::optional<std::string> filesFrom;
    bool nulSeparated = false;
    unsigned jobs = 0;    // files read at once (-j N); 0 for one per core
    bool json = false;    // list: JSON Lines instead of tab-separated text
    bool cursors = false; // list, export: the cursors of each file instead of its icons
};

// A usage error carries the message to print before the usage hint.
std::expected<Command, std::string> parseCommandLine(std::span<const std::string> args);

std::string usageText();
std::string versionText(); // "glimmerbox-cli VERSION\n"

} // namespace gb::cli
