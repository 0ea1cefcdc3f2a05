#include "programs/cli/cli_options.h"

#include "core/cursortheme/theme_writer.h"
#include "core/export/batch_names.h"
#include "core/launcher/launcher.h"
#include "core/text/ascii.h"
#include "programs/version.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace gb::cli {

namespace {

std::unexpected<std::string> usageError(const std::string& message)
{
    return std::unexpected(message);
}

std::optional<ExportFormat> formatNamed(const std::string& name)
{
    if (name == "ico")
        return ExportFormat::Ico;
    if (name == "bmp")
        return ExportFormat::Bmp;
    if (name == "png")
        return ExportFormat::Png;
    if (name == "original")
        return ExportFormat::Original;
    if (name == "hicolor")
        return ExportFormat::Hicolor;
    if (name == "cur")
        return ExportFormat::Cur;
    if (name == "ani")
        return ExportFormat::Ani;
    if (name == "xcursor")
        return ExportFormat::Xcursor;
    return std::nullopt;
}

// --sizes 24,32,48: cursor sizes from 1 to 256, separated by commas.
std::expected<std::vector<int>, std::string> sizesNamed(const std::string& value)
{
    std::vector<int> sizes;
    std::size_t at = 0;
    while (at <= value.size()) {
        const std::size_t comma = std::min(value.find(',', at), value.size());
        const std::string one = value.substr(at, comma - at);
        const bool digits = !one.empty() && one.size() <= 3 &&
                            std::ranges::all_of(one, [](char c) { return c >= '0' && c <= '9'; });
        const int size = digits ? std::stoi(one) : 0;
        if (size < 1 || size > 256)
            return std::unexpected(std::string("--sizes takes sizes from 1 to 256 separated by commas"));
        sizes.push_back(size);
        at = comma + 1;
    }
    return sizes;
}

// -j N: a number of files from 1 to 256.
std::expected<unsigned, std::string> jobsNamed(const std::string& value)
{
    const bool digits = !value.empty() && value.size() <= 4 &&
                        std::ranges::all_of(value, [](char c) { return c >= '0' && c <= '9'; });
    const int jobs = digits ? std::stoi(value) : 0;
    if (jobs < 1 || jobs > 256)
        return usageError("-j takes a number from 1 to 256");
    return static_cast<unsigned>(jobs);
}

// The arguments of a command that takes long options only, walked once:
// a PATH (and everything after "--") goes to command.paths, "--help" makes
// the command Help, and each other option goes to `take` with its value,
// after "=" or, for one of `withValue`, in the next argument. The first
// usage error `take` returns ends the walk.
using OptionTaker =
    std::function<std::optional<std::string>(const std::string& option, const std::string& value)>;

std::optional<std::string> walkLongOptions(std::span<const std::string> args,
                                           std::initializer_list<std::string_view> withValue,
                                           Command& command, const OptionTaker& take)
{
    bool onlyPaths = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyPaths || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            command.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPaths = true;
            continue;
        }
        if (arg == "--help") {
            command.kind = Command::Kind::Help;
            return std::nullopt;
        }
        std::string value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (std::ranges::find(withValue, arg) != withValue.end()) {
            if (i + 1 >= args.size())
                return arg + " needs a value";
            value = args[++i];
        }
        if (auto refused = take(arg, value))
            return refused;
    }
    return std::nullopt;
}

// launcher PATH [--prefix WINEPREFIX] [--name NAME] [--data DIR] [--force]
// launcher --all [--prefix P] [--data DIR] [--force]
// launcher --list | --remove NAME | --prune [--prefix P] | --refresh-wine-entries [--prefix P]
std::expected<Command, std::string> parseLauncher(std::span<const std::string> args)
{
    using Mode = LauncherOptions::Mode;
    Command command;
    command.kind = Command::Kind::Launcher;
    LauncherOptions& options = command.launcherOptions;
    bool modeGiven = false;
    const auto setMode = [&](Mode mode) -> std::optional<std::string> {
        if (modeGiven)
            return "launcher takes one of --all, --list, --remove, --prune and --refresh-wine-entries";
        modeGiven = true;
        options.mode = mode;
        return std::nullopt;
    };
    const auto take = [&](const std::string& arg, const std::string& value) -> std::optional<std::string> {
        if (arg == "--prefix" || arg == "--data") {
            if (value.empty())
                return arg + " may not be empty";
            (arg == "--prefix" ? options.prefix : options.dataDir) = value;
        } else if (arg == "--name") {
            if (!launcherNameUsable(value))
                return "--name may not be empty, hold '/' or a control character, or be . or ..";
            options.name = value;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg == "--all") {
            return setMode(Mode::All);
        } else if (arg == "--list") {
            return setMode(Mode::List);
        } else if (arg == "--prune") {
            return setMode(Mode::Prune);
        } else if (arg == "--refresh-wine-entries") {
            return setMode(Mode::RefreshWine);
        } else if (arg == "--remove") {
            if (value.empty())
                return "--remove needs the NAME of a launcher";
            options.removeName = value;
            return setMode(Mode::Remove);
        } else {
            return "unknown option '" + arg + "'";
        }
        return std::nullopt;
    };
    if (auto refused = walkLongOptions(args, {"--prefix", "--name", "--data", "--remove"}, command, take))
        return usageError(*refused);
    if (command.kind == Command::Kind::Help)
        return command;
    if (options.mode != Mode::One) {
        if (!command.paths.empty())
            return usageError("launcher takes no PATH with --all, --list, --remove, --prune or "
                              "--refresh-wine-entries");
        if (options.name)
            return usageError("--name names one launcher: give it with a PATH");
        if (options.prefix && (options.mode == Mode::List || options.mode == Mode::Remove))
            return usageError("--prefix is not taken with --list or --remove");
        return command;
    }
    if (command.paths.size() != 1)
        return usageError(command.paths.empty() ? "no PATH given" : "launcher takes one PATH");
    return command;
}

// cursor-theme SOURCE... --name NAME [--out DIR] [--sizes LIST]
std::expected<Command, std::string> parseCursorTheme(std::span<const std::string> args)
{
    Command command;
    command.kind = Command::Kind::CursorTheme;
    CursorThemeOptions& options = command.cursorTheme;
    bool nameGiven = false;
    const auto take = [&](const std::string& arg, const std::string& value) -> std::optional<std::string> {
        if (arg == "--name") {
            if (!themeNameUsable(value))
                return "--name may not be empty, hold '/' or a control character, or be . or ..";
            options.name = value;
            nameGiven = true;
        } else if (arg == "--out") {
            if (value.empty())
                return "--out may not be empty";
            options.outDir = value;
        } else if (arg == "--sizes") {
            auto sizes = sizesNamed(value);
            if (!sizes)
                return sizes.error();
            options.sizes = std::move(*sizes);
        } else {
            return "unknown option '" + arg + "'";
        }
        return std::nullopt;
    };
    if (auto refused = walkLongOptions(args, {"--name", "--out", "--sizes"}, command, take))
        return usageError(*refused);
    if (command.kind == Command::Kind::Help)
        return command;
    if (command.paths.empty())
        return usageError("no SOURCE given");
    if (!nameGiven)
        return usageError("cursor-theme needs --name");
    return command;
}

} // namespace

std::string usageText()
{
    return R"usage(Usage:
  glimmerbox-cli list [--json] [--cursors [--sizes 24,32,...]] [-j N]
                      [--recursive] [--pattern P] [--archives]
                      [--files-from FILE [-0]] PATH...
  glimmerbox-cli export --size 32|16 --format ico|bmp|png|original [--gray]
                        [--prefix P] [-j N] [--recursive] [--pattern P]
                        [--archives] [--files-from FILE [-0]] --out DIR PATH...
  glimmerbox-cli export --size all --format png [--gray] [--prefix P] ...
  glimmerbox-cli export --format hicolor [--gray] [--prefix P] ...
  glimmerbox-cli export --cursors --format cur|ani|xcursor|png
                        [--sizes 24,32,...] [--prefix P] ...
                        (... the options and PATHs of the export above)
  glimmerbox-cli launcher PATH [--prefix WINEPREFIX] [--name NAME] [--data DIR]
                          [--force]
  glimmerbox-cli launcher --all [--prefix WINEPREFIX] [--data DIR] [--force]
  glimmerbox-cli launcher --list | --remove NAME [--data DIR]
  glimmerbox-cli launcher --prune | --refresh-wine-entries [--prefix WINEPREFIX]
                          [--data DIR]
  glimmerbox-cli cursor-theme SOURCE... --name NAME [--out DIR]
                              [--sizes 24,32,...]
  glimmerbox-cli --help | --version

Finds the icons inside Windows program files (PE32 and PE32+ .exe, .dll,
.ocx, .cpl, .mun ..., 16-bit NE files) and icon files (.ico, .cur, .ani),
recognised by their content, not their name.

PATH is a file or a folder. A folder is searched as the window searches it:
its files that match --pattern (default "*.exe"; "*" and "?" wildcards,
several patterns joined by ";", case ignored), and with --recursive every
subfolder too, each completely, the last in name order first, before the
folder's own files. Links to folders are never followed.

--archives  also looks inside containers, recognised by their content: zip,
        7z, cab, tar (any compression), rar, ISO 9660 images and Windows
        Installer packages (.msi, .msp); in a folder, files named as one
        are read whatever --pattern says. Their members that match the
        pattern are read as files (an installer's icons, binaries and
        cabinet files by their content alone), a container within one
        too (two levels deep). KEY is then CONTAINER//MEMBER(index), e.g.
        /media/cd.iso//SETUP/APP.EXE(0). Nothing is unpacked to disk; a
        member skipped (encrypted, damaged, too large) or a container
        stopped (damaged, decompressing past 64 times its size) is
        reported with its reason.

--files-from FILE
        also reads the PATHs named in FILE ("-" for standard input), one a
        line, after those on the command line; empty lines are passed over.
        With -0 they are separated by NUL bytes instead, as find -print0
        writes them. PATH may then be left out.

-j N    reads N files at once (default: one per processor core); the output,
        its order and its numbering are the same for every N.

list    prints one line per icon, in order:
          KEY<TAB>ENTRY32<TAB>ENTRY16
        KEY is the file's path, then "(" index ")"; ENTRY is the stored
        image drawn at that size, as WIDTHxHEIGHT@BITS or @png, or "none"
        when nothing can be drawn. Then "N icons in M files" on standard
        error.
        --json     one JSON object per line instead: path (with
                   path_base64 when the name is not UTF-8), index, key,
                   group and language (program files), images (every
                   stored image: width, height, depth, format, bytes,
                   sha256 of the bytes as an ICO file holds them), large
                   and small (the images drawn at 32 and 16, or null) and
                   version (the program's version information, or null)
        --cursors  lists cursors instead of icons, one line per cursor: a
                   .cur or .ani file is one, a program holds its cursor
                   groups, then its animated cursors and animated icons:
                     KEY<TAB>ENTRY32<TAB>FRAMES
                   ENTRY32 is the image drawn for 32 pixels (of the first
                   frame), FRAMES the number of frames; then "N cursors in
                   M files". With --json: key, kind ("cursor" or
                   "animated"), images (width, height, bits, hotspot [x, y],
                   frame), sizes (each size an Xcursor file or theme of
                   it gets, by default or at --sizes LIST, and whether it
                   is made from another size: {size, made}) and for an
                   animated one frames, steps (the frame of each step) and
                   delays_ms

export  writes one file per icon into DIR (made if missing), numbered from 1
        in list order, and prints KEY<TAB>FILE for each:
          ico       P_IconN.ico   the icon drawn at --size, 32-bit with alpha
          bmp       P_bmpN.bmp    the icon drawn on the button face
                                  RGB(192,192,192), 24-bit
          png       P_pngN.png    the icon drawn at --size, lossless RGBA
          original  P_groupN.ico  every image of the icon exactly as stored,
                                  each once (all sizes and depths; --size
                                  not needed)
          png with --size all
                    P_pngN_WxH.png  one file per stored size, at that size;
                                  of several images of one size the deepest
          hicolor   hicolor/WxH/apps/P_N.png  an icon-theme tree of the
                                  stored sizes 16, 22, 24, 32, 48, 64, 128
                                  and 256 (--size not needed); an icon with
                                  none of them is a failure
        --gray     shades of gray (ico and png keep their transparency;
                   bmp grays the icon on its background)
        --prefix P starts every file name (default "icon"); it may not be
                   empty, hold "/" or a control character (a tab, a line
                   break), or be "." or ".."; nor may DIR hold a control
                   character
        Existing files of the same names are replaced. Files are synced
        to disk and take their names a group at a time (256 files); each
        line is printed once its file is in place. The icons of one
        file write at most 4 times its size (at least 16 MiB); past that,
        its remaining icons are reported and not written.
        --cursors  writes one file per cursor instead (of the cursors list
                   --cursors shows), numbered from 1 in that order:
          cur       P_cursorN.cur  every image exactly as stored with its
                                  hot spot, each once; an animated cursor
                                  as P_cursorN.ani, which a .cur cannot hold
          ani       P_cursorN.ani  every frame, step and rate (a static
                                  cursor as an animation of one step)
          xcursor   P_cursorN     one Xcursor file, as X11 and Wayland
                                  desktops load it: every size, each step
                                  of an animation with its delay
          png       P_cursorN_WxH.png  the first frame at every size
        --sizes 24,32,48,...  the sizes of xcursor and png, 1 to 256
                   (default: the sizes stored, plus 24, 32 and 48 made
                   from the nearest larger stored image); a stored image
                   is used as it is, another size is resampled with its
                   hot spot scaled

launcher  makes a menu entry that runs a Windows program with Wine. PATH is
        the program, a Windows shortcut (.lnk) or an Internet shortcut
        (.url); a shortcut's target, arguments, working folder and icon
        are found in the Wine prefix (--prefix, else the nearest folder
        above PATH holding drive_c and system.reg). Writes
        DIR/applications/glimmerbox-NAME.desktop and the icon Explorer
        shows as DIR/icons/hicolor/WxH/apps/glimmerbox-NAME.png for each
        theme size it stores (and 48x48 made from the largest image when
        it stores none of 48 or more), and prints "new:", "replaced:" or
        "unchanged:" and the entry's path, and a "note:" line for each
        fallback taken (an icon the shortcut names that cannot be had
        gives the target's first icon, else the desktop's own; a document
        or script is opened by Wine's start). DIR is $XDG_DATA_HOME, else
        ~/.local/share. A shortcut's launcher is named as the Start Menu
        shows it, a program's by its FileDescription, else ProductName,
        else file name; NAME is that name in lower case, with every
        character other than a-z, 0-9, '.', '_' and '-' a '-', cut to 64
        characters, and a short digest of its prefix and source, so every
        shortcut keeps its own launcher across runs. A NAME given with
        --name is UTF-8 of at most 236 bytes. An entry of that name made
        from another source, or not by glimmerbox, is replaced only with
        --force. A Start Menu shortcut's folder becomes its submenu
        (CONFIG/menus/applications-merged, CONFIG being $XDG_CONFIG_HOME,
        else ~/.config) when DIR is the user's own. Nothing is written when anything fails: files put
        in place before a failure are taken back.
        --all makes the launchers of every shortcut in the prefix's Start
        Menus and Desktops (the prefix: --prefix, else $WINEPREFIX, else
        ~/.wine), a line for each: "new:", "updated:", "unchanged:", or
        "refused:" with the reason; exit status 1 when any was refused.
        --list prints each launcher glimmerbox made: NAME, its name, its
        source and prefix, separated by tabs. --remove NAME removes one
        of them with its icons; --prune removes those whose shortcut or
        program is gone (of --prefix alone, when given).
        --refresh-wine-entries writes every theme size of the icons of the
        entries Wine made itself (DIR/applications/wine, and on the user's
        Desktop) under their own icon names, removing nothing of Wine's.

cursor-theme  makes an Xcursor theme of Windows cursors, for X11 and Wayland
        desktops: DIR/NAME/index.theme (Inherits=default) and
        DIR/NAME/cursors/, one file per role under its main name and
        every other name desktops ask for as a link to it. DIR is
        $XDG_DATA_HOME/icons, else ~/.local/share/icons. SOURCE is a
        cursor pack's folder with an install.inf (its scheme; a file it
        names that the folder lacks is a warning), a pack's folder
        without one (roles guessed from the file names: "Normal Select",
        "Busy", "arrow", "size_ns" ...; a .cur or .ani file no role fits
        is named), a container (zip, 7z, rar ...) holding such a folder,
        or a program or library with the standard cursors' resource ids
        (a Windows user32.dll). Of several SOURCEs the earlier gives a
        role its cursor. A role without one takes its fallback's (Help
        and UpArrow take Arrow's, AppStarting and Wait each other's),
        else is left to the inherited theme. Prints what it wrote, then
        a line per role: "filled from FILE", "guessed from FILE",
        "fallback ROLE", "left to the inherited theme" or "not read:
        REASON" (Pin and Person have no Linux name and are only
        reported). A theme of that NAME made by cursor-theme is
        replaced whole; any other folder of that name is left alone and
        the command fails. --sizes as for export --cursors. Exit status
        1 when a role or SOURCE could not be read.

Names are escaped in every line printed (KEY, FILE, the paths in
messages), so that each stays on its line and in its field: "\" is
printed "\\", a tab "\t", a line feed "\n", a carriage return "\r", and
"\xHH" (lower-case hexadecimal) stands for each other control character
(0x00 to 0x1F, 0x7F, and U+0080 to U+009F as "\xc2\xHH") and for each byte
that is not part of well-formed UTF-8. Everything else, UTF-8 included, is
printed as it is; undoing the escapes gives the name's exact bytes. --json
strings are JSON's, not escaped so.

Exit status: 0 when every file was read and written, 1 when some failed
(each failure on standard error with the path and the reason), 2 on bad
usage or a --files-from list that cannot be read.

See glimmerbox-cli(1) for the whole manual.
)usage";
}

std::string versionText()
{
    return "glimmerbox-cli " + std::string(kProjectVersion) + "\n";
}

std::expected<Command, std::string> parseCommandLine(std::span<const std::string> args)
{
    Command command;
    // -j may come before the command too, as make takes it.
    while (!args.empty() && args[0] == "-j") {
        if (args.size() < 2)
            return usageError("-j needs a value");
        const auto jobs = jobsNamed(args[1]);
        if (!jobs)
            return std::unexpected(jobs.error());
        command.jobs = *jobs;
        args = args.subspan(2);
    }
    if (args.empty())
        return usageError("no command given");
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "help")
        return command;
    if (verb == "--version") {
        command.kind = Command::Kind::Version;
        return command;
    }
    if (verb == "launcher")
        return parseLauncher(args.subspan(1));
    if (verb == "cursor-theme")
        return parseCursorTheme(args.subspan(1));
    if (verb == "list")
        command.kind = Command::Kind::List;
    else if (verb == "export")
        command.kind = Command::Kind::Export;
    else
        return usageError("unknown command '" + verb + "'");

    ExportOptions& options = command.exportOptions;
    bool sizeGiven = false, sizesGiven = false, formatGiven = false, outGiven = false, onlyPaths = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyPaths || arg.size() < 2 || (arg.compare(0, 2, "--") != 0 && arg != "-j" && arg != "-0")) {
            command.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPaths = true;
            continue;
        }
        if (arg == "-j") {
            if (i + 1 == args.size())
                return usageError(arg + " needs a value");
            const auto jobs = jobsNamed(args[++i]);
            if (!jobs)
                return std::unexpected(jobs.error());
            command.jobs = *jobs;
            continue;
        }
        if (arg == "--help") {
            command.kind = Command::Kind::Help;
            return command;
        }
        if (arg == "-0") {
            command.nulSeparated = true;
            continue;
        }
        if (arg == "--recursive") {
            command.walk.recursive = true;
            continue;
        }
        if (arg == "--archives") {
            command.walk.containers = true;
            continue;
        }
        const bool exporting = command.kind == Command::Kind::Export;
        if (arg == "--json" && !exporting) {
            command.json = true;
            continue;
        }
        if (arg == "--cursors") {
            command.cursors = true;
            continue;
        }
        if (arg == "--gray" && exporting) {
            options.gray = true;
            continue;
        }
        // --name value or --name=value
        std::string value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (arg == "--size" || arg == "--sizes" || arg == "--format" || arg == "--prefix" ||
                   arg == "--out" || arg == "--pattern" || arg == "--files-from") {
            if (i + 1 >= args.size())
                return usageError(arg + " needs a value");
            value = args[++i];
        }
        if (arg == "--pattern") {
            command.walk.pattern = value;
            continue;
        }
        if (arg == "--files-from") {
            if (value.empty())
                return usageError("--files-from may not be empty");
            command.filesFrom = value;
            continue;
        }
        if (arg == "--sizes" && !exporting) {
            auto sizes = sizesNamed(value);
            if (!sizes)
                return std::unexpected(sizes.error());
            options.cursorSizes = std::move(*sizes);
            sizesGiven = true;
            continue;
        }
        if (!exporting)
            return usageError("unknown option '" + arg + "'");
        if (arg == "--size") {
            if (value != "32" && value != "16" && value != "all")
                return usageError("--size takes 32, 16 or all");
            options.allSizes = value == "all";
            options.size = value == "32" ? 32 : value == "16" ? 16 : 0;
            sizeGiven = true;
        } else if (arg == "--sizes") {
            auto sizes = sizesNamed(value);
            if (!sizes)
                return std::unexpected(sizes.error());
            options.cursorSizes = std::move(*sizes);
            sizesGiven = true;
        } else if (arg == "--format") {
            const auto format = formatNamed(value);
            if (!format)
                return usageError("--format takes ico, bmp, png, original, hicolor, cur, ani or xcursor");
            options.format = *format;
            formatGiven = true;
        } else if (arg == "--prefix") {
            if (const auto problem = checkPrefix(value))
                return usageError(*problem == PrefixProblem::Empty
                                      ? "--prefix may not be empty"
                                      : "--prefix may not hold '/' or be . or ..");
            // Each written file is printed on a line of its own, KEY<TAB>FILE:
            // a tab or a line break in the file's name would split it.
            if (holdsControlCharacter(value))
                return usageError("--prefix may not hold a tab, a line break or another control character");
            options.prefix = value;
        } else if (arg == "--out") {
            if (value.empty())
                return usageError("--out may not be empty");
            if (holdsControlCharacter(value))
                return usageError("--out may not hold a tab, a line break or another control character");
            options.outDir = value;
            outGiven = true;
        } else {
            return usageError("unknown option '" + arg + "'");
        }
    }

    if (command.paths.empty() && !command.filesFrom)
        return usageError("no PATH given");
    if (command.kind == Command::Kind::List && sizesGiven && !(command.cursors && command.json))
        return usageError("list takes --sizes with --cursors --json");
    if (command.nulSeparated && !command.filesFrom)
        return usageError("-0 applies to --files-from");
    if (command.kind == Command::Kind::Export) {
        if (!formatGiven)
            return usageError("export needs --format");
        if (!outGiven)
            return usageError("export needs --out");
        const bool cursorFormat = options.format == ExportFormat::Cur ||
                                  options.format == ExportFormat::Ani ||
                                  options.format == ExportFormat::Xcursor;
        if (command.cursors) {
            if (!cursorFormat && options.format != ExportFormat::Png)
                return usageError("export --cursors takes --format cur, ani, xcursor or png");
            if (sizeGiven)
                return usageError("export --cursors takes --sizes, not --size");
            if (sizesGiven && options.format != ExportFormat::Xcursor && options.format != ExportFormat::Png)
                return usageError(
                    "--sizes takes --format xcursor or png: cur and ani keep the stored images");
            if (options.gray)
                return usageError("--gray does not apply to cursors");
            return command;
        }
        if (cursorFormat)
            return usageError("--format cur, ani and xcursor take --cursors");
        if (sizesGiven)
            return usageError("--sizes takes --cursors");
        const bool original = options.format == ExportFormat::Original;
        const bool sizeless = original || options.format == ExportFormat::Hicolor;
        if (!sizeless && !sizeGiven)
            return usageError("export needs --size 32 or --size 16");
        if (options.allSizes && options.format != ExportFormat::Png)
            return usageError("--size all takes --format png");
        if (original && options.gray)
            return usageError("--gray does not apply to --format original");
    }
    return command;
}

} // namespace gb::cli
