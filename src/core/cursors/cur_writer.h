#pragma once
// .cur files: the images of one cursor frame, each exactly as stored, with
// its hot spot in the directory.

#include "core/cursors/cursor.h"
#include "core/cursors/cursor_write_error.h"

#include <cstddef>
#include <expected>
#include <vector>

namespace gb {

// Every image of the frame in stored order, each stored image once (a
// group may name one image from many entries). An image with no stored
// bytes is written from its pixels as a 32-bit image with alpha.
std::expected<std::vector<std::byte>, CursorWriteError> encodeCur(const CursorFrame& frame);

} // namespace gb
