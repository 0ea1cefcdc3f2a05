#include "core/launcher/launcher.h"

#include "core/bytes/byte_reader.h"
#include "core/bytes/file_source.h"
#include "core/bytes/source_reader.h"
#include "core/export/batch_names.h"
#include "core/hash/sha256.h"
#include "core/icons/icon_source.h"
#include "core/icons/ne_resources.h"
#include "core/icons/pe_resources.h"
#include "core/launcher/launcher_images.h"
#include "core/launcher/prefix_shortcuts.h"
#include "core/shortcuts/internet_shortcut.h"
#include "core/text/ascii.h"
#include "core/text/utf8_text.h"
#include "core/wine/shortcut_icon.h"
#include "core/wine/windows_path.h"
#include "core/wine/wine_prefix.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace gb {

namespace {

namespace fs = std::filesystem;

LauncherError failure(LauncherProblem problem, std::string path, std::string detail = {})
{
    return LauncherError{problem, std::move(path), std::move(detail), std::nullopt, std::nullopt};
}

LauncherError readFailure(LauncherProblem problem, std::string path, const ReadFailure& read)
{
    LauncherError error = failure(problem, std::move(path));
    error.read = read;
    return error;
}

LauncherError fromPathFailure(const WinePathFailure& path)
{
    const LauncherProblem problem = [&path] {
        switch (path.problem) {
        case WinePathProblem::NoPrefix: return LauncherProblem::NoPrefix;
        case WinePathProblem::NoDrive: return LauncherProblem::NoDrive;
        case WinePathProblem::LeavesDrive: return LauncherProblem::LeavesDrive;
        case WinePathProblem::UnknownVariable: return LauncherProblem::UnknownVariable;
        case WinePathProblem::Empty: return LauncherProblem::NoTarget;
        case WinePathProblem::Unsupported: return LauncherProblem::UnsupportedPath;
        case WinePathProblem::TooLong: return LauncherProblem::PathTooLong;
        case WinePathProblem::NotAFile: return LauncherProblem::NotAFile;
        case WinePathProblem::LeavesFolder: return LauncherProblem::LeavesDrive;
        case WinePathProblem::Missing: break;
        }
        return LauncherProblem::Missing;
    }();
    return failure(problem, path.path, path.detail);
}

// The folder's real path and the file's own name: Wine names the process,
// and so its windows' class, after the file as it was started, link or not.
std::string onDisk(const fs::path& path)
{
    std::error_code error;
    const fs::path folder = fs::canonical(path.parent_path(), error);
    return error ? path.string() : (folder / path.filename()).string();
}

std::string absolutePath(const std::string& path)
{
    std::error_code error;
    fs::path absolute = fs::absolute(fs::path(path), error).lexically_normal();
    if (absolute.has_relative_path() && !absolute.has_filename())
        absolute = absolute.parent_path();
    return error ? path : absolute.string();
}

// Wine sets WM_CLASS to the program's file name in lower case (winex11's
// process name, lowered with RtlDowncaseUnicodeChar). ASCII is lowered
// here; other letters stay as they are.
std::string windowClassOf(const std::string& program)
{
    return asciiLowered(fs::path(program).filename().string());
}

// A text as one line: control characters become spaces, and the spaces
// around it go.
std::string oneLine(std::string text)
{
    std::ranges::replace_if(text, isAsciiControl, ' ');
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A bare program's Name=: FileDescription, else ProductName, else the
// file's name without its extension.
std::string displayNameOf(const std::string& program, const IconSource& source)
{
    if (const auto version = source.versionInfo())
        for (const char* key : {"FileDescription", "ProductName"})
            if (const auto text = version->text(key))
                if (std::string line = oneLine(*text); !line.empty())
                    return line;
    return oneLine(fs::path(program).stem().string());
}

// A shortcut is shown by its file name without the extension, as the Start
// Menu and the Desktop show it.
std::string shortcutTitle(const std::string& shortcut)
{
    return oneLine(fs::path(shortcut).stem().string());
}

enum class FileKind { Windows, Linux, Other };

// Wine runs Linux programs too: a launcher runs a Windows program by
// itself, known by its content (the MZ header and the PE or NE header its
// e_lfanew leads to), whatever its name; a Linux program (ELF, or a script
// with "#!") is never run through a shortcut; anything else is a document.
std::expected<FileKind, ReadFailure> fileKindOf(const std::string& path)
{
    auto file = FileSource::open(path);
    if (!file)
        return std::unexpected(file.error());
    const SourceReader reader(*file);
    if (looksLikePe(reader) || looksLikeNe(reader))
        return FileKind::Windows;
    std::array<std::byte, 4> head{};
    const std::size_t got = file->readAt(0, head);
    const auto at = [&head](std::size_t i) { return static_cast<char>(head[i]); };
    if ((got >= 4 && at(0) == '\x7f' && at(1) == 'E' && at(2) == 'L' && at(3) == 'F') ||
        (got >= 2 && at(0) == '#' && at(1) == '!'))
        return FileKind::Linux;
    return FileKind::Other;
}

// The theme icon of a document or script Explorer would show by its type.
std::string_view documentIcon(const std::string& path)
{
    const std::string extension = asciiLowered(fs::path(path).extension().string());
    for (const char* program : {".bat", ".cmd", ".com", ".pif", ".msi"})
        if (extension == program)
            return kDefaultProgramIcon;
    return fs::is_directory(path) ? "folder" : "text-x-generic";
}

std::string shortHash(std::string_view text)
{
    return sha256Hex(ByteReader{std::as_bytes(std::span(text.data(), text.size()))}).substr(0, 8);
}

// NAME of a new launcher: its display name made a file name, and a short
// digest of its prefix and source, so that two shortcuts of one name (two
// uninstallers), or one program in two prefixes, keep an entry each.
std::string uniqueName(const std::string& displayName, const std::optional<std::string>& prefix,
                       const std::string& source)
{
    return defaultLauncherName(displayName) + "-" + shortHash(prefix.value_or("") + '\0' + source);
}

struct IconPick {
    std::string file;
    int position = 0;
    std::vector<LauncherImage> images;
};

// The icon at `index` of `file` (an index as shortcuts take it), or the
// note saying why not.
std::expected<IconPick, LauncherNote> iconOf(const std::string& file, std::int32_t index)
{
    const auto source = IconSource::open(file);
    if (!source)
        return std::unexpected(
            LauncherNote{LauncherNoteKind::IconNotReadable, file, gb::describe(source.error())});
    const auto position = iconPosition(*source, index);
    if (!position) {
        if (source->problem())
            return std::unexpected(
                LauncherNote{LauncherNoteKind::IconNotReadable, file, gb::describe(*source->problem())});
        return std::unexpected(LauncherNote{LauncherNoteKind::NoIconOfIndex, file, std::to_string(index)});
    }
    auto images = launcherImages(*source, *position);
    if (!images)
        return std::unexpected(LauncherNote{LauncherNoteKind::IconNotReadable, file, images.error()});
    return IconPick{file, *position, std::move(*images)};
}

void takeIcon(LauncherPlan& plan, IconPick pick)
{
    plan.iconFile = std::move(pick.file);
    plan.iconPosition = pick.position;
    plan.images = std::move(pick.images);
}

void takeThemeIcon(LauncherPlan& plan, std::string_view icon, bool noted)
{
    plan.themeIcon = std::string(icon);
    if (noted)
        plan.notes.push_back(LauncherNote{LauncherNoteKind::DefaultIconUsed, plan.program, plan.themeIcon});
}

// The icon a shortcut shows, as Explorer picks it: the one it names, else
// its target's first; when the one it names cannot be had, the target's
// first, else the desktop's own, each with a note.
void chooseShortcutIcon(LauncherPlan& plan, const ShellLink& link, const WinePaths& paths)
{
    bool noted = false;
    if (const auto named = link.iconFile()) {
        const auto file = mapWindowsPath(*named, paths);
        if (!file) {
            plan.notes.push_back(LauncherNote{LauncherNoteKind::IconNotFound, *named, {}});
        } else if (auto pick = iconOf(*file, link.iconIndex)) {
            takeIcon(plan, std::move(*pick));
            return;
        } else {
            plan.notes.push_back(pick.error());
        }
        noted = true;
    }
    if (plan.kind == EntryKind::Program) {
        if (auto pick = iconOf(plan.program, 0)) {
            if (noted)
                plan.notes.push_back(LauncherNote{LauncherNoteKind::TargetIconUsed, plan.program, {}});
            takeIcon(plan, std::move(*pick));
            return;
        }
        takeThemeIcon(plan, kDefaultProgramIcon, true);
        return;
    }
    takeThemeIcon(plan, documentIcon(plan.program), noted);
}

std::optional<LauncherError> nameFailure(const std::string& name)
{
    const auto problem = checkLauncherName(name);
    if (!problem)
        return std::nullopt;
    switch (*problem) {
    case LauncherNameProblem::Unusable: return failure(LauncherProblem::BadName, name);
    case LauncherNameProblem::NotUtf8: return failure(LauncherProblem::NotUtf8, name, "Icon");
    case LauncherNameProblem::TooLong: break;
    }
    return failure(LauncherProblem::NameTooLong, name, std::to_string(name.size()));
}

// A desktop entry is UTF-8 text of one line per key: a value with a
// control character or bytes that are not UTF-8 would end its line or
// reach the menu as nothing (GLib reads such an Exec as none at all).
std::optional<LauncherError> unusableValue(const LauncherPlan& plan)
{
    struct Value {
        const char* key;
        const std::string* text;
        const std::string* path; // what the error names
    };
    std::vector<Value> values;
    if (plan.kind == EntryKind::Link) {
        values.push_back({"URL", &plan.url, &plan.source});
    } else {
        values.push_back({"Exec line", &plan.program, &plan.program});
        if (plan.windowsProgram)
            values.push_back({"Exec line", &*plan.windowsProgram, &plan.program});
        if (plan.prefix)
            values.push_back({"Exec line", &*plan.prefix, &*plan.prefix});
        values.push_back({"Path", &plan.workingFolder, &plan.workingFolder});
        for (const std::string& argument : plan.arguments)
            values.push_back({"Exec line", &argument, &plan.source});
    }
    values.push_back({"Name", &plan.displayName, &plan.source});
    values.push_back({"Comment", &plan.comment, &plan.source});
    values.push_back({"X-Glimmerbox-Source", &plan.source, &plan.source});
    if (plan.startMenu)
        values.push_back({"X-Glimmerbox-Menu", &*plan.startMenu, &plan.source});
    for (const Value& value : values)
        if (holdsControlCharacter(*value.text))
            return failure(LauncherProblem::UnusableText, *value.path, value.key);
    for (const Value& value : values)
        if (!isUtf8(*value.text))
            return failure(LauncherProblem::NotUtf8, *value.path, value.key);
    return std::nullopt;
}

std::string entryTextOf(const LauncherPlan& plan)
{
    const std::string iconName =
        plan.images.empty() ? plan.themeIcon : std::string(kLauncherFilePrefix) + plan.name;
    DesktopEntryFields fields;
    fields.kind = plan.kind;
    fields.name = plan.displayName;
    fields.comment = plan.comment;
    fields.prefix = plan.prefix;
    fields.program = plan.windowsProgram.value_or(plan.program);
    fields.arguments = plan.arguments;
    fields.workingFolder = plan.workingFolder;
    fields.icon = iconName;
    if (plan.kind == EntryKind::Program)
        fields.windowClass = windowClassOf(plan.program);
    fields.url = plan.url;
    fields.source = plan.source;
    fields.startMenu = plan.startMenu;
    return desktopEntryText(fields);
}

// The target of a shortcut, with what it runs: a Windows program, or a
// document or folder Wine's start opens.
std::optional<LauncherError> takeTarget(LauncherPlan& plan, const std::string& target)
{
    std::error_code error;
    const auto status = fs::status(target, error);
    if (fs::is_directory(status)) {
        plan.kind = EntryKind::Document;
    } else if (!fs::is_regular_file(status)) {
        return failure(LauncherProblem::NotAFile, target);
    } else {
        const auto kind = fileKindOf(target);
        if (!kind)
            return readFailure(LauncherProblem::Unreadable, target, kind.error());
        if (*kind == FileKind::Linux)
            return failure(LauncherProblem::LinuxProgram, target);
        plan.kind = *kind == FileKind::Windows ? EntryKind::Program : EntryKind::Document;
    }
    plan.program = onDisk(target);
    if (plan.kind == EntryKind::Document)
        plan.notes.push_back(LauncherNote{LauncherNoteKind::OpenedByStart, plan.program, {}});
    return std::nullopt;
}

std::optional<LauncherError> planShortcut(LauncherPlan& plan, const LauncherRequest& request,
                                          const ShellLink& link, const std::optional<std::string>& prefix)
{
    const WinePaths paths = shortcutPaths(request.path, prefix);
    plan.prefix = paths.prefix;
    auto target = mapWindowsPath(link.target().value_or(""), paths);
    if (!target)
        return fromPathFailure(target.error());
    if (auto refused = takeTarget(plan, *target))
        return refused;
    if (link.workingFolder && !link.workingFolder->empty()) {
        auto folder = mapWindowsPath(*link.workingFolder, paths);
        if (!folder)
            return fromPathFailure(folder.error());
        plan.workingFolder = onDisk(*folder);
    }
    plan.arguments = splitWindowsArguments(link.arguments.value_or(""));
    plan.displayName = shortcutTitle(request.path);
    plan.comment = oneLine(link.name.value_or(""));
    chooseShortcutIcon(plan, link, paths);
    return std::nullopt;
}

std::optional<LauncherError> planInternetShortcut(LauncherPlan& plan, const LauncherRequest& request,
                                                  const InternetShortcut& link,
                                                  const std::optional<std::string>& prefix)
{
    if (!isOpenableAddress(link.url))
        return failure(LauncherProblem::NoAddress, request.path, link.url);
    plan.kind = EntryKind::Link;
    plan.url = link.url;
    plan.displayName = shortcutTitle(request.path);
    const WinePaths paths = shortcutPaths(request.path, prefix);
    plan.prefix = paths.prefix;
    plan.program = plan.source;
    if (link.iconFile) {
        const auto file = mapWindowsPath(*link.iconFile, paths);
        if (!file) {
            plan.notes.push_back(LauncherNote{LauncherNoteKind::IconNotFound, *link.iconFile, {}});
        } else if (auto pick = iconOf(*file, link.iconIndex)) {
            takeIcon(plan, std::move(*pick));
            return std::nullopt;
        } else {
            plan.notes.push_back(pick.error());
        }
    }
    takeThemeIcon(plan, kDefaultLinkIcon, link.iconFile.has_value());
    return std::nullopt;
}

std::optional<LauncherError> planProgram(LauncherPlan& plan, const LauncherRequest& request,
                                         const std::optional<std::string>& prefix)
{
    const std::string program = absolutePath(request.path);
    std::error_code error;
    if (!fs::is_regular_file(program, error))
        return failure(LauncherProblem::NotAFile, program);
    const auto kind = fileKindOf(program);
    if (!kind)
        return readFailure(LauncherProblem::Unreadable, program, kind.error());
    if (*kind != FileKind::Windows)
        return failure(LauncherProblem::NotAProgram, program);
    plan.program = onDisk(program);
    plan.prefix = prefix ? prefix : findWinePrefix(program);
    auto icons = IconSource::open(program);
    if (!icons)
        return readFailure(LauncherProblem::Unreadable, program, icons.error());
    plan.displayName = displayNameOf(plan.program, *icons);
    // The icon whose details are open, else the program's first.
    if (request.iconPosition) {
        if (*request.iconPosition < 0 || *request.iconPosition >= icons->count())
            return failure(LauncherProblem::NoIcon, program, std::to_string(*request.iconPosition));
        auto images = launcherImages(*icons, *request.iconPosition);
        if (!images)
            return failure(LauncherProblem::IconUnreadable, program, images.error());
        takeIcon(plan, IconPick{program, *request.iconPosition, std::move(*images)});
    } else if (icons->count() > 0 && !icons->problem()) {
        if (auto images = launcherImages(*icons, 0))
            takeIcon(plan, IconPick{program, 0, std::move(*images)});
        else
            plan.notes.push_back(LauncherNote{LauncherNoteKind::IconNotReadable, program, images.error()});
    } else if (icons->problem()) {
        plan.notes.push_back(
            LauncherNote{LauncherNoteKind::IconNotReadable, program, gb::describe(*icons->problem())});
    }
    if (plan.images.empty())
        takeThemeIcon(plan, kDefaultProgramIcon, true);
    return std::nullopt;
}

std::optional<std::string> checkedPrefix(const LauncherRequest& request,
                                         std::optional<LauncherError>& refused)
{
    if (!request.prefix)
        return std::nullopt;
    std::string prefix = absolutePath(*request.prefix);
    std::error_code error;
    if (!fs::is_directory(prefix, error))
        refused = failure(LauncherProblem::PrefixNotFolder, *request.prefix);
    else if (!isWinePrefix(prefix))
        refused = failure(LauncherProblem::NotWinePrefix, *request.prefix);
    return prefix;
}

// What PATH is: a Windows shortcut (known by its content), an Internet
// shortcut (by its name and content), else a program.
std::optional<LauncherError> planPath(LauncherPlan& plan, const LauncherRequest& request,
                                      const std::optional<std::string>& prefix)
{
    const auto shortcut = readShortcutFile(request.path);
    if (!shortcut) {
        const ReadError reason = shortcut.error().reason;
        const bool opened = reason != ReadError::OpenFailed && reason != ReadError::NotRegularFile;
        return readFailure(opened ? LauncherProblem::BrokenShortcut : LauncherProblem::Unreadable,
                           request.path, shortcut.error());
    }
    if (*shortcut)
        return planShortcut(plan, request, **shortcut, prefix);
    if (equalIgnoringAsciiCase(fs::path(request.path).extension().string(), ".url"))
        if (const auto text = readDesktopEntryFile(request.path))
            if (const auto link = readInternetShortcut(*text))
                return planInternetShortcut(plan, request, *link, prefix);
    return planProgram(plan, request, prefix);
}

} // namespace

std::expected<LauncherPlan, LauncherError> planLauncher(const LauncherRequest& request)
{
    if (request.dataDir.empty())
        return std::unexpected(failure(LauncherProblem::NoDataDir, {}));
    if (request.name)
        if (auto refused = nameFailure(*request.name))
            return std::unexpected(std::move(*refused));
    std::optional<LauncherError> refused;
    const std::optional<std::string> prefix = checkedPrefix(request, refused);
    if (refused)
        return std::unexpected(std::move(*refused));

    LauncherPlan plan;
    plan.source = onDisk(absolutePath(request.path));
    plan.force = request.force;
    if (auto planned = planPath(plan, request, prefix))
        return std::unexpected(std::move(*planned));
    if (plan.workingFolder.empty() && plan.kind != EntryKind::Link)
        plan.workingFolder =
            fs::is_directory(plan.program) ? plan.program : fs::path(plan.program).parent_path().string();
    if (plan.prefix && plan.kind == EntryKind::Program)
        plan.windowsProgram = windowsPathOf(plan.program, *plan.prefix);
    if (plan.prefix)
        plan.startMenu = startMenuFolderOf(plan.source, *plan.prefix);
    if (auto unusable = unusableValue(plan))
        return std::unexpected(std::move(*unusable));

    plan.iconsFolder = joinPath(request.dataDir, "icons");
    plan.applicationsFolder = joinPath(request.dataDir, "applications");
    const std::vector<OwnEntry> read =
        request.ownEntries ? std::vector<OwnEntry>{} : ownEntries(plan.applicationsFolder);
    for (const OwnEntry& entry : request.ownEntries ? *request.ownEntries : read)
        if (entry.source == plan.source && entry.prefix == plan.prefix)
            plan.sameSource.push_back(entry);
    plan.defaultName = plan.sameSource.empty() ? uniqueName(plan.displayName, plan.prefix, plan.source)
                                               : plan.sameSource.front().name;
    const std::string name = request.name.value_or(plan.defaultName);
    return renamedPlan(std::move(plan), name);
}

std::expected<LauncherPlan, LauncherError> renamedPlan(LauncherPlan plan, const std::string& name)
{
    if (auto refused = nameFailure(name))
        return std::unexpected(std::move(*refused));
    plan.name = name;
    plan.desktopFile = joinPath(plan.applicationsFolder, std::string(kLauncherFilePrefix) + plan.name +
                                                             std::string(kDesktopFileSuffix));
    plan.desktopEntry = entryTextOf(plan);
    return plan;
}

std::expected<LauncherPlan, LauncherError> retitledPlan(LauncherPlan plan, const std::string& displayName)
{
    plan.displayName = displayName;
    if (auto unusable = unusableValue(plan))
        return std::unexpected(std::move(*unusable));
    plan.desktopEntry = entryTextOf(plan);
    return plan;
}

} // namespace gb
