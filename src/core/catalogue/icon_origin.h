#pragma once
// Where a catalogued icon came from, as data: the file's path bytes as the
// walk passed them, the member it lies in when the file is a container (an
// archive, a disk image, an installer package), and the icon's position in
// the file; for a Windows shortcut, the icon it shows from another file.
// The key text that the status line and the lists show is made from it,
// never read back.

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace gb {

// The icon a Windows shortcut shows, as Explorer finds it: the file it is
// drawn from (a path of this system) and its position among that file's
// icons.
struct ShownIcon {
    std::string file;
    int position = 0;

    friend bool operator==(const ShownIcon&, const ShownIcon&) = default;
};

struct IconOrigin {
    IconOrigin() = default;
    IconOrigin(std::string file, int at, std::vector<std::string> inside = {})
        : path(std::move(file)), index(at), members(std::move(inside))
    {
    }

    std::string path; // the bytes the walk passed, untrimmed
    int index = 0;    // the icon's position in the file, from 0
    // The member of a container, one name per level from the outermost
    // container in (a zip on a CD image: the zip's path on the CD, then the
    // member's in the zip); empty for a file of its own.
    std::vector<std::string> members;
    // Set when the file is a Windows shortcut: its one row (index 0) is the
    // icon it shows, read from that other file. Held by a pointer, as most
    // rows have none: 16 bytes a row where the value would take 48, in a
    // catalogue of hundreds of thousands of rows.
    std::shared_ptr<const ShownIcon> shown;

    void showIcon(ShownIcon icon) { shown = std::make_shared<const ShownIcon>(std::move(icon)); }

    // path + "//" + each member + "(" + index + ")": "/media/cd.iso//SETUP/APP.EXE(0)".
    // Member names never hold "//" (the container walk makes them single).
    std::string key() const;
    // The path and members as the lists show them: without leading and
    // trailing spaces.
    std::string shownPath() const;
    // path and its members joined by "//", untrimmed.
    std::string memberPath() const;
    // Where the icon is read from: the file's own position, or the
    // shortcut's shown icon's.
    int sourcePosition() const { return shown ? shown->position : index; }

    friend bool operator==(const IconOrigin& a, const IconOrigin& b)
    {
        const bool sameShown = a.shown && b.shown ? *a.shown == *b.shown : a.shown == b.shown;
        return a.path == b.path && a.index == b.index && a.members == b.members && sameShown;
    }
};

} // namespace gb
