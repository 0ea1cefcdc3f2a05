#include "core/cursors/cursor_image.h"

#include "core/cursors/cursor_drawing.h"
#include "core/icons/icon_image.h"

#include <algorithm>

namespace gb {

namespace {

std::expected<CursorImage, ReadFailure>
makeImage(const ByteReader& stored, std::optional<std::pair<int, int>> hotspot, CursorAllowance& allowance)
{
    const auto header = probeIconImage(stored);
    if (!header)
        return std::unexpected(header.error());
    const std::uint64_t pixels =
        4 * static_cast<std::uint64_t>(header->width) * static_cast<std::uint64_t>(header->height);
    if (!allowance.charge(stored.size() + pixels))
        return std::unexpected(ReadFailure{ReadError::TooLarge, 0});
    auto drawn = drawCursorImage(stored);
    if (!drawn)
        return std::unexpected(drawn.error());

    CursorImage image;
    image.width = drawn->width();
    image.height = drawn->height();
    image.png = header->png;
    image.bitCount = header->png ? 0 : header->bitDepth;
    const auto [x, y] = hotspot.value_or(std::pair{image.width / 2, image.height / 2});
    image.hotspotX = std::clamp(x, 0, image.width - 1);
    image.hotspotY = std::clamp(y, 0, image.height - 1);
    image.pixels = std::move(*drawn);
    image.stored.assign(stored.bytes().begin(), stored.bytes().end());
    return image;
}

} // namespace

std::expected<CursorImage, ReadFailure> makeCursorImage(const ByteReader& stored, int hotspotX, int hotspotY,
                                                        CursorAllowance& allowance)
{
    return makeImage(stored, std::pair{hotspotX, hotspotY}, allowance);
}

std::expected<CursorImage, ReadFailure> makeCursorImage(const ByteReader& stored, HotspotAtCentre,
                                                        CursorAllowance& allowance)
{
    return makeImage(stored, std::nullopt, allowance);
}

} // namespace gb
