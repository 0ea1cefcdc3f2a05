#pragma once
// Where a catalogued icon came from, as data: the file's path bytes as the
// walk passed them and the icon's position in the file. The key text that
// the status line and the lists show is made from it, never read back.

#include <string>

namespace gb {

struct IconOrigin {
    std::string path; // the bytes the walk passed, untrimmed
    int index = 0;    // the icon's position in the file, from 0

    // path + "(" + index + ")"
    std::string key() const;
    // The path as the lists show it: without leading and trailing spaces.
    std::string shownPath() const;

    friend bool operator==(const IconOrigin&, const IconOrigin&) = default;
};

} // namespace gb
