// Icon DIBs (colour bitmap and AND mask), drawn at both icon sizes.
#include "core/icons/dib_decoder.h"
#include "core/icons/resample.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto image = gb::fuzz::readerOf(data, size);
    (void)gb::probeDib(image);
    if (auto decoded = gb::decodeDib(image)) {
        (void)gb::resampleImage(*decoded, gb::kLargeIconSize, gb::kLargeIconSize);
        (void)gb::resampleImage(*decoded, gb::kSmallIconSize, gb::kSmallIconSize);
    }
    return 0;
}
