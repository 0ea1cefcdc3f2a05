#include "core/imagefiles/gray.h"

#include "core/imagefiles/bmp_writer.h"

namespace gb {

RgbaImage grayImage(const RgbaImage& image)
{
    RgbaImage out = image;
    for (Rgba& p : out.pixels()) {
        const std::uint8_t v = cltogry(p.r, p.g, p.b);
        p = Rgba{v, v, v, p.a};
    }
    return out;
}

RgbaImage grayOnButtonFace(const RgbaImage& icon)
{
    return grayImage(composeOver(icon, kButtonFace));
}

} // namespace gb
