// PNG icon entries, drawn at both icon sizes, and checked for being written
// as they are as a thumbnail.
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
    if (decoded) {
        (void)gb::resampleImage(*decoded, gb::kLargeIconSize, gb::kLargeIconSize);
        (void)gb::resampleImage(*decoded, gb::kSmallIconSize, gb::kSmallIconSize);
    }
    return 0;
}
