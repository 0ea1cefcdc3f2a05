#include "core/icons/decode_memo.h"

#include "core/icons/icon_image.h"
#include "core/icons/resample.h"

#include <algorithm>

namespace gb {

std::uint64_t DecodeMemo::budgetFor(std::uint64_t fileSize)
{
    return std::max(kMinPixels, fileSize * kPixelsPerFileByte);
}

bool DecodeMemo::charge(std::uint64_t pixels)
{
    const std::lock_guard lock(mutex_);
    if (pixels > pixelsLeft_)
        return false;
    pixelsLeft_ -= pixels;
    return true;
}

std::optional<RgbaImage> DecodeMemo::draw(const GroupEntry& entry, int size)
{
    const Key key = entry.place();
    const ByteReader& image = *entry.image;
    const std::lock_guard lock(mutex_);
    if (failed_.contains(key))
        return std::nullopt;
    const auto known =
        std::ranges::find_if(drawings_, [&](const Drawing& d) { return d.key == key && d.size == size; });
    if (known != drawings_.end())
        return known->image;

    const auto header = probeIconImage(image);
    if (!header) {
        failed_.insert(key);
        return std::nullopt;
    }
    const auto pixels =
        static_cast<std::uint64_t>(header->width) * static_cast<std::uint64_t>(header->height);
    if (pixels > pixelsLeft_)
        return std::nullopt; // not the image's fault: it is not marked failed
    pixelsLeft_ -= pixels;
    ++decodes_;
    auto decoded = decodeIconImage(image);
    if (!decoded) {
        failed_.insert(key);
        return std::nullopt;
    }
    drawings_.push_back(Drawing{key, size, resampleImage(*decoded, size, size)});
    if (drawings_.size() > kRememberedDrawings)
        drawings_.pop_front();
    return drawings_.back().image;
}

} // namespace gb
