#pragma once
// Cursor files (.cur: an ICO directory of type 2, whose planes and bit
// count fields hold each image's hot spot) read as cursors. An icon file
// (type 1) read as a cursor, as an animation's frame may be, takes its hot
// spot at the centre of each image.

#include "core/bytes/byte_source.h"
#include "core/cursors/cursor.h"
#include "core/cursors/cursor_failure.h"
#include "core/cursors/cursor_image.h"

#include <expected>

namespace gb {

// The images of one ICO or CUR file, in stored order. Images that cannot
// be read or drawn are left out; a frame with none is refused.
std::expected<CursorFrame, CursorFailure> readCursorFrame(const ByteSource& source,
                                                          CursorAllowance& allowance);

// A .cur file as one static cursor; an .ico file is no cursor (BadMagic).
std::expected<Cursor, CursorFailure> readCurFile(const ByteSource& source);

} // namespace gb
