// BMP files, as libconvert's bmptojpg reads them: decoded, then every row
// read and compressed to JPEG. The last input byte picks the quality.
#include "core/convert/bmp_decoder.h"
#include "core/convert/jpeg_codec.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // 4 million pixels keep one run well inside the fuzzer's memory limit.
    gb::convert::CodecLimits limits;
    limits.maxPixels = std::uint64_t{1} << 22;
    const auto file = std::as_bytes(std::span(data, size));
    const auto decoded = gb::convert::decodeBmp(file, limits);
    if (!decoded)
        return 0;
    // Touch every byte of every row, so a row that reaches past its buffer
    // shows even where the encoder would not look.
    const auto& rows = decoded->rows;
    unsigned sum = 0;
    const auto rowBytes = static_cast<std::size_t>(rows.width) *
                          static_cast<std::size_t>(gb::convert::bytesPerPixel(rows.layout));
    for (int y = 0; y < rows.height; ++y)
        for (std::size_t i = 0; i < rowBytes; ++i)
            sum += rows.row(y)[i];
    const int quality = size > 0 ? data[size - 1] % 100 + 1 : 75;
    if (rows.width <= 2048 && rows.height <= 2048)
        (void)gb::convert::encodeJpeg(rows, quality);
    [[maybe_unused]] static volatile unsigned sink; // keeps the reads from being optimised away
    sink = sum;
    return 0;
}
