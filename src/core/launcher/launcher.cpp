#include "core/launcher/launcher.h"

#include "core/bytes/file_source.h"
#include "core/bytes/source_reader.h"
#include "core/export/batch_names.h"
#include "core/export/native_sizes.h"
#include "core/icons/icon_source.h"
#include "core/icons/ne_resources.h"
#include "core/icons/pe_resources.h"
#include "core/icons/resample.h"
#include "core/imagefiles/png_writer.h"
#include "core/launcher/desktop_entry.h"
#include "core/text/ascii.h"
#include "core/text/utf8_text.h"
#include "core/wine/shortcut_icon.h"
#include "core/wine/wine_prefix.h"

#include <algorithm>
#include <filesystem>

namespace gb {

namespace {

namespace fs = std::filesystem;

// A launcher whose icon stores no theme size of 48 or more gets one of 48
// made from its largest image: menus and docks draw at 48 and up.
constexpr int kScaledSize = 48;

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

// A version text as one line: control characters become spaces, and the
// spaces around it go.
std::string oneLine(std::string text)
{
    std::ranges::replace_if(text, isAsciiControl, ' ');
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Name=: FileDescription, else ProductName, else the file's name without
// its extension.
std::string displayNameOf(const std::string& program, const IconSource& source)
{
    if (const auto version = source.versionInfo())
        for (const char* key : {"FileDescription", "ProductName"})
            if (const auto text = version->text(key))
                if (std::string line = oneLine(*text); !line.empty())
                    return line;
    return oneLine(fs::path(program).stem().string());
}

// The image made a square of `size`, its proportions kept and centred.
RgbaImage squareOf(const RgbaImage& image, int size)
{
    const int longer = std::max(image.width(), image.height());
    const int width = std::max(1, (image.width() * size + longer / 2) / longer);
    const int height = std::max(1, (image.height() * size + longer / 2) / longer);
    const RgbaImage scaled = resampleImage(image, width, height);
    RgbaImage square(size, size);
    const int left = (size - width) / 2, top = (size - height) / 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            square.at(left + x, top + y) = scaled.at(x, y);
    return square;
}

// The theme sizes the icon stores, and 48 made from its largest image when
// none of them is 48 or more.
std::expected<std::vector<LauncherImage>, std::string> themeImages(const NativeImages& icon)
{
    std::vector<std::pair<int, RgbaImage>> chosen;
    for (const int size : kHicolorSizes)
        for (const NativeImage& image : icon.images)
            if (image.header.width == size && image.header.height == size) {
                chosen.emplace_back(size, image.pixels);
                break;
            }
    const bool large = std::ranges::any_of(chosen, [](const auto& c) { return c.first >= kScaledSize; });
    std::vector<LauncherImage> result;
    if (!large && !icon.images.empty()) {
        const auto largest = std::ranges::max_element(icon.images, {}, [](const NativeImage& i) {
            return static_cast<std::int64_t>(i.header.width) * i.header.height;
        });
        chosen.emplace_back(kScaledSize, squareOf(largest->pixels, kScaledSize));
        std::ranges::sort(chosen, {}, [](const auto& c) { return c.first; });
    }
    for (const auto& [size, pixels] : chosen) {
        auto png = encodePng(pixels);
        if (!png)
            return std::unexpected(png.error());
        const bool scaled =
            !large && size == kScaledSize && std::ranges::none_of(icon.images, [size](const NativeImage& i) {
                return i.header.width == size && i.header.height == size;
            });
        result.push_back(LauncherImage{size, scaled, std::move(*png)});
    }
    return result;
}

struct Resolved {
    std::string program;
    std::optional<std::string> prefix;
    std::vector<std::string> arguments;
    std::optional<std::string> workingFolder;
    std::string iconFile;
    std::int32_t iconIndex = 0;
};

// What PATH runs and shows: a program is its own; a shortcut's Windows paths
// are looked up in the prefix.
std::expected<Resolved, LauncherError> resolve(const LauncherRequest& request,
                                               const std::optional<std::string>& prefix)
{
    const auto shortcut = readShortcutFile(request.path);
    if (!shortcut) {
        const ReadError reason = shortcut.error().reason;
        const bool opened = reason != ReadError::OpenFailed && reason != ReadError::NotRegularFile;
        return std::unexpected(
            readFailure(opened ? LauncherProblem::BrokenShortcut : LauncherProblem::Unreadable, request.path,
                        shortcut.error()));
    }
    Resolved resolved;
    if (!*shortcut) {
        resolved.program = absolutePath(request.path);
        resolved.prefix = prefix ? prefix : findWinePrefix(resolved.program);
        resolved.iconFile = resolved.program;
        return resolved;
    }
    const ShellLink& link = **shortcut;
    const WinePaths paths = shortcutPaths(request.path, prefix);
    resolved.prefix = paths.prefix;
    auto program = mapWindowsPath(link.target().value_or(""), paths);
    if (!program)
        return std::unexpected(fromPathFailure(program.error()));
    resolved.program = std::move(*program);
    if (link.workingFolder && !link.workingFolder->empty()) {
        auto folder = mapWindowsPath(*link.workingFolder, paths);
        if (!folder)
            return std::unexpected(fromPathFailure(folder.error()));
        resolved.workingFolder = std::move(*folder);
    }
    resolved.arguments = splitWindowsArguments(link.arguments.value_or(""));
    auto icon = shortcutIcon(link, paths);
    if (!icon)
        return std::unexpected(fromPathFailure(icon.error()));
    resolved.iconFile = std::move(icon->file);
    resolved.iconIndex = icon->index;
    return resolved;
}

std::expected<IconSource, LauncherError> openIcons(const std::string& file)
{
    auto source = IconSource::open(file);
    if (!source)
        return std::unexpected(readFailure(LauncherProblem::Unreadable, file, source.error()));
    return std::move(*source);
}

// Wine runs Linux programs too: a launcher runs a Windows program alone,
// known by its content (the MZ header and the PE or NE header its
// e_lfanew leads to), whatever its name.
std::expected<bool, ReadFailure> isWindowsProgram(const std::string& path)
{
    auto file = FileSource::open(path);
    if (!file)
        return std::unexpected(file.error());
    const SourceReader reader(*file);
    return looksLikePe(reader) || looksLikeNe(reader);
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
std::optional<LauncherError> unusableValue(const LauncherPlan& plan, const std::string& shortcut)
{
    struct Value {
        const char* key;
        const std::string* text;
        const std::string* path; // what the error names
    };
    std::vector<Value> values{{"Exec line", &plan.program, &plan.program}};
    if (plan.prefix)
        values.push_back({"Exec line", &*plan.prefix, &*plan.prefix});
    values.push_back({"Path", &plan.workingFolder, &plan.workingFolder});
    for (const std::string& argument : plan.arguments)
        values.push_back({"Exec line", &argument, &shortcut});
    values.push_back({"Name", &plan.displayName, &plan.program});
    for (const Value& value : values)
        if (holdsControlCharacter(*value.text))
            return failure(LauncherProblem::UnusableText, *value.path, value.key);
    for (const Value& value : values)
        if (!isUtf8(*value.text))
            return failure(LauncherProblem::NotUtf8, *value.path, value.key);
    return std::nullopt;
}

} // namespace

std::string describe(const LauncherError& error)
{
    const std::string& path = error.path;
    switch (error.problem) {
    case LauncherProblem::Unreadable:
        return path + ": cannot be read" + (error.read ? ": " + gb::describe(*error.read) : "");
    case LauncherProblem::BrokenShortcut:
        return path + ": a broken shortcut" + (error.read ? ": " + gb::describe(*error.read) : "");
    case LauncherProblem::NoTarget: return path + ": the shortcut names no program";
    case LauncherProblem::NoPrefix:
        return path + ": a Windows path, and no Wine prefix to find it in (give --prefix)";
    case LauncherProblem::PrefixNotFolder: return path + ": the Wine prefix is no folder";
    case LauncherProblem::NotWinePrefix:
        return path +
               ": not a Wine prefix (no drive_c and system.reg in it); Wine would make a new one there";
    case LauncherProblem::NoDrive: return path + ": the Wine prefix has no drive " + error.detail;
    case LauncherProblem::LeavesDrive: return path + ": goes above the root of its drive";
    case LauncherProblem::UnknownVariable: return path + ": Wine does not set %" + error.detail + "%";
    case LauncherProblem::UnsupportedPath: return path + ": a network path, not one on a drive of the prefix";
    case LauncherProblem::Missing: return path + ": no such file or folder";
    case LauncherProblem::PathTooLong:
        return path + ": longer than the " + std::to_string(kMaxWindowsPathLength) +
               " characters of a Windows path";
    case LauncherProblem::NotAFile: return path + ": not a program file";
    case LauncherProblem::NotAProgram:
        return path + ": not a Windows program (no PE or NE header after an MZ header); a launcher runs "
                      "only those";
    case LauncherProblem::NoIcon: return path + ": holds no icon of index " + error.detail;
    case LauncherProblem::IconUnreadable:
        return path + ": the icon holds no image that can be read" +
               (error.detail.empty() ? "" : ": " + error.detail);
    case LauncherProblem::BadName:
        return "'" + path + "': the name may not be empty, hold '/' or a control character, or be . or ..";
    case LauncherProblem::NameTooLong:
        return "the name is " + error.detail + " bytes long; a launcher's name holds at most " +
               std::to_string(kMaxLauncherName) + " (glimmerbox-NAME.desktop must fit in " +
               std::to_string(NAME_MAX) + " bytes)";
    case LauncherProblem::UnusableText:
        return path + ": holds a control character, which the launcher's " + error.detail + " cannot carry";
    case LauncherProblem::NotUtf8:
        return path + ": is not UTF-8 text, and the launcher's " + error.detail +
               " must be (a desktop entry is UTF-8)";
    case LauncherProblem::NoDataDir: return "no folder to write the launcher into (HOME is not set)";
    case LauncherProblem::WriteFailed:
        return path + ": cannot be written" + (error.write ? ": " + error.write->message : "");
    }
    return path;
}

std::expected<LauncherPlan, LauncherError> planLauncher(const LauncherRequest& request)
{
    if (request.dataDir.empty())
        return std::unexpected(failure(LauncherProblem::NoDataDir, {}));
    if (request.name)
        if (auto refused = nameFailure(*request.name))
            return std::unexpected(std::move(*refused));
    std::optional<std::string> prefix;
    if (request.prefix) {
        prefix = absolutePath(*request.prefix);
        std::error_code error;
        if (!fs::is_directory(*prefix, error))
            return std::unexpected(failure(LauncherProblem::PrefixNotFolder, *request.prefix));
        if (!isWinePrefix(*prefix))
            return std::unexpected(failure(LauncherProblem::NotWinePrefix, *request.prefix));
    }
    auto resolved = resolve(request, prefix);
    if (!resolved)
        return std::unexpected(resolved.error());

    LauncherPlan plan;
    std::error_code error;
    if (!fs::is_regular_file(resolved->program, error))
        return std::unexpected(failure(LauncherProblem::NotAFile, resolved->program));
    const auto windows = isWindowsProgram(resolved->program);
    if (!windows)
        return std::unexpected(readFailure(LauncherProblem::Unreadable, resolved->program, windows.error()));
    if (!*windows)
        return std::unexpected(failure(LauncherProblem::NotAProgram, resolved->program));
    plan.program = onDisk(resolved->program);
    plan.prefix = resolved->prefix;
    plan.arguments = std::move(resolved->arguments);
    plan.workingFolder = resolved->workingFolder ? onDisk(*resolved->workingFolder)
                                                 : fs::path(plan.program).parent_path().string();

    auto programIcons = openIcons(resolved->program);
    if (!programIcons)
        return std::unexpected(programIcons.error());
    plan.displayName = displayNameOf(plan.program, *programIcons);
    plan.defaultName = defaultLauncherName(plan.displayName);

    // The icon: the shortcut's own, else the program's first.
    const bool ownIcon = resolved->iconFile != resolved->program;
    std::optional<IconSource> otherIcons;
    if (ownIcon) {
        auto opened = openIcons(resolved->iconFile);
        if (!opened)
            return std::unexpected(opened.error());
        otherIcons = std::move(*opened);
    }
    const IconSource& icons = ownIcon ? *otherIcons : *programIcons;
    plan.iconFile = resolved->iconFile;
    const auto position = iconPosition(icons, resolved->iconIndex);
    if (!position) {
        if (icons.problem())
            return std::unexpected(readFailure(LauncherProblem::Unreadable, plan.iconFile, *icons.problem()));
        return std::unexpected(
            failure(LauncherProblem::NoIcon, plan.iconFile, std::to_string(resolved->iconIndex)));
    }
    plan.iconPosition = *position;
    const auto group = icons.group(*position);
    if (!group)
        return std::unexpected(
            failure(LauncherProblem::IconUnreadable, plan.iconFile, gb::describe(group.error())));
    auto images = themeImages(nativeImages(*group));
    if (!images)
        return std::unexpected(failure(LauncherProblem::IconUnreadable, plan.iconFile, images.error()));
    if (images->empty())
        return std::unexpected(failure(LauncherProblem::IconUnreadable, plan.iconFile));
    plan.images = std::move(*images);

    if (auto refused = unusableValue(plan, request.path))
        return std::unexpected(std::move(*refused));

    plan.iconsFolder = joinPath(request.dataDir, "icons");
    plan.applicationsFolder = joinPath(request.dataDir, "applications");
    std::string name = request.name.value_or(plan.defaultName);
    return renamedPlan(std::move(plan), name);
}

std::expected<LauncherPlan, LauncherError> renamedPlan(LauncherPlan plan, const std::string& name)
{
    if (auto refused = nameFailure(name))
        return std::unexpected(std::move(*refused));
    plan.name = name;
    const std::string fileName = std::string(kLauncherFilePrefix) + plan.name;
    plan.desktopFile = joinPath(plan.applicationsFolder, fileName + std::string(kDesktopFileSuffix));
    plan.desktopEntry =
        desktopEntryText(DesktopEntryFields{plan.displayName, plan.prefix, plan.program, plan.arguments,
                                            plan.workingFolder, fileName, windowClassOf(plan.program)});
    return plan;
}

} // namespace gb
