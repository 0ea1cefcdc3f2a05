#include "core/capture/viewer_layout.h"

namespace gb::capture {

namespace {

// What the window keeps beside and below the viewport: the button frame on
// the left and the vertical bar on the right, the horizontal bar below.
constexpr int kWidthTaken = 1845;
constexpr int kHeightTaken = 270;
// The viewport's border, 2 pixels (30 twips) on each side: scrolled to the
// end, the picture's far edge meets the border's inner edge.
constexpr int kBorders = 60;
constexpr int kTwipsPerPixel = 15;

bool fitsScrollProperty(int value)
{
    return value >= 0 && value <= kScrollLimit;
}

// Steps 6 and 7 of the resize handling, for one bar. `viewport` and `picture`
// are the sizes across the bar's direction.
void fitBar(ScrollBarState& bar, int& pictureOffset, int viewport, int picture)
{
    if (viewport > picture) {
        // Hiding keeps the value and the picture's offset as they are.
        bar.visible = false;
        return;
    }
    bar.visible = true;
    bar.value = 0;
    pictureOffset = 0;
    if (const int max = picture - viewport + kBorders; fitsScrollProperty(max))
        bar.max = max;
    if (const int large = viewport / 3; fitsScrollProperty(large))
        bar.largeChange = large;
    bar.smallChange = kTwipsPerPixel;
    if (bar.largeChange == 0)
        bar.largeChange = bar.smallChange;
}

} // namespace

void fitViewer(ViewerLayout& layout, int scaleWidth, int scaleHeight)
{
    if (const int width = scaleWidth - kWidthTaken; width >= 0)
        layout.picScroll.width = width;
    if (const int height = scaleHeight - kHeightTaken; height >= 0)
        layout.picScroll.height = height;

    layout.hScroll.box.top = layout.picScroll.height;
    layout.hScroll.box.width = layout.picScroll.width;
    layout.vScroll.box.left = layout.picScroll.left + layout.picScroll.width;
    layout.vScroll.box.height = layout.picScroll.height;

    fitBar(layout.hScroll, layout.picBmp.left, layout.picScroll.width, layout.picBmp.width);
    fitBar(layout.vScroll, layout.picBmp.top, layout.picScroll.height, layout.picBmp.height);
}

void scrollHorizontally(ViewerLayout& layout, int value)
{
    layout.hScroll.value = value;
    layout.picBmp.left = -value;
}

void scrollVertically(ViewerLayout& layout, int value)
{
    layout.vScroll.value = value;
    layout.picBmp.top = -value;
}

} // namespace gb::capture
