#pragma once
// A Windows Internet shortcut (.url): an INI file whose [InternetShortcut]
// section names the address (URL=) and, when it has one, its icon
// (IconFile=, IconIndex=).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gb {

struct InternetShortcut {
    std::string url;
    std::optional<std::string> iconFile;
    std::int32_t iconIndex = 0;
};

// Internet shortcuts are a few lines; larger files are none.
inline constexpr std::size_t kMaxInternetShortcutBytes = std::size_t{64} * 1024;

// The shortcut the text holds: none when it has no [InternetShortcut]
// section with a URL. Section and key names are matched without regard to
// case, as Windows reads INI files.
std::optional<InternetShortcut> readInternetShortcut(std::string_view text);

// Whether the desktop should open the address: web and mail addresses
// only ("http", "https", "ftp", "mailto"), never a local program or script.
bool isOpenableAddress(std::string_view url);

} // namespace gb
