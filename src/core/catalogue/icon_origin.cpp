#include "core/catalogue/icon_origin.h"

#include <string_view>

namespace gb {

std::string IconOrigin::key() const
{
    return path + "(" + std::to_string(index) + ")";
}

std::string IconOrigin::shownPath() const
{
    std::string_view shown = path;
    while (!shown.empty() && shown.front() == ' ')
        shown.remove_prefix(1);
    while (!shown.empty() && shown.back() == ' ')
        shown.remove_suffix(1);
    return std::string(shown);
}

} // namespace gb
