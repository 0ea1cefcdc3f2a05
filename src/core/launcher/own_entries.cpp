#include "core/launcher/own_entries.h"

#include "core/bytes/file_source.h"
#include "core/export/native_sizes.h"
#include "core/launcher/desktop_entry.h"
#include "core/launcher/launcher_name.h"
#include "core/paths/path_lookup.h"
#include "core/search/folder_listing.h"

#include <algorithm>
#include <filesystem>

namespace gb {

namespace {

namespace fs = std::filesystem;

std::optional<std::string> valueOf(const std::map<std::string, std::string, std::less<>>& values,
                                   std::string_view key)
{
    const auto found = values.find(key);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
}

} // namespace

std::optional<std::string> readDesktopEntryFile(const std::string& file)
{
    return readSmallFile(file, kMaxDesktopEntryBytes);
}

std::optional<OwnEntry> ownEntryAt(const std::string& file)
{
    const std::string fileName = fs::path(file).filename().string();
    if (!fileName.starts_with(kLauncherFilePrefix) || !fileName.ends_with(kDesktopFileSuffix))
        return std::nullopt;
    const auto text = readDesktopEntryFile(file);
    if (!text)
        return std::nullopt;
    const auto values = desktopEntryValues(*text);
    auto source = valueOf(values, "X-Glimmerbox-Source");
    if (!source || source->empty())
        return std::nullopt;
    OwnEntry entry;
    entry.file = file;
    entry.name = fileName.substr(kLauncherFilePrefix.size(),
                                 fileName.size() - kLauncherFilePrefix.size() - kDesktopFileSuffix.size());
    entry.displayName = valueOf(values, "Name").value_or("");
    entry.source = std::move(*source);
    entry.prefix = valueOf(values, "X-Glimmerbox-Prefix");
    entry.startMenu = valueOf(values, "X-Glimmerbox-Menu");
    return entry;
}

std::vector<OwnEntry> ownEntries(const std::string& applicationsFolder)
{
    std::vector<OwnEntry> entries;
    for (const std::string& name : folderEntryNames(applicationsFolder).value_or(std::vector<std::string>{}))
        if (name.starts_with(kLauncherFilePrefix) && name.ends_with(kDesktopFileSuffix))
            if (auto entry = ownEntryAt(childPath(applicationsFolder, name)))
                entries.push_back(std::move(*entry));
    std::ranges::sort(entries, {}, &OwnEntry::name);
    return entries;
}

const OwnEntry* entryFrom(const std::vector<OwnEntry>& entries, const std::string& source,
                          const std::optional<std::string>& prefix)
{
    const auto found = std::ranges::find_if(
        entries, [&](const OwnEntry& entry) { return entry.source == source && entry.prefix == prefix; });
    return found == entries.end() ? nullptr : &*found;
}

std::error_code removeOwnEntry(const OwnEntry& entry, const std::string& iconsFolder)
{
    std::error_code error;
    fs::remove(entry.file, error);
    if (error)
        return error;
    const std::string iconName = std::string(kLauncherFilePrefix) + entry.name;
    for (const int size : kHicolorSizes) {
        std::error_code ignored;
        fs::remove(hicolorFile(iconsFolder, size, iconName), ignored);
    }
    return {};
}

} // namespace gb
