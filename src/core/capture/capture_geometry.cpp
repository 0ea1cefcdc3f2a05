#include "core/capture/capture_geometry.h"

#include <algorithm>

namespace gb::capture {

ScreenRect intersected(const ScreenRect& a, const ScreenRect& b)
{
    const ScreenRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                       std::min(a.bottom, b.bottom)};
    return r.empty() ? ScreenRect{} : r;
}

ScreenRect clampToScreen(ScreenRect rect, ScreenSize screen)
{
    if (rect.left < 0)
        rect.left = 0;
    if (rect.top < 0)
        rect.top = 0;
    if (screen.width < rect.right)
        rect.right = screen.width;
    if (screen.height < rect.bottom)
        rect.bottom = screen.height;
    return rect;
}

std::vector<ScreenRect> frameBands(const ScreenRect& target, ScreenSize screen)
{
    const ScreenRect visible = intersected(target, {0, 0, screen.width, screen.height});
    if (visible.empty())
        return {};
    const int t = kFrameThickness;
    // The frame's outer edge: outside the target where the screen goes on.
    const ScreenRect outer{visible.left - t >= 0 ? visible.left - t : visible.left,
                           visible.top - t >= 0 ? visible.top - t : visible.top,
                           visible.right + t <= screen.width ? visible.right + t : visible.right,
                           visible.bottom + t <= screen.height ? visible.bottom + t : visible.bottom};
    const ScreenRect bands[] = {
        {outer.left, outer.top, outer.right, std::min(outer.top + t, outer.bottom)},
        {outer.left, std::max(outer.bottom - t, outer.top + t), outer.right, outer.bottom},
        {outer.left, outer.top + t, std::min(outer.left + t, outer.right), outer.bottom - t},
        {std::max(outer.right - t, outer.left + t), outer.top + t, outer.right, outer.bottom - t},
    };
    std::vector<ScreenRect> out;
    for (const ScreenRect& band : bands)
        if (!band.empty())
            out.push_back(band);
    return out;
}

} // namespace gb::capture
