#pragma once
// Which cursor each of the seventeen roles of a theme takes, from the
// sources given: a cursor pack's folder with its install.inf (the scheme
// it installs), a pack's folder without one (roles guessed from the file
// names packs use; a lone .cur or .ani file likewise), a container holding
// such a folder, or a program or library holding the standard cursors by
// their resource ids. Of several
// sources the earlier gives a role its cursor; a later one only fills the
// roles still open.

#include "core/containers/container_walk.h"
#include "core/cursors/cursor.h"
#include "core/cursors/cursor_roles.h"

#include <map>
#include <string>
#include <vector>

namespace gb {

struct ChosenCursor {
    bool guessed = false; // from a file's name rather than a scheme or a resource id
    std::string from;     // the file (or "PROGRAM resource ID") it was read from
    Cursor cursor;
};

struct ThemeChoice {
    std::map<CursorRole, ChosenCursor> cursors;
    // Roles a source named a cursor for that could not be read, with the
    // reason (a later source may still fill the role).
    std::map<CursorRole, std::string> unread;
    // Not faults of a role: a file an install.inf names that its folder
    // lacks, a member a container skipped, a source holding no cursor.
    std::vector<std::string> warnings;
    // Files of a pack without an install.inf that no role could be guessed
    // for, or whose role another file already gave.
    std::vector<std::string> unplaced;
    // Sources that could not be read at all, with the reason.
    std::vector<std::string> problems;
};

// Adds what the source at `path` gives to `choice`.
void chooseFromSource(const std::string& path, ThemeChoice& choice, const ContainerLimits& limits = {});

// The choice made from every source in turn.
ThemeChoice chooseCursors(const std::vector<std::string>& paths, const ContainerLimits& limits = {});

} // namespace gb
