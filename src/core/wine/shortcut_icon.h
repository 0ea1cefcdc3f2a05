#pragma once
// What a Windows shortcut shows, as Explorer picks it: the icon file and
// index the shortcut names, else its target's first icon; both looked up in
// the Wine prefix the shortcut lies in.

#include "core/bytes/byte_source.h"
#include "core/bytes/read_error.h"
#include "core/icons/icon_source.h"
#include "core/shortcuts/shell_link.h"
#include "core/wine/wine_prefix.h"

#include <cstdint>
#include <expected>
#include <optional>
#include <string>

namespace gb {

// The shortcut a file holds, recognised by its content; none when the file
// is no shortcut.
std::expected<std::optional<ShellLink>, ReadFailure> readShortcutFile(const std::string& path);
// The same for a file already open.
std::expected<std::optional<ShellLink>, ReadFailure> readShortcut(const ByteSource& file);

// How the Windows paths of the shortcut at `shortcutPath` are found: in
// `prefix` when given, else in the prefix the shortcut lies in, and
// relative ones from the shortcut's own folder; confined (see WinePaths)
// when asked.
WinePaths shortcutPaths(const std::string& shortcutPath, const std::optional<std::string>& prefix,
                        bool confined = false);

struct IconChoice {
    std::string file;       // a path of this system
    std::int32_t index = 0; // as iconPosition takes it
};

std::expected<IconChoice, WinePathFailure> shortcutIcon(const ShellLink& link, const WinePaths& paths);

// The position among a file's icons of an icon index as shortcuts and
// ExtractIcon take it: the position itself, or when negative the group
// whose resource id is minus the index. None when there is no such icon.
std::optional<int> iconPosition(const IconSource& source, std::int32_t index);

} // namespace gb
