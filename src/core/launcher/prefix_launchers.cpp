#include "core/launcher/prefix_launchers.h"

#include "core/export/batch_names.h"
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
    // This tool's entries are read once, and kept up to date as launchers
    // are written, rather than read again for each shortcut.
    std::vector<OwnEntry> own = ownEntries(joinPath(dataDir, "applications"));
    for (const PrefixShortcut& shortcut : prefixShortcuts(prefix)) {
        LauncherRequest request;
        request.path = shortcut.path;
        request.prefix = prefix;
        request.dataDir = dataDir;
        request.force = force;
        request.ownEntries = &own;
        const auto plan = planLauncher(request);
        if (!plan) {
            tell(PrefixLauncher{shortcut.path, std::unexpected(plan.error()), {}});
            continue;
        }
        auto written = writeLauncher(*plan);
        if (written && written->outcome != LauncherOutcome::Unchanged) {
            std::erase_if(
                own, [&](const OwnEntry& e) { return e.source == plan->source && e.prefix == plan->prefix; });
            if (auto entry = ownEntryAt(written->file))
                own.push_back(std::move(*entry));
        }
        tell(PrefixLauncher{shortcut.path, std::move(written), plan->notes});
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
