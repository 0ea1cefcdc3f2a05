#pragma once
// The launchers this tool made, found by what each entry says of its
// source (X-Glimmerbox-Source, X-Glimmerbox-Prefix): an entry without it
// was made by hand or by another program, and is never taken for ours.

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace gb {

// A desktop entry is a few lines; a larger file is none of ours, and is
// not read whole.
inline constexpr std::uint64_t kMaxDesktopEntryBytes = std::uint64_t{64} * 1024;

struct OwnEntry {
    std::string file;        // DATA/applications/glimmerbox-NAME.desktop
    std::string name;        // NAME
    std::string displayName; // Name=
    std::string source;      // the shortcut or program it was made from
    std::optional<std::string> prefix;
    std::optional<std::string> startMenu; // its Start Menu folder
};

// The text of a desktop entry file: none when it is missing, no regular
// file, unreadable or larger than kMaxDesktopEntryBytes.
std::optional<std::string> readDesktopEntryFile(const std::string& file);

// The entry at `file` when this tool made it.
std::optional<OwnEntry> ownEntryAt(const std::string& file);

// Every entry of DATA/applications this tool made, by NAME.
std::vector<OwnEntry> ownEntries(const std::string& applicationsFolder);

// The one of `entries` made from `source` in `prefix`.
const OwnEntry* entryFrom(const std::vector<OwnEntry>& entries, const std::string& source,
                          const std::optional<std::string>& prefix);

// Removes the entry and its icons of every theme size from DATA/icons.
// The error of removing the entry itself; a missing icon is no error.
std::error_code removeOwnEntry(const OwnEntry& entry, const std::string& iconsFolder);

} // namespace gb
