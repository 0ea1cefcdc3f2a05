// PNG icon entries, drawn at both icon sizes.
#include "fuzz/fuzz_common.h"
#include "platform/icons/png_decoder.h"
#include "platform/icons/resample.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto image = gb::fuzz::readerOf(data, size);
    (void)gb::probePng(image);
    if (auto decoded = gb::decodePng(image)) {
        (void)gb::resampleImage(*decoded, gb::kLargeIconSize, gb::kLargeIconSize);
        (void)gb::resampleImage(*decoded, gb::kSmallIconSize, gb::kSmallIconSize);
    }
    return 0;
}
