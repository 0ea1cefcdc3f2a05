#include "core/launcher/launcher_name.h"

#include "core/export/batch_names.h"
#include "core/launcher/desktop_entry.h"
#include "core/text/ascii.h"
#include "core/text/utf8_text.h"

namespace gb {

std::string launcherSlug(std::string_view displayName)
{
    std::string slug;
    for (std::size_t i = 0; i < displayName.size(); ++i) {
        const auto c = static_cast<unsigned char>(displayName[i]);
        const char lower = asciiLower(static_cast<char>(c));
        if ((lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') || lower == '.' ||
            lower == '_' || lower == '-') {
            slug += lower;
            continue;
        }
        slug += '-';
        // One "-" for a whole UTF-8 character: skip its continuation bytes.
        while (c >= 0xC0 && i + 1 < displayName.size() && isUtf8Continuation(displayName[i + 1]))
            ++i;
    }
    return slug;
}

std::string defaultLauncherName(std::string_view displayName)
{
    std::string name = launcherSlug(displayName);
    if (name.size() > kDefaultLauncherNameLength)
        name.resize(kDefaultLauncherNameLength);
    return name;
}

bool launcherNameUsable(std::string_view name)
{
    return !checkPrefix(name) && !holdsControlCharacter(name);
}

std::optional<LauncherNameProblem> checkLauncherName(std::string_view name)
{
    if (!launcherNameUsable(name))
        return LauncherNameProblem::Unusable;
    if (!isUtf8(name))
        return LauncherNameProblem::NotUtf8;
    if (name.size() > kMaxLauncherName)
        return LauncherNameProblem::TooLong;
    return std::nullopt;
}

} // namespace gb
