#pragma once
// .ani files, Windows' animated cursors: a RIFF "ACON" form with its header
// (anih), the time of each step (rate), the frame of each step (seq ) and
// the frames as .cur files (LIST fram).

#include "core/cursors/cursor.h"
#include "core/cursors/cursor_write_error.h"

#include <cstddef>
#include <expected>
#include <vector>

namespace gb {

// Milliseconds as the jiffies of 1/60 s an ANI file counts, rounded to
// nearest; never 0, which would leave a step no time at all.
int jiffiesOfMilliseconds(int ms);

// Every frame (as encodeCur writes it), step and delay of the cursor, and
// its title and author when it has them. A static cursor makes an ANI file
// of one step.
std::expected<std::vector<std::byte>, CursorWriteError> encodeAni(const Cursor& cursor);

} // namespace gb
