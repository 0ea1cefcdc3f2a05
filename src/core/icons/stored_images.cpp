#include "core/icons/stored_images.h"

#include "core/icons/png_decoder.h"
#include "core/icons/resample.h"

#include <algorithm>
#include <numeric>

namespace gb {

namespace {

int longSide(const ImageHeader& header)
{
    return std::max(header.width, header.height);
}

long area(const ImageHeader& header)
{
    return static_cast<long>(header.width) * header.height;
}

} // namespace

std::vector<std::size_t> thumbnailCandidates(std::span<const std::optional<ImageHeader>> headers, int size)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < headers.size(); ++i)
        if (headers[i])
            order.push_back(i);
    // Images at least as large as asked come first, the smallest of them
    // leading, as the least scaling loses least; smaller ones follow, the
    // largest leading.
    const auto better = [&](std::size_t a, std::size_t b) {
        const ImageHeader& x = *headers[a];
        const ImageHeader& y = *headers[b];
        const bool xCovers = longSide(x) >= size, yCovers = longSide(y) >= size;
        if (xCovers != yCovers)
            return xCovers;
        if (area(x) != area(y))
            return xCovers ? area(x) < area(y) : area(x) > area(y);
        return x.bitDepth > y.bitDepth;
    };
    std::stable_sort(order.begin(), order.end(), better);
    return order;
}

std::vector<std::size_t> bestEntryPerSize(std::span<const std::optional<ImageHeader>> headers)
{
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < headers.size(); ++i) {
        if (!headers[i])
            continue;
        const auto same = std::find_if(chosen.begin(), chosen.end(), [&](std::size_t c) {
            return headers[c]->width == headers[i]->width && headers[c]->height == headers[i]->height;
        });
        if (same == chosen.end())
            chosen.push_back(i);
        else if (headers[i]->bitDepth > headers[*same]->bitDepth)
            *same = i; // the first of equal depth stays
    }
    return chosen;
}

namespace {

struct Size {
    int width, height;
};

// Proportions kept, neither side over `size`; an image that fits keeps its own.
Size fittedSize(int width, int height, int size)
{
    const int side = std::max(width, height);
    if (side <= size || side == 0)
        return {width, height};
    return {std::max(1, width * size / side), std::max(1, height * size / side)};
}

} // namespace

RgbaImage fitWithin(const RgbaImage& image, int size)
{
    const Size fitted = fittedSize(image.width(), image.height(), size);
    if (fitted.width == image.width() && fitted.height == image.height())
        return image;
    return resampleImage(image, fitted.width, fitted.height);
}

std::expected<RgbaImage, ReadFailure> decodeFittedWithin(const ByteReader& image, int size)
{
    if (hasPngSignature(image)) {
        const auto header = probePng(image);
        if (!header)
            return std::unexpected(header.error());
        const Size fitted = fittedSize(header->width, header->height, size);
        return decodePngScaled(image, fitted.width, fitted.height);
    }
    auto decoded = decodeIconImage(image);
    if (!decoded)
        return decoded;
    return fitWithin(*decoded, size);
}

} // namespace gb
