#include "core/cursors/cursor_sizes.h"

#include "core/icons/icon_image.h"
#include "core/icons/resample.h"

#include <algorithm>
#include <map>

namespace gb {

namespace {

int sideOf(const CursorImage& image)
{
    return std::max(image.pixels.width(), image.pixels.height());
}

// A PNG image holds 32-bit colour whatever its header says.
int depthOf(const CursorImage& image)
{
    return image.png ? 32 : image.bitCount;
}

// The frame's best image of each side: the one of most colours, the first
// stored among equals. Images without pixels are not drawable and left out.
std::map<int, const CursorImage*> bestBySide(const CursorFrame& frame)
{
    std::map<int, const CursorImage*> best;
    for (const CursorImage& image : frame.images) {
        if (image.pixels.empty())
            continue;
        auto [it, inserted] = best.try_emplace(sideOf(image), &image);
        if (!inserted && depthOf(image) > depthOf(*it->second))
            it->second = &image;
    }
    return best;
}

// Half up, in integers: value * to / from.
int scaled(int value, int to, int from)
{
    return static_cast<int>((static_cast<long long>(value) * to * 2 + from) / (2LL * from));
}

SizedCursorImage atSize(const std::map<int, const CursorImage*>& images, int size)
{
    if (auto stored = images.find(size); stored != images.end()) {
        const CursorImage& image = *stored->second;
        return {size, std::clamp(image.hotspotX, 0, image.pixels.width() - 1),
                std::clamp(image.hotspotY, 0, image.pixels.height() - 1), image.pixels, false};
    }
    // Shrinking keeps the detail a larger image holds; growing the largest
    // is the best there is when none is larger.
    auto larger = images.lower_bound(size);
    const CursorImage& source = larger != images.end() ? *larger->second : *images.rbegin()->second;
    const int from = sideOf(source);
    const int width = std::max(1, scaled(source.pixels.width(), size, from));
    const int height = std::max(1, scaled(source.pixels.height(), size, from));
    return {size, std::clamp(scaled(source.hotspotX, width, source.pixels.width()), 0, width - 1),
            std::clamp(scaled(source.hotspotY, height, source.pixels.height()), 0, height - 1),
            resampleImage(source.pixels, width, height), true};
}

} // namespace

std::expected<SizedCursor, CursorWriteError> cursorAtSizes(const Cursor& cursor, std::vector<int> sizes)
{
    if (cursor.frames.empty())
        return std::unexpected(CursorWriteError::NoImage);
    SizedCursor out;
    out.steps = cursor.steps;
    out.delaysMs = cursor.delaysMs;
    if (out.steps.empty()) {
        for (std::size_t f = 0; f < cursor.frames.size(); ++f)
            out.steps.push_back(static_cast<int>(f));
        out.delaysMs.assign(out.steps.size(), cursor.delaysMs.empty() ? 0 : cursor.delaysMs.front());
    }
    if (out.steps.size() != out.delaysMs.size())
        return std::unexpected(CursorWriteError::BadSequence);
    for (int step : out.steps)
        if (step < 0 || static_cast<std::size_t>(step) >= cursor.frames.size())
            return std::unexpected(CursorWriteError::BadSequence);

    std::vector<std::map<int, const CursorImage*>> frames;
    for (const CursorFrame& frame : cursor.frames) {
        frames.push_back(bestBySide(frame));
        if (frames.back().empty())
            return std::unexpected(CursorWriteError::NoImage);
    }
    if (sizes.empty()) {
        sizes.assign(kDesktopCursorSizes.begin(), kDesktopCursorSizes.end());
        // Every frame at every size any frame stores, so each size of the
        // animation has all its steps.
        // A stored image larger than any cursor a desktop shows serves as
        // the source of the others only.
        for (const auto& frame : frames)
            for (const auto& [side, image] : frame)
                if (side <= kMaxIconSide)
                    sizes.push_back(side);
    }
    for (int size : sizes)
        if (size < 1 || size > kMaxIconSide)
            return std::unexpected(CursorWriteError::BadSize);
    std::ranges::sort(sizes);
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    out.sizes = sizes;

    for (const auto& frame : frames) {
        std::vector<SizedCursorImage> images;
        images.reserve(sizes.size());
        for (int size : sizes)
            images.push_back(atSize(frame, size));
        out.frames.push_back(std::move(images));
    }
    return out;
}

} // namespace gb
