#include "core/icons/icon_image.h"

#include "core/icons/dib_decoder.h"
#include "core/icons/png_decoder.h"

namespace gb {

std::expected<ImageHeader, ReadFailure> probeIconImage(const ByteReader& image)
{
    return hasPngSignature(image) ? probePng(image) : probeDib(image);
}

std::expected<RgbaImage, ReadFailure> decodeIconImage(const ByteReader& image)
{
    return hasPngSignature(image) ? decodePng(image) : decodeDib(image);
}

} // namespace gb
