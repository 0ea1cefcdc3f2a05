#include "system/x11/x11_pixels.h"

#include "core/pixels/channel_mask.h"
#include <bit>
#include <cstring>

namespace gb::capture {

namespace {

// X visuals describe channels of up to 16 bits.
bool isMaskRun(std::uint32_t mask)
{
    const ChannelMask channel(mask);
    return mask != 0 && channel.contiguous() && channel.bits() <= 16;
}

std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask)
{
    return ChannelMask(mask).scale(pixel);
}

std::uint32_t readPixel(const std::uint8_t* at, int bytes, bool mostSignificantFirst)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        const int index = mostSignificantFirst ? i : bytes - 1 - i;
        value = (value << 8) | at[index];
    }
    return value;
}

} // namespace

bool isReadable(const PixelFormat& format)
{
    const bool depthKnown =
        format.bitsPerPixel == 16 || format.bitsPerPixel == 24 || format.bitsPerPixel == 32;
    return depthKnown && isMaskRun(format.redMask) && isMaskRun(format.greenMask) &&
           isMaskRun(format.blueMask);
}

bool isComplete(const RawPixels& pixels, const PixelFormat& format)
{
    const ScreenRect& a = pixels.area;
    if (a.empty() || pixels.stride <= 0)
        return false;
    const auto rowBytes =
        static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(format.bytesPerPixel());
    const auto stride = static_cast<std::size_t>(pixels.stride);
    return rowBytes <= stride && stride * static_cast<std::size_t>(a.height()) <= pixels.bytes.size();
}

RgbaImage decodePixels(const RawPixels& pixels, const PixelFormat& format)
{
    const int width = pixels.area.width();
    const int height = pixels.area.height();
    const int bytes = format.bytesPerPixel();
    RgbaImage image(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row =
            pixels.bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t value =
                readPixel(row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bytes), bytes,
                          format.mostSignificantFirst);
            image.at(x, y) = {channel(value, format.redMask), channel(value, format.greenMask),
                              channel(value, format.blueMask), 255};
        }
    }
    return image;
}

void copyOverlap(RawPixels& into, const RawPixels& from, const PixelFormat& format)
{
    const ScreenRect common = intersected(into.area, from.area);
    if (common.empty())
        return;
    const auto bytes = static_cast<std::size_t>(format.bytesPerPixel());
    const auto rowBytes = static_cast<std::size_t>(common.width()) * bytes;
    for (int y = common.top; y < common.bottom; ++y) {
        const auto target =
            static_cast<std::size_t>(y - into.area.top) * static_cast<std::size_t>(into.stride) +
            static_cast<std::size_t>(common.left - into.area.left) * bytes;
        const auto source =
            static_cast<std::size_t>(y - from.area.top) * static_cast<std::size_t>(from.stride) +
            static_cast<std::size_t>(common.left - from.area.left) * bytes;
        std::memcpy(into.bytes.data() + target, from.bytes.data() + source, rowBytes);
    }
}

RawPixels inverted(RawPixels pixels)
{
    for (std::uint8_t& byte : pixels.bytes)
        byte = static_cast<std::uint8_t>(~byte);
    return pixels;
}

} // namespace gb::capture
