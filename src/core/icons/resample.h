#pragma once
// Scaling an icon image to the size it is drawn at. Windows stretches with
// nearest neighbour; we average areas when shrinking and interpolate
// bilinearly when growing, each axis on its own, in premultiplied alpha so
// transparent pixels lend no colour to their neighbours.

#include "core/icons/rgba_image.h"

#include <cstdint>
#include <span>
#include <vector>

namespace gb {

RgbaImage resampleImage(const RgbaImage& source, int width, int height);

// Shrinking by whole factors (256 to 128 or 32, 48 to 16), the common case:
// each target pixel is the alpha-weighted mean of its block, summed in
// integers and rounded half up, one source row at a time, so that a large
// image can be shrunk while it is decoded.
class BlockShrinker {
public:
    // Whether the source shrinks to width x height by whole factors.
    static bool fits(int sourceWidth, int sourceHeight, int width, int height);
    BlockShrinker(int sourceWidth, int width, int height, int rowsPerBlock);
    // The next source row, top first; it holds sourceWidth pixels.
    void addRow(std::span<const Rgba> row);
    RgbaImage take() { return std::move(out_); }

private:
    int across_, rowsPerBlock_;
    int rowsIn_ = 0;
    std::vector<std::uint64_t> sums_; // r, g, b, each times alpha, and alpha, per target pixel
    RgbaImage out_;
};

} // namespace gb
