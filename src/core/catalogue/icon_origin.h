#pragma once
// Where a catalogued icon came from, read back from its image key, so that
// its stored images can be read again at their own sizes.

#include <optional>
#include <string>
#include <string_view>

namespace gb {

struct IconOrigin {
    std::string path; // the bytes the walk passed, untrimmed
    int index = 0;    // the icon's position in the file, from 0
};

// nullopt for a text that is not path + "(" + index + ")".
std::optional<IconOrigin> iconOrigin(std::string_view key);

} // namespace gb
