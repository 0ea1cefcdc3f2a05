#pragma once
// Lossless RGBA PNG files (the command-line tool's png export).

#include "platform/icons/rgba_image.h"

#include <cstddef>
#include <expected>
#include <string>
#include <vector>

namespace gb {

std::expected<std::vector<std::byte>, std::string> encodePng(const RgbaImage& image);

} // namespace gb
