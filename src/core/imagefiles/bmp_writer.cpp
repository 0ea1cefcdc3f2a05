#include "core/imagefiles/bmp_writer.h"

#include "core/imagefiles/byte_writer.h"

namespace gb {

namespace {
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 3780; // 96 dpi

std::uint8_t blend(std::uint8_t fg, std::uint8_t bg, std::uint8_t alpha)
{
    return static_cast<std::uint8_t>((fg * alpha + bg * (255 - alpha) + 127) / 255);
}
} // namespace

RgbaImage composeOver(const RgbaImage& image, Rgba background)
{
    RgbaImage out(image.width(), image.height());
    for (std::size_t i = 0; i < image.pixels().size(); ++i) {
        const Rgba& p = image.pixels()[i];
        out.pixels()[i] = Rgba{blend(p.r, background.r, p.a), blend(p.g, background.g, p.a),
                               blend(p.b, background.b, p.a), 255};
    }
    return out;
}

std::vector<std::byte> encodeBmp24(const RgbaImage& image)
{
    const auto w = static_cast<std::uint32_t>(image.width());
    const auto h = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = (w * 3 + 3) / 4 * 4;
    const std::uint32_t pixelBytes = stride * h;

    ByteWriter out;
    out.u8('B');
    out.u8('M');
    out.u32(kFileHeaderSize + kInfoHeaderSize + pixelBytes);
    out.u32(0);
    out.u32(kFileHeaderSize + kInfoHeaderSize);
    out.u32(kInfoHeaderSize);
    out.i32(image.width());
    out.i32(image.height()); // positive: bottom-up
    out.u16(1);
    out.u16(24);
    out.u32(0); // BI_RGB
    out.u32(pixelBytes);
    out.i32(kPixelsPerMetre);
    out.i32(kPixelsPerMetre);
    out.u32(0);
    out.u32(0);
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgba& p = image.at(x, y);
            out.u8(p.b);
            out.u8(p.g);
            out.u8(p.r);
        }
        out.zeros(stride - w * 3);
    }
    return out.take();
}

std::vector<std::byte> encodeIconBmp(const RgbaImage& icon)
{
    return encodeBmp24(composeOver(icon, kButtonFace));
}

} // namespace gb
