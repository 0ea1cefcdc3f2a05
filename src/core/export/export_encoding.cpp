#include "core/export/export_encoding.h"

#include "core/imagefiles/bmp_writer.h"
#include "core/imagefiles/gray.h"
#include "core/imagefiles/ico_writer.h"
#include "core/imagefiles/png_writer.h"

namespace gb {

std::vector<std::byte> encodeBatchIcon(const RgbaImage& icon, BatchKind kind, bool gray)
{
    if (kind == BatchKind::Bmp)
        return gray ? encodeBmp24(grayOnButtonFace(icon)) : encodeIconBmp(icon);
    return encodeIco(gray ? grayImage(icon) : icon);
}

std::expected<std::vector<std::byte>, std::string> encodeIconAs(const RgbaImage& icon, BatchKind kind,
                                                                bool gray)
{
    if (kind != BatchKind::Png)
        return encodeBatchIcon(icon, kind, gray);
    auto png = encodePng(gray ? grayImage(icon) : icon);
    if (!png)
        return std::unexpected(png.error());
    return std::move(*png);
}

} // namespace gb
