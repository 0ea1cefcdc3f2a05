#include "core/shortcuts/internet_shortcut.h"

#include "core/text/ascii.h"

#include <charconv>

namespace gb {

std::optional<InternetShortcut> readInternetShortcut(std::string_view text)
{
    if (text.size() > kMaxInternetShortcutBytes)
        return std::nullopt;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    InternetShortcut shortcut;
    bool inSection = false, hasUrl = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimmedBlanks(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.starts_with('[')) {
            inSection = equalIgnoringAsciiCase(line, "[InternetShortcut]");
            continue;
        }
        const auto equals = line.find('=');
        if (!inSection || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmedBlanks(line.substr(0, equals));
        const std::string_view value = trimmedBlanks(line.substr(equals + 1));
        if (equalIgnoringAsciiCase(key, "URL") && !hasUrl) {
            shortcut.url = std::string(value);
            hasUrl = !value.empty();
        } else if (equalIgnoringAsciiCase(key, "IconFile") && !value.empty()) {
            shortcut.iconFile = std::string(value);
        } else if (equalIgnoringAsciiCase(key, "IconIndex")) {
            std::int32_t index = 0;
            const auto [last, error] = std::from_chars(value.data(), value.data() + value.size(), index);
            if (error == std::errc{} && last == value.data() + value.size())
                shortcut.iconIndex = index;
        }
    }
    return hasUrl ? std::optional<InternetShortcut>(std::move(shortcut)) : std::nullopt;
}

bool isOpenableAddress(std::string_view url)
{
    const auto colon = url.find(':');
    if (colon == std::string_view::npos)
        return false;
    const std::string_view scheme = url.substr(0, colon);
    for (const char* allowed : {"http", "https", "ftp", "mailto"})
        if (equalIgnoringAsciiCase(scheme, allowed))
            return !holdsControlCharacter(url);
    return false;
}

} // namespace gb
