#include "core/catalogue/icon_origin.h"

#include <string_view>

namespace gb {

std::string IconOrigin::memberPath() const
{
    std::string joined = path;
    for (const std::string& member : members)
        joined += "//" + member;
    return joined;
}

std::string IconOrigin::key() const
{
    return memberPath() + "(" + std::to_string(index) + ")";
}

std::string IconOrigin::shownPath() const
{
    const std::string joined = memberPath();
    std::string_view trimmed = joined;
    while (!trimmed.empty() && trimmed.front() == ' ')
        trimmed.remove_prefix(1);
    while (!trimmed.empty() && trimmed.back() == ' ')
        trimmed.remove_suffix(1);
    return std::string(trimmed);
}

} // namespace gb
