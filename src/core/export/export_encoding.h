#pragma once
// How one drawn icon becomes the bytes of a file, for every kind the
// program writes (the window's saves and batches, glimmerbox-cli): the rules
// live here once.
//   ICO: 32-bit with the icon's own transparency; gray grays the colour only.
//   BMP: 24-bit, the icon on the button face; gray grays the whole picture,
//        so the background stays 192.
//   PNG: lossless RGBA; gray keeps the transparency.

#include "core/export/batch_names.h"
#include "core/icons/rgba_image.h"

#include <cstddef>
#include <expected>
#include <string>
#include <vector>

namespace gb {

// ICO or BMP, which cannot fail.
std::vector<std::byte> encodeBatchIcon(const RgbaImage& icon, BatchKind kind, bool gray);

// Any drawn kind, PNG included; the reason when the encoder refuses.
std::expected<std::vector<std::byte>, std::string> encodeIconAs(const RgbaImage& icon, BatchKind kind,
                                                                bool gray);

} // namespace gb
