#pragma once
// A stored PNG image that can be the thumbnail as it is, byte for byte:
// re-encoding an image that already has the size asked only costs time.

#include "core/bytes/byte_reader.h"

#include <cstddef>
#include <optional>
#include <span>

namespace gb::thumbnailer {

// The PNG's bytes up to the end of its IEND chunk, when a viewer shows
// them as the engine draws them: a well-formed chunk list, at most 8 bits
// a sample, and none of the chunks the engine does not draw by (a gamma or
// chromaticities other than sRGB's, a colour profile, animation). Whether
// the image data decodes is not checked here.
std::optional<std::span<const std::byte>> plainPngBytes(const ByteReader& png);

} // namespace gb::thumbnailer
