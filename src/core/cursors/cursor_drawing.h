#pragma once
// A stored cursor image (a DIB or a PNG, without its hot spot) drawn as
// straight RGBA. Where Windows inverts the screen under a pixel (AND mask
// 1, colour not black), no single colour can stand for it; such a pixel is
// drawn opaque black and each transparent pixel among its eight
// neighbours opaque white, an outline that shows on any background (the
// I-beam and the crosshair are drawn this way).

#include "core/bytes/byte_reader.h"
#include "core/bytes/read_error.h"
#include "core/icons/rgba_image.h"

#include <expected>

namespace gb {

std::expected<RgbaImage, ReadFailure> drawCursorImage(const ByteReader& stored);

} // namespace gb
