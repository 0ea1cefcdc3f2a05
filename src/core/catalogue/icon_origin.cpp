#include "core/catalogue/icon_origin.h"

#include <charconv>

namespace gb {

std::optional<IconOrigin> iconOrigin(std::string_view key)
{
    // The key's own "(" is the last one: a path may hold parentheses too.
    const auto open = key.rfind('(');
    if (open == std::string_view::npos || key.size() < open + 3 || key.back() != ')')
        return std::nullopt;
    const std::string_view digits = key.substr(open + 1, key.size() - open - 2);
    int index = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error != std::errc{} || end != digits.data() + digits.size() || index < 0)
        return std::nullopt;
    return IconOrigin{std::string(key.substr(0, open)), index};
}

} // namespace gb
