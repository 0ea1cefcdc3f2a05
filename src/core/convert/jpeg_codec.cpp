#include "core/convert/jpeg_codec.h"

#include <turbojpeg.h>

#include <cstdlib>
#include <vector>

namespace gb::convert {

namespace {

std::unexpected<CodecFailure> fail(convert_status status, const char* reason)
{
    return std::unexpected(CodecFailure{status, reason});
}

class Handle {
public:
    explicit Handle(tjhandle handle) : handle_(handle) {}
    ~Handle()
    {
        if (handle_)
            tjDestroy(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    tjhandle get() const { return handle_; }

private:
    tjhandle handle_;
};

int pixelFormat(PixelLayout layout)
{
    switch (layout) {
    case PixelLayout::Bgr: return TJPF_BGR;
    case PixelLayout::Bgrx: return TJPF_BGRX;
    case PixelLayout::Gray: return TJPF_GRAY;
    }
    return TJPF_BGR;
}

// TJFLAG_LIMITSCANS: a progressive file of thousands of tiny scans would
// otherwise keep the decoder busy for minutes.
// TJFLAG_STOPONWARNING: a damaged file is refused, so decoding the rest of
// it is wasted work.
constexpr int kDecodeFlags = TJFLAG_LIMITSCANS | TJFLAG_STOPONWARNING;

const unsigned char* data(std::span<const std::byte> file)
{
    return reinterpret_cast<const unsigned char*>(file.data());
}

// Adobe writes CMYK JPEGs inverted (0 is full ink); so does every program
// that reads them back the way Photoshop does.
void cmykToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, int width)
{
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned k = cmyk[3];
        bgr[0] = static_cast<std::uint8_t>((cmyk[2] * k + 127) / 255);
        bgr[1] = static_cast<std::uint8_t>((cmyk[1] * k + 127) / 255);
        bgr[2] = static_cast<std::uint8_t>((cmyk[0] * k + 127) / 255);
    }
}

} // namespace

JpegBytes::JpegBytes(unsigned char* data, unsigned long size) : data_(data), size_(size) {}

std::span<const std::byte> JpegBytes::bytes() const
{
    return {reinterpret_cast<const std::byte*>(data_.get()), static_cast<std::size_t>(size_)};
}

// The encoder's buffer comes from libjpeg's memory destination, which uses malloc.
void JpegBytes::Free::operator()(unsigned char* data) const
{
    std::free(data);
}

std::expected<JpegInfo, CodecFailure> probeJpeg(std::span<const std::byte> file, const CodecLimits& limits)
{
    // SOI, then the first marker's 0xFF.
    if (file.size() < 3 || file[0] != std::byte{0xFF} || file[1] != std::byte{0xD8} ||
        file[2] != std::byte{0xFF})
        return fail(CONVERT_NOT_JPEG, "no JPEG start-of-image marker");
    const Handle handle(tjInitDecompress());
    if (!handle.get())
        return fail(CONVERT_OUT_OF_MEMORY, "cannot start the JPEG decoder");

    int width = 0, height = 0, sampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(handle.get(), data(file), static_cast<unsigned long>(file.size()), &width,
                            &height, &sampling, &colourSpace) != 0)
        return fail(CONVERT_DAMAGED, "JPEG header unreadable");
    if (width <= 0 || height <= 0)
        return fail(CONVERT_DAMAGED, "JPEG size not positive");
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > limits.maxPixels)
        return fail(CONVERT_TOO_LARGE, "more pixels than the limit");
    return JpegInfo{width, height, colourSpace == TJCS_GRAY,
                    colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK};
}

std::expected<void, CodecFailure> decodeJpeg(std::span<const std::byte> file, const JpegInfo& info,
                                             PixelLayout layout, std::uint8_t* out, std::size_t stride,
                                             bool bottomUp)
{
    const Handle handle(tjInitDecompress());
    if (!handle.get())
        return fail(CONVERT_OUT_OF_MEMORY, "cannot start the JPEG decoder");
    const int flags = kDecodeFlags | (bottomUp ? TJFLAG_BOTTOMUP : 0);
    const auto size = static_cast<unsigned long>(file.size());

    // libjpeg's warnings ("premature end of data", "corrupt data") mean
    // part of the picture was made up: an image that is not the file's is
    // no conversion, so a warning fails like an error.
    const auto result = [&](int status) -> std::expected<void, CodecFailure> {
        if (status == 0)
            return {};
        if (tjGetErrorCode(handle.get()) == TJERR_WARNING)
            return fail(CONVERT_DAMAGED, "JPEG data incomplete or corrupt");
        return fail(CONVERT_DAMAGED, "JPEG data undecodable");
    };

    if (!info.cmyk)
        return result(tjDecompress2(handle.get(), data(file), size, out, info.width, static_cast<int>(stride),
                                    info.height, pixelFormat(layout), flags));

    // TurboJPEG gives CMYK only as CMYK; the conversion is ours.
    const auto width = static_cast<std::size_t>(info.width);
    std::vector<std::uint8_t> cmyk(width * 4 * static_cast<std::size_t>(info.height));
    const auto decoded = result(tjDecompress2(handle.get(), data(file), size, cmyk.data(), info.width, 0,
                                              info.height, TJPF_CMYK, kDecodeFlags));
    if (!decoded)
        return decoded;
    for (int y = 0; y < info.height; ++y) {
        const auto row = static_cast<std::size_t>(bottomUp ? info.height - 1 - y : y);
        cmykToBgr(cmyk.data() + static_cast<std::size_t>(y) * width * 4, out + row * stride, info.width);
    }
    return {};
}

} // namespace gb::convert
