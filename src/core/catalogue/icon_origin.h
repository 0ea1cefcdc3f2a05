#pragma once
// Where a catalogued icon came from, as data: the file's path bytes as the
// walk passed them, the member it lies in when the file is a container (an
// archive, a disk image, an installer package), and the icon's position in
// the file. The key text that the status line and the lists show is made
// from it, never read back.

#include <string>
#include <utility>
#include <vector>

namespace gb {

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

    // path + "//" + each member + "(" + index + ")": "/media/cd.iso//SETUP/APP.EXE(0)".
    // Member names never hold "//" (the container walk makes them single).
    std::string key() const;
    // The path and members as the lists show them: without leading and
    // trailing spaces.
    std::string shownPath() const;
    // path and its members joined by "//", untrimmed.
    std::string memberPath() const;

    friend bool operator==(const IconOrigin&, const IconOrigin&) = default;
};

} // namespace gb
