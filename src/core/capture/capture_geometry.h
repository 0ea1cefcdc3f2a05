#pragma once
// Screen rectangles of the window grabber, in pixels: the rule that cuts the
// target's rectangle back to the screen, and where the highlight frame goes.
// No Qt and no X11 here.

#include <cstdint>
#include <vector>

namespace gb::capture {

// As a Windows RECT holds it: right and bottom are one past the last pixel.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return width() <= 0 || height() <= 0; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ScreenSize&, const ScreenSize&) = default;
};

// The part of both rectangles; empty (all zero) when they do not meet.
ScreenRect intersected(const ScreenRect& a, const ScreenRect& b);

// The target's rectangle as the grab uses it: left and top no less than 0,
// right and bottom no more than the screen's width and height. Left and top
// are not compared with the screen's size, nor right and bottom with 0, so a
// window wholly off the screen comes out with a width or height of 0 or less.
ScreenRect clampToScreen(ScreenRect rect, ScreenSize screen);

// The highlight frame is this many pixels thick.
inline constexpr int kFrameThickness = 3;

// The bands of the frame around `target`: top, bottom, left, right, each
// kFrameThickness wide. A band lies just outside the target wherever the
// screen has room for it, so that taking the frame away never uncovers a
// pixel of the grab; at a screen edge it lies just inside. Bands that would
// be empty are left out; none for an empty target.
std::vector<ScreenRect> frameBands(const ScreenRect& target, ScreenSize screen);

} // namespace gb::capture
