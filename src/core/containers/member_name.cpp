#include "core/containers/member_name.h"

namespace gb {

std::string normaliseMemberName(std::string_view stored)
{
    std::string name;
    name.reserve(stored.size());
    for (const char c : stored)
        if (c != '/' || (!name.empty() && name.back() != '/'))
            name += c;
    // A leading "./" (or several) names the same member; a leading "/" was
    // dropped above with the doubled ones.
    while (name.starts_with("./"))
        name.erase(0, 2);
    return name;
}

std::string_view lastComponent(std::string_view name)
{
    const auto slash = name.rfind('/');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

} // namespace gb
