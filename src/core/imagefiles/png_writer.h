#pragma once
// Lossless RGBA PNG files (the command-line tool's png export).

#include "core/icons/rgba_image.h"

#include <cstddef>
#include <expected>
#include <string>
#include <vector>

namespace gb {

// Small files for keeping; quick ones for files that are read once and
// thrown away (a thumbnail, which the file manager stores in its own way).
enum class PngEffort { Small, Quick };

std::expected<std::vector<std::byte>, std::string> encodePng(const RgbaImage& image,
                                                             PngEffort effort = PngEffort::Small);

} // namespace gb
