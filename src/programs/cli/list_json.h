#pragma once
// `glimmerbox-cli list --json`: one JSON object per icon, one per line
// (JSON Lines), with what a script needs to pick icons without drawing
// them: where the icon comes from, every image its group stores, the two
// images the catalogue draws, and the program's version information.

#include "core/catalogue/icon_origin.h"
#include "core/icons/icon_source.h"

#include <string>

namespace gb::cli {

struct JsonListing {
    std::string lines; // one object and a line break per icon
    int icons = 0;
};

// Every icon of `source`, read from `origin` (a file, or a container's
// member). The stored images are read and hashed here, so a caller runs
// this on a worker.
JsonListing listJson(const IconOrigin& origin, const IconSource& source);

} // namespace gb::cli
