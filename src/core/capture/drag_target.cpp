#include "core/capture/drag_target.h"

namespace gb::capture {

DragTarget aimedAt(std::uint32_t window, const ScreenRect& rect, ScreenSize screen)
{
    return {window, clampToScreen(rect, screen)};
}

std::optional<ScreenRect> areaToGrab(const DragTarget& target)
{
    if (target.window == 0 || target.rect.empty())
        return std::nullopt;
    return target.rect;
}

} // namespace gb::capture
