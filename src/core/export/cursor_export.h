#pragma once
// The files one cursor makes in an export, named and encoded: the rules for
// cursors live here once, for the command-line tool and whatever else
// exports cursors.
//   cur:     a static cursor as P_cursorN.cur, an animated one as
//            P_cursorN.ani (a .cur file cannot hold an animation);
//   ani:     every cursor as P_cursorN.ani, a static one of one step;
//   xcursor: P_cursorN, one Xcursor file at every size;
//   png:     P_cursorN_WxH.png, the first frame at every size.

#include "core/cursors/cursor.h"
#include "core/export/export_run.h"

#include <string>
#include <string_view>
#include <vector>

namespace gb {

enum class CursorFileFormat { Cur, Ani, Xcursor, Png };

struct CursorExportOptions {
    CursorFileFormat format = CursorFileFormat::Xcursor;
    // xcursor and png: the sizes written; empty for the sizes stored plus
    // those desktops choose by default (cursorAtSizes).
    std::vector<int> sizes;
    std::string prefix = "P";
    std::string outDir;
};

// prefix + "_cursor" + n, and what follows it for each format.
std::string cursorFileStem(std::string_view prefix, int n);

// The files cursor `n` makes, in the order they are written; `source` names
// it for the report. A cursor that cannot be written makes one file whose
// contents are the reason.
std::vector<PreparedExportFile> cursorFiles(const Cursor& cursor, const CursorExportOptions& options, int n,
                                            const std::string& source);

} // namespace gb
