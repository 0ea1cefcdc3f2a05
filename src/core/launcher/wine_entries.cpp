#include "core/launcher/wine_entries.h"

#include "core/export/batch_names.h"
#include "core/export/native_sizes.h"
#include "core/launcher/own_entries.h"
#include "core/paths/path_lookup.h"
#include "core/search/folder_walk.h"
#include "core/text/ascii.h"
#include "core/wine/wine_prefix.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace gb {

namespace {

namespace fs = std::filesystem;

// A Wine menu holds a few hundred entries; a tree of more is not Wine's.
constexpr std::size_t kMaxWineEntries = 10000;

// The theme images of what the entry starts, as a launcher would show it.
std::expected<std::vector<LauncherImage>, std::string>
imagesFor(const WineEntryTarget& target, const std::string& prefix, const std::string& dataDir)
{
    std::string path = target.path;
    if (target.windowsPath) {
        auto mapped = mapWindowsPath(path, winePaths(prefix, prefix));
        if (!mapped)
            return std::unexpected(describe(mapped.error()));
        path = std::move(*mapped);
    }
    LauncherRequest request;
    request.path = path;
    request.prefix = prefix;
    request.dataDir = dataDir;
    const std::vector<OwnEntry> none;
    request.ownEntries = &none;
    auto plan = planLauncher(request);
    if (!plan)
        return std::unexpected(describe(plan.error()));
    if (plan->images.empty())
        return std::unexpected("it shows no icon of its own");
    return std::move(plan->images);
}

} // namespace

std::vector<std::string> execArguments(std::string_view exec)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false, quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument)
                arguments.push_back(std::exchange(current, {}));
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < exec.size() &&
                   (!quoted || std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos)) {
            current += exec[++i];
        } else {
            current += c;
        }
    }
    if (inArgument)
        arguments.push_back(std::move(current));
    return arguments;
}

std::optional<WineEntryTarget> wineEntryTarget(std::string_view exec)
{
    const std::vector<std::string> arguments = execArguments(exec);
    WineEntryTarget target;
    std::size_t at = 0;
    if (at < arguments.size() && arguments[at] == "env")
        ++at;
    for (; at < arguments.size() && arguments[at].find('=') != std::string::npos; ++at)
        if (arguments[at].starts_with("WINEPREFIX="))
            target.prefix = arguments[at].substr(std::string_view("WINEPREFIX=").size());
    if (at >= arguments.size() ||
        fs::path(arguments[at]).filename().string().find("wine") == std::string::npos)
        return std::nullopt;
    ++at;
    for (std::size_t i = at; i + 1 < arguments.size(); ++i)
        if (equalIgnoringAsciiCase(arguments[i], "/Unix")) {
            target.path = arguments[i + 1];
            return target;
        }
    if (at >= arguments.size())
        return std::nullopt;
    target.path = arguments[at];
    target.windowsPath = !target.path.starts_with('/');
    return target;
}

void refreshWineEntries(const std::string& dataDir, const std::optional<std::string>& desktopDir,
                        const std::optional<std::string>& prefix, const std::string& homePrefix,
                        const std::function<void(const RefreshedWineEntry&)>& tell)
{
    const std::string wineFolder = joinPath(dataDir, "applications/wine");
    std::error_code error;
    std::vector<std::string> entries = fs::is_directory(wineFolder, error)
                                           ? filesBelow(wineFolder, FilePattern("*.desktop"), kMaxWineEntries)
                                           : std::vector<std::string>{};
    if (desktopDir && fs::is_directory(*desktopDir, error))
        // The Desktop itself only: it may hold anything below.
        for (std::string& entry : filesBelow(*desktopDir, FilePattern("*.desktop"), kMaxWineEntries, false))
            entries.push_back(std::move(entry));
    const std::optional<std::string> wanted =
        prefix ? std::optional(absoluteNormalPath(*prefix)) : std::nullopt;
    const std::string iconsFolder = joinPath(dataDir, "icons");
    for (const std::string& file : entries) {
        const auto text = readDesktopEntryFile(file);
        if (!text)
            continue;
        const auto values = desktopEntryValues(*text);
        const auto exec = values.find("Exec");
        const auto icon = values.find("Icon");
        if (exec == values.end() || icon == values.end())
            continue;
        const auto target = wineEntryTarget(exec->second);
        if (!target)
            continue;
        const std::string entryPrefix = absoluteNormalPath(target->prefix.value_or(homePrefix));
        if (wanted && entryPrefix != *wanted)
            continue;
        RefreshedWineEntry refreshed{file, icon->second, {}, std::nullopt};
        if (checkPrefix(icon->second) || icon->second.find('/') != std::string::npos) {
            refreshed.problem = "its icon is no theme name";
            tell(refreshed);
            continue;
        }
        auto images = imagesFor(*target, entryPrefix, dataDir);
        if (!images) {
            refreshed.problem = images.error();
            tell(refreshed);
            continue;
        }
        for (const LauncherImage& image : *images) {
            const std::string path = hicolorFile(iconsFolder, image.size, icon->second);
            // A 48 made from another size only where Wine left none.
            if (image.scaled && fs::exists(path, error))
                continue;
            fs::create_directories(fs::path(path).parent_path(), error);
            if (auto written = writeFileAtomically(path, image.png); !written) {
                refreshed.problem = written.error().message;
                break;
            }
            refreshed.sizes.push_back(image.size);
        }
        tell(refreshed);
    }
}

} // namespace gb
