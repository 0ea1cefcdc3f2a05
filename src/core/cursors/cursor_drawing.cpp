#include "core/cursors/cursor_drawing.h"

#include "core/icons/dib_decoder.h"
#include "core/icons/png_decoder.h"

#include <vector>

namespace gb {

namespace {

constexpr Rgba kInvertedInk{0, 0, 0, 255};
constexpr Rgba kOutline{255, 255, 255, 255};

// Where the AND mask lies in a DIB: it ends the image, one bit a pixel,
// rows padded to 32 bits.
struct MaskPlace {
    std::uint64_t at = 0;
    std::uint64_t stride = 0;
};

std::optional<MaskPlace> maskPlace(const ByteReader& dib, int width, int height)
{
    const auto length = dibLength(dib);
    if (!length)
        return std::nullopt;
    MaskPlace place;
    place.stride = (static_cast<std::uint64_t>(width) + 31) / 32 * 4;
    const std::uint64_t bytes = place.stride * static_cast<std::uint64_t>(height);
    if (*length < bytes || !dib.fits(*length - bytes, bytes))
        return std::nullopt; // a 32-bit image stored without its mask
    place.at = *length - bytes;
    return place;
}

bool maskBit(const ByteReader& dib, const MaskPlace& mask, int height, int x, int y)
{
    // Rows are stored bottom-up.
    const std::uint64_t row = mask.at + static_cast<std::uint64_t>(height - 1 - y) * mask.stride;
    const auto ux = static_cast<std::uint64_t>(x);
    return ((dib.u8(row + ux / 8).value_or(0) >> (7 - ux % 8)) & 1) != 0;
}

// The pixels Windows inverts: mask 1 over a colour that is not black. A
// 32-bit image drawn by its alpha has none; nor has an image without mask.
std::vector<bool> invertedPixels(const ByteReader& dib, const RgbaImage& drawn)
{
    const int w = drawn.width(), h = drawn.height();
    std::vector<bool> inverted;
    const auto mask = maskPlace(dib, w, h);
    if (!mask)
        return inverted;
    // The colours under the mask: the image decoded again with its mask
    // cleared, so that every colour is kept.
    std::vector<std::byte> unmasked(dib.bytes().begin(), dib.bytes().end());
    std::fill(unmasked.begin() + static_cast<std::ptrdiff_t>(mask->at),
              unmasked.begin() +
                  static_cast<std::ptrdiff_t>(mask->at + mask->stride * static_cast<std::uint64_t>(h)),
              std::byte{0});
    const auto colours = decodeDib(ByteReader(unmasked));
    if (!colours || colours->width() != w || colours->height() != h)
        return inverted;
    // Drawn by its alpha: the plain decoding makes every pixel opaque
    // unless the image carries alpha of its own. (An image whose alpha is
    // opaque throughout is drawn opaque: no pixel of it is transparent
    // below, so none is taken as inverted.)
    for (const Rgba& p : colours->pixels())
        if (p.a != 255)
            return inverted;
    inverted.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), false);
    bool any = false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba& c = colours->at(x, y);
            if (drawn.at(x, y).a == 0 && maskBit(dib, *mask, h, x, y) && (c.r | c.g | c.b) != 0) {
                inverted[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                         static_cast<std::size_t>(x)] = true;
                any = true;
            }
        }
    if (!any)
        inverted.clear();
    return inverted;
}

void outlineInverted(RgbaImage& image, const std::vector<bool>& inverted)
{
    const int w = image.width(), h = image.height();
    const auto isInverted = [&](int x, int y) {
        return inverted[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                        static_cast<std::size_t>(x)];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (isInverted(x, y))
                image.at(x, y) = kInvertedInk;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!isInverted(x, y))
                continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || isInverted(nx, ny))
                        continue;
                    if (image.at(nx, ny).a == 0)
                        image.at(nx, ny) = kOutline;
                }
        }
}

} // namespace

std::expected<RgbaImage, ReadFailure> drawCursorImage(const ByteReader& stored)
{
    if (hasPngSignature(stored))
        return decodePng(stored);
    auto drawn = decodeDib(stored);
    if (!drawn)
        return drawn;
    const std::vector<bool> inverted = invertedPixels(stored, *drawn);
    if (!inverted.empty())
        outlineInverted(*drawn, inverted);
    return drawn;
}

} // namespace gb
