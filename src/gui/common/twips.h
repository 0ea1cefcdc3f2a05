#pragma once
// Window layouts are given in twips, 15 to the pixel on an ordinary display.

#include <QRect>

namespace gb::ui {

constexpr int twips(int value)
{
    return value / 15;
}

// A control's rectangle from its left, top, width and height in twips.
constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace gb::ui
