#pragma once
// `glimmerbox-cli list --cursors`: one line per cursor of a file, as text
// (KEY<TAB>ENTRY32<TAB>FRAMES) or as a JSON object (--json).

#include "core/bytes/byte_source.h"
#include "core/catalogue/icon_origin.h"

#include <string>
#include <vector>

namespace gb::cli {

struct CursorListing {
    std::string lines; // one line per cursor
    int cursors = 0;
    // "KEY: REASON" for each cursor (or "PATH: REASON" for the whole file)
    // that could not be read, escaped; the cursor keeps its line ("none",
    // 0 frames) so that the others keep their numbers.
    std::vector<std::string> problems;
};

// The cursors of the file (or member) at `origin`, read from `bytes`. The
// JSON lines also tell the sizes an Xcursor file or theme of each gets
// (`sizes`, or the default when empty), and which of them are made.
CursorListing listCursors(const IconOrigin& origin, const ByteSource& bytes, bool json,
                          const std::vector<int>& sizes);

} // namespace gb::cli
