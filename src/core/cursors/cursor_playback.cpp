#include "core/cursors/cursor_playback.h"

#include <algorithm>
#include <cstdlib>

namespace gb {

namespace {

// The image of `frame` closest to the one wanted: the same size and depth,
// else the same size, else the nearest size (the first of equals).
std::optional<int> matchingImage(const CursorFrame& frame, const WantedCursorImage& wanted)
{
    if (frame.images.empty())
        return std::nullopt;
    const auto sameSize = [&](const CursorImage& image) {
        return image.width == wanted.width && image.height == wanted.height;
    };
    const auto indexOf = [&](auto it) { return static_cast<int>(it - frame.images.begin()); };
    if (const auto it = std::ranges::find_if(
            frame.images,
            [&](const CursorImage& image) { return sameSize(image) && image.bitCount == wanted.bitCount; });
        it != frame.images.end())
        return indexOf(it);
    if (const auto it = std::ranges::find_if(frame.images, sameSize); it != frame.images.end())
        return indexOf(it);
    const auto distance = [&](const CursorImage& image) {
        return std::abs(std::max(image.width, image.height) - std::max(wanted.width, wanted.height));
    };
    return indexOf(std::ranges::min_element(frame.images, {}, distance));
}

std::size_t stepCount(const Cursor& cursor)
{
    return std::max<std::size_t>(cursor.steps.size(), 1);
}

} // namespace

bool cursorPlays(const Cursor& cursor)
{
    return cursor.steps.size() > 1;
}

int nextCursorStep(const Cursor& cursor, int step)
{
    return static_cast<int>((static_cast<std::size_t>(std::max(step, 0)) + 1) % stepCount(cursor));
}

std::optional<CursorStepView> cursorStepView(const Cursor& cursor, int step, const WantedCursorImage& wanted)
{
    const std::size_t at = static_cast<std::size_t>(std::max(step, 0)) % stepCount(cursor);
    // A cursor without steps shows its first frame, as a static one does.
    const int frame = at < cursor.steps.size() ? cursor.steps[at] : 0;
    if (frame < 0 || static_cast<std::size_t>(frame) >= cursor.frames.size())
        return std::nullopt;
    const CursorFrame& images = cursor.frames[static_cast<std::size_t>(frame)];
    const auto image = matchingImage(images, wanted);
    if (!image)
        return std::nullopt;
    const CursorImage& shown = images.images[static_cast<std::size_t>(*image)];
    CursorStepView view;
    view.step = static_cast<int>(at);
    view.frame = frame;
    view.image = *image;
    view.hotspotX = shown.hotspotX;
    view.hotspotY = shown.hotspotY;
    if (cursorPlays(cursor)) {
        const int stored = at < cursor.delaysMs.size() ? cursor.delaysMs[at] : 0;
        view.delayMs = std::max(stored, kShortestStepMs);
    }
    return view;
}

int cursorPreviewScale(int width, int height, int side)
{
    // The largest enlargement worth having: beyond it a small cursor's
    // pixels stop reading as a cursor.
    constexpr int kLargestScale = 8;
    const int longest = std::max(width, height);
    if (longest <= 0)
        return 1;
    return std::clamp(side / longest, 1, kLargestScale);
}

PreviewPoint hotspotMarkAt(const CursorStepView& view, int scale)
{
    // The centre of the enlarged pixel: (x + 1/2) * scale, rounded down.
    return {(2 * view.hotspotX + 1) * scale / 2, (2 * view.hotspotY + 1) * scale / 2};
}

} // namespace gb
