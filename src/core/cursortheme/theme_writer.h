#pragma once
// A cursor theme written as X11 and Wayland desktops look for one:
// DIR/NAME/index.theme and DIR/NAME/cursors/, one Xcursor file per role
// under the role's main name and every other name a desktop asks for as a
// relative symbolic link to it. A role without a cursor takes its fallback
// role's, else is left to the inherited theme (Inherits=default).
//
// The theme is made in a folder beside its place and put there with one
// rename, so a desktop never sees half a theme. A folder of that name is
// replaced only when this program made it (its index.theme carries
// kThemeMarker); any other is the user's and is left alone.

#include "core/cursors/cursor_roles.h"
#include "core/cursortheme/theme_choice.h"

#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace gb {

// The line in index.theme that says this program made the theme.
inline constexpr std::string_view kThemeMarker = "X-Glimmerbox-Made=cursor-theme";

struct ThemeRequest {
    std::string dir;        // the folder of themes ($XDG_DATA_HOME/icons)
    std::string name;       // the theme's name and folder
    std::vector<int> sizes; // empty: cursorAtSizes' default
};

enum class RoleOutcome {
    Filled,    // from a scheme or a resource id
    Guessed,   // from a file's name
    Fallback,  // the fallback role's cursor
    Inherited, // nothing written: the inherited theme's
    NotRead,   // a cursor was named but could not be read or written
};

struct RoleReport {
    CursorRole role;
    RoleOutcome outcome = RoleOutcome::Inherited;
    std::string detail = {}; // the file it came from, the fallback role's name, or the reason
    std::string file = {};   // the main name written; empty when none (Pin, Person, or nothing)
    int links = 0;           // the other names linked to it
};

struct ThemeReport {
    std::string folder;            // DIR/NAME
    std::vector<RoleReport> roles; // in scheme order
    bool complete() const;         // no role NotRead
};

// Whether NAME may name a theme folder: not empty, no "/", no control
// character, not "." or "..".
bool themeNameUsable(std::string_view name);

// The text of index.theme.
std::string indexThemeText(std::string_view name);

// Writes the theme; fails (nothing changed) with the reason when the
// folder cannot be made, or a folder of that name is not one of ours.
std::expected<ThemeReport, std::string> writeCursorTheme(const ThemeChoice& choice,
                                                         const ThemeRequest& request);

} // namespace gb
