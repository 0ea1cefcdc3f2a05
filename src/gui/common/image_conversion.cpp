#include "gui/common/image_conversion.h"

#include <cstring>

namespace gb::ui {

QImage toQImage(const RgbaImage& image)
{
    QImage out(image.width(), image.height(), QImage::Format_RGBA8888);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(out.scanLine(y), &image.at(0, y), static_cast<std::size_t>(image.width()) * sizeof(Rgba));
    return out;
}

RgbaImage fromQImage(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGBA8888);
    RgbaImage out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(&out.at(0, y), image.constScanLine(y),
                    static_cast<std::size_t>(image.width()) * sizeof(Rgba));
    return out;
}

} // namespace gb::ui
