#include "core/launcher/prefix_launchers.h"

#include "core/export/batch_names.h"
#include "core/jobs/ordered_work.h"
#include "core/launcher/prefix_shortcuts.h"

#include <filesystem>

namespace gb {

namespace {

namespace fs = std::filesystem;

bool gone(const std::string& path)
{
    std::error_code error;
    (void)fs::symlink_status(path, error);
    return error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
}

} // namespace

void makePrefixLaunchers(const std::string& prefix, const std::string& dataDir, bool force,
                         const std::function<void(const PrefixLauncher&)>& tell)
{
    // This tool's entries are read once for every shortcut; the shortcuts
    // are planned on every core (reading programs, encoding icons), and
    // their launchers written together, with one sync.
    const std::vector<OwnEntry> own = ownEntries(joinPath(dataDir, "applications"));
    const std::vector<std::string> shortcuts = prefixShortcuts(prefix);
    std::vector<std::expected<LauncherPlan, LauncherError>> planned;
    planned.reserve(shortcuts.size());
    {
        using Planned = std::expected<LauncherPlan, LauncherError>;
        OrderedWork<LauncherRequest, Planned> work(
            allCores(), [](LauncherRequest& request) { return planLauncher(request); },
            [&planned](Planned& plan) { planned.push_back(std::move(plan)); });
        for (const std::string& shortcut : shortcuts) {
            LauncherRequest request = launcherRequest(shortcut, dataDir, prefix);
            request.force = force;
            request.ownEntries = &own;
            work.submit(std::move(request));
        }
        work.finish();
    }
    std::vector<LauncherPlan> plans;
    for (auto& plan : planned)
        if (plan)
            plans.push_back(std::move(*plan));
    auto written = writeLaunchers(plans);
    std::size_t next = 0;
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        if (!planned[i]) {
            tell(PrefixLauncher{shortcuts[i], std::unexpected(planned[i].error()), {}});
            continue;
        }
        tell(PrefixLauncher{shortcuts[i], std::move(written[next]), plans[next].notes});
        ++next;
    }
}

std::vector<RemovedLauncher> pruneLaunchers(const std::string& dataDir,
                                            const std::optional<std::string>& prefix)
{
    std::vector<RemovedLauncher> removed;
    for (OwnEntry& entry : ownEntries(joinPath(dataDir, "applications"))) {
        if (prefix && entry.prefix != prefix)
            continue;
        if (!gone(entry.source))
            continue;
        const std::error_code error = removeOwnEntry(entry, joinPath(dataDir, "icons"));
        removed.push_back(RemovedLauncher{std::move(entry), error});
    }
    return removed;
}

std::optional<OwnEntry> findOwnLauncher(const std::string& dataDir, std::string_view name)
{
    if (name.ends_with(kDesktopFileSuffix))
        name.remove_suffix(kDesktopFileSuffix.size());
    if (name.starts_with(kLauncherFilePrefix))
        name.remove_prefix(kLauncherFilePrefix.size());
    if (!launcherNameUsable(name))
        return std::nullopt;
    return ownEntryAt(
        joinPath(joinPath(dataDir, "applications"),
                 std::string(kLauncherFilePrefix) + std::string(name) + std::string(kDesktopFileSuffix)));
}

} // namespace gb
