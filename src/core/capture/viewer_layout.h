#pragma once
// The viewer's resize arithmetic: the viewport follows the window, and each
// scroll bar shows only when the picture does not fit across (or down) the
// viewport. Everything is in twips, 15 to the pixel, as the window's layout
// is given. No Qt here, so the arithmetic is tested on its own.

namespace gb::capture {

// The classic scroll bar keeps Value, Max, SmallChange and LargeChange in 16
// bits: a setting beyond this is refused and the old value stays.
inline constexpr int kScrollLimit = 32767;

struct TwipsBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipsBox&, const TwipsBox&) = default;
};

struct ScrollBarState {
    TwipsBox box;
    bool visible = true;
    int value = 0;
    int max = kScrollLimit;
    int smallChange = 1;
    int largeChange = 1;
    friend bool operator==(const ScrollBarState&, const ScrollBarState&) = default;
};

// The controls the resize handling moves, as the window is designed.
struct ViewerLayout {
    TwipsBox picScroll{1590, 0, 5220, 4920};
    TwipsBox picBmp{0, 0, 3825, 2805}; // inside the viewport; left and top follow the bars
    ScrollBarState hScroll{{1575, 4920, 1245, 270}};
    ScrollBarState vScroll{{6810, 0, 270, 1245}};
    friend bool operator==(const ViewerLayout&, const ViewerLayout&) = default;
};

// The layout steps of the resize handling for a window whose inside measures
// scaleWidth × scaleHeight twips. Each step that the classic controls would
// refuse (a negative size, a value beyond 16 bits) is skipped and the next
// one runs.
void fitViewer(ViewerLayout& layout, int scaleWidth, int scaleHeight);

// Scrolling: a bar's value is how far the picture is shifted left or up.
void scrollHorizontally(ViewerLayout& layout, int value);
void scrollVertically(ViewerLayout& layout, int value);

} // namespace gb::capture
