#pragma once
// NAME of a launcher's files: DATA/applications/glimmerbox-NAME.desktop
// and DATA/icons/hicolor/WxH/apps/glimmerbox-NAME.png. The name is both a
// file name and the entry's Icon= value, so it must be a single file name
// component the file system takes, and UTF-8 text.

#include <climits>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gb {

inline constexpr std::string_view kLauncherFilePrefix = "glimmerbox-";
inline constexpr std::string_view kDesktopFileSuffix = ".desktop";

// The longest NAME, in bytes: glimmerbox-NAME.desktop, the longest name
// written, must fit in one file name component (NAME_MAX, 255 bytes on
// Linux file systems). The files staged beside it have names of their own
// of a fixed, shorter length.
inline constexpr std::size_t kMaxLauncherName =
    NAME_MAX - kLauncherFilePrefix.size() - kDesktopFileSuffix.size();

// The longest NAME made from a program's name: a long FileDescription (a
// sentence, say) still makes a launcher, with a name a person can read in
// a file list.
inline constexpr std::size_t kDefaultLauncherNameLength = 64;

// The display name made a file name: lower case, and each character other
// than a-z, 0-9, ".", "_" and "-" a "-" (one for a whole UTF-8 character).
std::string launcherSlug(std::string_view displayName);

// The NAME offered when none is asked for: the slug, cut to
// kDefaultLauncherNameLength characters. The slug is ASCII, so the cut
// never splits a character.
std::string defaultLauncherName(std::string_view displayName);

// Whether NAME has the form of a file name: not empty, ".", or "..", and
// without "/" or a control character.
bool launcherNameUsable(std::string_view name);

enum class LauncherNameProblem {
    Unusable, // as launcherNameUsable says
    NotUtf8,  // the entry's Icon= must be UTF-8
    TooLong,  // more than kMaxLauncherName bytes
};

// Every rule NAME must meet, first the form, then the text, then the length.
std::optional<LauncherNameProblem> checkLauncherName(std::string_view name);

} // namespace gb
