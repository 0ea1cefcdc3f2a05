#pragma once
// ICO files as the program writes them.

#include "core/bytes/read_error.h"
#include "core/icons/icon_group.h"
#include "core/icons/rgba_image.h"

#include <cstddef>
#include <expected>
#include <vector>

namespace gb {

// One image (up to 256x256) as a 32-bit DIB with alpha, plus an AND mask made
// from the alpha (mask set where alpha is 0), so that readers that ignore
// alpha still see the same shape. The icon's own transparency is kept: an
// opaque RGB(192,192,192) pixel stays opaque.
std::vector<std::byte> encodeIco(const RgbaImage& image);

// That image alone, as an ICO or CUR file stores it.
std::vector<std::byte> encodeIconDib(const RgbaImage& image);

// Every image of a group exactly as stored (all sizes, PNG entries too),
// as one complete ICO file, each stored image once. Entries whose image is
// missing, or that repeat an image already written, are left out; a group
// with no image at all is an error.
std::expected<std::vector<std::byte>, ReadFailure> encodeOriginalIco(const IconGroup& group);

} // namespace gb
