#pragma once
// JPEG through libjpeg-turbo's libjpeg API, row by row both ways: the
// decoder hands each row on as the file's data yields it, the encoder takes
// rows as they come, so a conversion never holds a picture it does not need
// and a file whose data ends early costs only the rows it held. libjpeg's
// setjmp/longjmp error handling stays inside jpeg_codec.cpp (decoding)
// and jpeg_encoder.cpp; every failure comes back here as a return value.

#include "core/convert/codec_types.h"

#include <expected>
#include <functional>
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

// Whether a picture of these sides fits in a JPEG file (kJpegMaxSide).
std::expected<void, CodecFailure> checkJpegSides(std::int64_t width, std::int64_t height);

// The JPEG cjpeg writes at `quality` (1 to 100): 4:2:0, or grayscale for
// gray rows; baseline from 24 up, 16-bit quantisation tables below; the
// density in its JFIF header. Rows go in top row first, one `write` each,
// `width` pixels of `layout`.
class JpegEncoder {
public:
    static std::expected<JpegEncoder, CodecFailure> start(int width, int height, PixelLayout layout,
                                                          int quality, const JfifDensity& density = {});
    JpegEncoder(JpegEncoder&&) noexcept;
    JpegEncoder& operator=(JpegEncoder&&) noexcept;
    ~JpegEncoder();

    std::expected<void, CodecFailure> write(const std::uint8_t* row);
    // After the last row: the whole file.
    std::expected<JpegBytes, CodecFailure> finish();

private:
    struct State;
    explicit JpegEncoder(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// The same for rows already in memory.
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

// Takes one decoded row, top row first; a failure it returns ends the
// decoding with that failure.
using JpegRowSink = std::function<std::expected<void, CodecFailure>(const std::uint8_t* row)>;

// Decodes the image `probeJpeg` described, handing `sink` each row of
// `info.width` pixels in `layout` (Bgr, or Gray for a gray image) as soon as
// it is decoded. A damaged file (a truncated one, say) is refused as
// Damaged at the first sign of it, even where libjpeg only warns and would
// fill in gray: rows already handed on are then to be dropped.
std::expected<void, CodecFailure> decodeJpeg(std::span<const std::byte> file, const JpegInfo& info,
                                             PixelLayout layout, const JpegRowSink& sink);

} // namespace gb::convert
