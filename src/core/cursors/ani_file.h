#pragma once
// Animated cursors (.ani files, RT_ANICURSOR and RT_ANIICON resources): a
// RIFF form of type ACON holding an 'anih' header, the frames in a
// LIST 'fram' as 'icon' chunks, and optionally a 'seq ' (the frame of each
// step), a 'rate' (each step's time in jiffies of 1/60 s) and a LIST
// 'INFO' (INAM title, IART author).
//
// Read as real packs are written, not as the format would have them:
//   - the RIFF size is not trusted (writers state it 8 bytes short, or
//     longer than the file): the chunks run to the end of the file, and a
//     chunk that claims more than is left is cut there;
//   - chunks come in any order: LIST INFO before the frames, unknown
//     chunks before 'anih', 'seq ' and 'rate' after the frames;
//   - a chunk of odd size is followed by a pad byte, and where a writer
//     left the pad out the next chunk is found without it;
//   - frames are ICO or CUR files when the 'anih' flag bit 0 is set (an
//     icon's hot spot is its centre), otherwise DIBs as a cursor resource
//     stores them, without hot spot (the centre again);
//   - without 'rate', every step takes the header's default rate.
// Refused with a reason: no 'anih', no frame, a frame that cannot be read,
// a step naming a frame the file lacks.

#include "core/bytes/byte_source.h"
#include "core/cursors/cursor.h"
#include "core/cursors/cursor_failure.h"
#include "core/cursors/cursor_image.h"

#include <expected>
#include <limits>

namespace gb {

bool looksLikeAnimatedCursor(const ByteSource& source);

std::expected<Cursor, CursorFailure> readAniFile(const ByteSource& source);
// The same within an allowance shared with other cursors of one file.
std::expected<Cursor, CursorFailure> readAniFile(const ByteSource& source, CursorAllowance& allowance);

// Jiffies (1/60 s) to milliseconds, rounded to nearest; a rate past what
// an int holds (over 24 days) is held at the largest.
constexpr int jiffiesToMs(std::uint32_t jiffies)
{
    const std::uint64_t ms = (std::uint64_t{jiffies} * 1000 + 30) / 60;
    return ms > std::uint64_t{std::numeric_limits<int>::max()} ? std::numeric_limits<int>::max()
                                                               : static_cast<int>(ms);
}

} // namespace gb
