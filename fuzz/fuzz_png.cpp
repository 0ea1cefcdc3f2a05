// PNG icon entries, drawn at both icon sizes and shrunk as they are decoded,
// and checked for being written as they are as a thumbnail.
#include "core/icons/png_decoder.h"
#include "core/icons/resample.h"
#include "fuzz/fuzz_common.h"
#include "programs/thumbnailer/stored_png.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto image = gb::fuzz::readerOf(data, size);
    (void)gb::probePng(image);
    (void)gb::thumbnailer::plainPngBytes(image);
    const auto decoded = gb::decodePng(image);
    // The quick check and the full decode must agree.
    if (gb::pngDecodes(image) != decoded.has_value())
        std::abort();
    // Shrinking rows as they are decoded must give what shrinking the
    // whole image gives, and fail where the whole decode fails.
    const auto scaled = gb::decodePngScaled(image, 1, 1);
    if (scaled.has_value() != decoded.has_value())
        std::abort();
    if (decoded) {
        (void)gb::resampleImage(*decoded, gb::kLargeIconSize, gb::kLargeIconSize);
        (void)gb::resampleImage(*decoded, gb::kSmallIconSize, gb::kSmallIconSize);
        if (*scaled != gb::resampleImage(*decoded, 1, 1))
            std::abort();
        const int w = decoded->width(), h = decoded->height();
        if (w % 2 == 0 && h % 2 == 0) {
            const auto half = gb::decodePngScaled(image, w / 2, h / 2);
            if (!half || *half != gb::resampleImage(*decoded, w / 2, h / 2))
                std::abort();
        }
    }
    return 0;
}
