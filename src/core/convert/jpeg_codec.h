#pragma once
// JPEG through libjpeg-turbo: decoding through the TurboJPEG API, which
// keeps libjpeg's setjmp/longjmp error handling on its own side, encoding
// through libjpeg (jpeg_encoder.cpp), as cjpeg does. Every failure comes back
// here as a return value.

#include "core/convert/codec_types.h"

#include <expected>
#include <memory>
#include <span>

namespace gb::convert {

class JpegBytes {
public:
    JpegBytes() = default;
    JpegBytes(unsigned char* data, unsigned long size);

    std::span<const std::byte> bytes() const;

private:
    struct Free {
        void operator()(unsigned char* data) const;
    };
    std::unique_ptr<unsigned char, Free> data_;
    unsigned long size_ = 0;
};

// The JPEG cjpeg writes at `quality` (1 to 100): 4:2:0, or grayscale for
// gray rows; baseline from 24 up, 16-bit quantisation tables below; the
// density in its JFIF header.
std::expected<JpegBytes, CodecFailure> encodeJpeg(const PixelRows& rows, int quality,
                                                  const JfifDensity& density = {});

struct JpegInfo {
    int width = 0;
    int height = 0;
    bool gray = false; // one component
    bool cmyk = false; // four components, CMYK or YCCK (Adobe)
};

std::expected<JpegInfo, CodecFailure> probeJpeg(std::span<const std::byte> file,
                                                const CodecLimits& limits = {});

// Decodes the image `probeJpeg` described into `out`, row by row `stride`
// bytes apart, bottom row first when `bottomUp`. `layout` is Bgr, or Gray
// for a gray image. A damaged scan (a truncated file, say) is refused with
// CONVERT_DAMAGED, even where libjpeg only warns and would fill in gray.
std::expected<void, CodecFailure> decodeJpeg(std::span<const std::byte> file, const JpegInfo& info,
                                             PixelLayout layout, std::uint8_t* out, std::size_t stride,
                                             bool bottomUp);

} // namespace gb::convert
