// The window grabber's arithmetic: clamping the target to the screen, where
// the frame goes, the viewer's scroll bars, and the screen's pixel formats.

#include "core/capture/capture_geometry.h"
#include "core/capture/viewer_layout.h"
#include "system/x11/x11_pixels.h"

#include <QtTest>

#include <cstdint>
#include <vector>

using namespace gb::capture;

namespace {

constexpr ScreenSize kScreen{1024, 768};

QString show(const ScreenRect& r)
{
    return QStringLiteral("(%1,%2)-(%3,%4)").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

QStringList show(const std::vector<ScreenRect>& rects)
{
    QStringList out;
    for (const ScreenRect& r : rects)
        out << show(r);
    return out;
}

// A viewer whose window inside is `scaleWidth` × `scaleHeight` twips and
// whose picture is `pictureWidth` × `pictureHeight` twips.
ViewerLayout fitted(int scaleWidth, int scaleHeight, int pictureWidth, int pictureHeight)
{
    ViewerLayout layout;
    layout.picBmp.width = pictureWidth;
    layout.picBmp.height = pictureHeight;
    fitViewer(layout, scaleWidth, scaleHeight);
    return layout;
}

RawPixels pixelsOf(ScreenRect area, int stride, std::vector<std::uint8_t> bytes)
{
    RawPixels p;
    p.area = area;
    p.stride = stride;
    p.bytes = std::move(bytes);
    return p;
}

} // namespace

class CaptureLogicTest : public QObject {
    Q_OBJECT

private slots:
    void WindowInsideTheScreenKeepsItsRectangle();
    void MaximisedWindowStartingAboveTheScreenIsGrabbedFromTheCorner();
    void EdgesBeyondTheScreenAreCutBack();
    void WindowWhollyLeftOfTheScreenComesOutEmpty();
    void WindowWhollyRightOfTheScreenComesOutEmpty();

    void FrameLiesJustOutsideTheTarget();
    void FrameGoesInsideAtTheScreenEdges();
    void FrameOfATinyTargetAtTheCornerLeavesOutEmptyBands();
    void EmptyTargetHasNoFrame();
    void FrameBandsNeverOverlap();

    void OpeningSizeShowsNoBar();
    void PictureExactlyAsWideAsTheViewportShowsTheBarWithMax60();
    void PictureOnePixelNarrowerHidesTheBar();
    void PictureNarrowerByLessThanTheBordersShowsNoBar();
    void BarsTakeTheirPlaceBesideTheViewport();
    void LargeChangeIsAThirdOfTheViewport();
    void ViewportOfTwoTwipsOrLessScrollsOnePixelAPage();
    void NegativeViewportSizeKeepsThePreviousSize();
    void MaxBeyondSixteenBitsKeepsThePreviousMaxAndTheRestRuns();
    void LargeChangeBeyondSixteenBitsKeepsThePreviousValue();
    void HidingABarKeepsItsValueAndTheOffset();
    void ShowingABarPutsThePictureBackAtTheEdge();
    void ScrollingShiftsThePicture();

    void ThirtyTwoBitPixelsDecodeLeastSignificantFirst();
    void ThirtyTwoBitPixelsDecodeMostSignificantFirst();
    void SixteenBitPixelsStretchToEightBitColours();
    void TwentyFourBitPixelsWithPaddedRowsDecode();
    void OnlyTrueColourFormatsAreReadable();
    void ShortPixelDataIsIncomplete();
    void OverlapIsCopiedWhereTheAreasMeet();
    void InvertingTurnsEveryColourOver();
};

// ---- clamping -------------------------------------------------------------------

void CaptureLogicTest::WindowInsideTheScreenKeepsItsRectangle()
{
    QCOMPARE(show(clampToScreen({100, 50, 300, 200}, kScreen)), show({100, 50, 300, 200}));
}

void CaptureLogicTest::MaximisedWindowStartingAboveTheScreenIsGrabbedFromTheCorner()
{
    QCOMPARE(show(clampToScreen({-8, -8, 1032, 776}, kScreen)), show({0, 0, 1024, 768}));
}

void CaptureLogicTest::EdgesBeyondTheScreenAreCutBack()
{
    QCOMPARE(show(clampToScreen({900, 700, 1200, 900}, kScreen)), show({900, 700, 1024, 768}));
}

void CaptureLogicTest::WindowWhollyLeftOfTheScreenComesOutEmpty()
{
    // Left and top are raised to 0 but right stays: the width is negative.
    const ScreenRect r = clampToScreen({-500, 10, -100, 200}, kScreen);
    QCOMPARE(show(r), show({0, 10, -100, 200}));
    QVERIFY(r.width() <= 0);
    QVERIFY(r.empty());
}

void CaptureLogicTest::WindowWhollyRightOfTheScreenComesOutEmpty()
{
    const ScreenRect r = clampToScreen({1100, 10, 1300, 200}, kScreen);
    QCOMPARE(show(r), show({1100, 10, 1024, 200}));
    QVERIFY(r.empty());
}

// ---- the frame --------------------------------------------------------------------

void CaptureLogicTest::FrameLiesJustOutsideTheTarget()
{
    const QStringList expected = {show({97, 47, 303, 50}), show({97, 200, 303, 203}),
                                  show({97, 50, 100, 200}), show({300, 50, 303, 200})};
    QCOMPARE(show(frameBands({100, 50, 300, 200}, kScreen)), expected);
}

void CaptureLogicTest::FrameGoesInsideAtTheScreenEdges()
{
    // A maximised window: no room outside on any side.
    const QStringList whole = {show({0, 0, 1024, 3}), show({0, 765, 1024, 768}), show({0, 3, 3, 765}),
                               show({1021, 3, 1024, 765})};
    QCOMPARE(show(frameBands({0, 0, 1024, 768}, kScreen)), whole);
    // Two pixels from the left edge is too little room: inside there only.
    const QStringList nearLeft = {show({2, 47, 303, 50}), show({2, 200, 303, 203}), show({2, 50, 5, 200}),
                                  show({300, 50, 303, 200})};
    QCOMPARE(show(frameBands({2, 50, 300, 200}, kScreen)), nearLeft);
}

void CaptureLogicTest::FrameOfATinyTargetAtTheCornerLeavesOutEmptyBands()
{
    const QStringList expected = {show({0, 0, 5, 3}), show({0, 3, 5, 5})};
    QCOMPARE(show(frameBands({0, 0, 2, 2}, kScreen)), expected);
}

void CaptureLogicTest::EmptyTargetHasNoFrame()
{
    QVERIFY(frameBands({0, 10, -100, 200}, kScreen).empty());
    QVERIFY(frameBands({1100, 10, 1200, 200}, kScreen).empty());
    QVERIFY(frameBands({5, 5, 5, 9}, kScreen).empty());
}

void CaptureLogicTest::FrameBandsNeverOverlap()
{
    const ScreenRect targets[] = {{100, 50, 300, 200},    {0, 0, 1024, 768}, {0, 0, 1, 1},      {1, 1, 4, 4},
                                  {1020, 760, 1024, 768}, {3, 3, 9, 4},      {500, 0, 501, 768}};
    for (const ScreenRect& target : targets) {
        const auto bands = frameBands(target, kScreen);
        for (std::size_t i = 0; i < bands.size(); ++i) {
            QVERIFY2(!bands[i].empty(), qPrintable(show(target)));
            QVERIFY2(intersected(bands[i], {0, 0, kScreen.width, kScreen.height}) == bands[i],
                     qPrintable(show(target)));
            for (std::size_t j = i + 1; j < bands.size(); ++j)
                QVERIFY2(intersected(bands[i], bands[j]).empty(), qPrintable(show(target)));
        }
    }
}

// ---- the viewer -------------------------------------------------------------------

void CaptureLogicTest::OpeningSizeShowsNoBar()
{
    ViewerLayout layout;
    fitViewer(layout, 9345, 5895);
    QCOMPARE(layout.picScroll, (TwipsBox{1590, 0, 7500, 5625}));
    QVERIFY(!layout.hScroll.visible);
    QVERIFY(!layout.vScroll.visible);
}

void CaptureLogicTest::PictureExactlyAsWideAsTheViewportShowsTheBarWithMax60()
{
    const ViewerLayout layout = fitted(9345, 5895, 7500, 1500);
    QVERIFY(layout.hScroll.visible);
    QCOMPARE(layout.hScroll.max, 60);
    QCOMPARE(layout.hScroll.value, 0);
    QCOMPARE(layout.hScroll.smallChange, 15);
    QVERIFY(!layout.vScroll.visible);
}

void CaptureLogicTest::PictureOnePixelNarrowerHidesTheBar()
{
    QVERIFY(!fitted(9345, 5895, 7485, 1500).hScroll.visible);
    QVERIFY(!fitted(9345, 5895, 1500, 5610).vScroll.visible);
    QVERIFY(fitted(9345, 5895, 1500, 5625).vScroll.visible);
}

void CaptureLogicTest::PictureNarrowerByLessThanTheBordersShowsNoBar()
{
    // 45 twips narrower: its last columns sit under the viewport's border.
    QVERIFY(!fitted(9345, 5895, 7455, 1500).hScroll.visible);
}

void CaptureLogicTest::BarsTakeTheirPlaceBesideTheViewport()
{
    const ViewerLayout layout = fitted(12000, 8000, 30000, 30000);
    QCOMPARE(layout.picScroll, (TwipsBox{1590, 0, 10155, 7730}));
    QCOMPARE(layout.hScroll.box, (TwipsBox{1575, 7730, 10155, 270}));
    QCOMPARE(layout.vScroll.box, (TwipsBox{11745, 0, 270, 7730}));
    QCOMPARE(layout.hScroll.max, 30000 - 10155 + 60);
    QCOMPARE(layout.vScroll.max, 30000 - 7730 + 60);
}

void CaptureLogicTest::LargeChangeIsAThirdOfTheViewport()
{
    const ViewerLayout layout = fitted(12000, 8000, 30000, 30000);
    QCOMPARE(layout.hScroll.largeChange, 10155 / 3);
    QCOMPARE(layout.vScroll.largeChange, 7730 / 3);
    QCOMPARE(layout.vScroll.smallChange, 15);
}

void CaptureLogicTest::ViewportOfTwoTwipsOrLessScrollsOnePixelAPage()
{
    const ViewerLayout layout = fitted(1847, 272, 3000, 3000);
    QCOMPARE(layout.picScroll.width, 2);
    QCOMPARE(layout.picScroll.height, 2);
    QCOMPARE(layout.hScroll.largeChange, 15);
    QCOMPARE(layout.vScroll.largeChange, 15);
    QCOMPARE(fitted(1848, 5895, 3000, 3000).hScroll.largeChange, 1);
}

void CaptureLogicTest::NegativeViewportSizeKeepsThePreviousSize()
{
    ViewerLayout layout = fitted(9345, 5895, 3825, 2805);
    fitViewer(layout, 1000, 200);
    QCOMPARE(layout.picScroll.width, 7500);
    QCOMPARE(layout.picScroll.height, 5625);
    QCOMPARE(layout.hScroll.box.width, 7500);
    QCOMPARE(layout.vScroll.box.height, 5625);
}

void CaptureLogicTest::MaxBeyondSixteenBitsKeepsThePreviousMaxAndTheRestRuns()
{
    ViewerLayout layout = fitted(9345, 5895, 20000, 1500);
    QCOMPARE(layout.hScroll.max, 20000 - 7500 + 60);
    layout.hScroll.value = 900;
    layout.picBmp.left = -900;
    layout.picBmp.width = 7500 + 32767; // Max would be 32827
    fitViewer(layout, 9345, 5895);
    QCOMPARE(layout.hScroll.max, 20000 - 7500 + 60);
    QVERIFY(layout.hScroll.visible);
    QCOMPARE(layout.hScroll.value, 0);
    QCOMPARE(layout.picBmp.left, 0);
    QCOMPARE(layout.hScroll.largeChange, 2500);
    // A Max of exactly 32767 is still taken.
    QCOMPARE(fitted(9345, 5895, 7500 + 32707, 1500).hScroll.max, 32767);
}

void CaptureLogicTest::LargeChangeBeyondSixteenBitsKeepsThePreviousValue()
{
    ViewerLayout layout = fitted(9345, 5895, 200000, 1500);
    QCOMPARE(layout.hScroll.largeChange, 2500);
    fitViewer(layout, 100200 + 1845, 5895); // a third of 100200 is 33400
    QCOMPARE(layout.hScroll.largeChange, 2500);
}

void CaptureLogicTest::HidingABarKeepsItsValueAndTheOffset()
{
    ViewerLayout layout = fitted(9345, 5895, 12000, 9000);
    scrollHorizontally(layout, 600);
    scrollVertically(layout, 300);
    fitViewer(layout, 20000, 15000); // now the picture fits
    QVERIFY(!layout.hScroll.visible);
    QVERIFY(!layout.vScroll.visible);
    QCOMPARE(layout.hScroll.value, 600);
    QCOMPARE(layout.vScroll.value, 300);
    QCOMPARE(layout.picBmp.left, -600);
    QCOMPARE(layout.picBmp.top, -300);
}

void CaptureLogicTest::ShowingABarPutsThePictureBackAtTheEdge()
{
    ViewerLayout layout = fitted(9345, 5895, 12000, 9000);
    scrollHorizontally(layout, 600);
    scrollVertically(layout, 300);
    fitViewer(layout, 9000, 5000);
    QCOMPARE(layout.hScroll.value, 0);
    QCOMPARE(layout.vScroll.value, 0);
    QCOMPARE(layout.picBmp.left, 0);
    QCOMPARE(layout.picBmp.top, 0);
}

void CaptureLogicTest::ScrollingShiftsThePicture()
{
    ViewerLayout layout = fitted(9345, 5895, 12000, 9000);
    scrollHorizontally(layout, 4560);
    QCOMPARE(layout.picBmp.left, -4560);
    QCOMPARE(layout.picBmp.top, 0);
    scrollVertically(layout, 15);
    QCOMPARE(layout.picBmp.top, -15);
}

// ---- screen pixels ------------------------------------------------------------

void CaptureLogicTest::ThirtyTwoBitPixelsDecodeLeastSignificantFirst()
{
    const PixelFormat format; // 32 bits, least significant byte first, 8-8-8
    // Two pixels a row and a padding word; blue, green, red, unused.
    const RawPixels pixels =
        pixelsOf({10, 20, 12, 22}, 12, {0x01, 0x02, 0x03, 0x00, 0xff, 0x80, 0x00, 0xee, 0, 0, 0, 0, //
                                        0x00, 0x00, 0xff, 0x00, 0x10, 0x20, 0x30, 0x00, 0, 0, 0, 0});
    QVERIFY(isReadable(format));
    QVERIFY(isComplete(pixels, format));
    const gb::RgbaImage image = decodePixels(pixels, format);
    QCOMPARE(image.width(), 2);
    QCOMPARE(image.height(), 2);
    QVERIFY(image.at(0, 0) == (gb::Rgba{3, 2, 1, 255}));
    QVERIFY(image.at(1, 0) == (gb::Rgba{0, 128, 255, 255}));
    QVERIFY(image.at(0, 1) == (gb::Rgba{255, 0, 0, 255}));
    QVERIFY(image.at(1, 1) == (gb::Rgba{0x30, 0x20, 0x10, 255}));
}

void CaptureLogicTest::ThirtyTwoBitPixelsDecodeMostSignificantFirst()
{
    PixelFormat format;
    format.mostSignificantFirst = true;
    const RawPixels pixels = pixelsOf({0, 0, 1, 1}, 4, {0x00, 0x11, 0x22, 0x33});
    QVERIFY(decodePixels(pixels, format).at(0, 0) == (gb::Rgba{0x11, 0x22, 0x33, 255}));
}

void CaptureLogicTest::SixteenBitPixelsStretchToEightBitColours()
{
    PixelFormat format;
    format.bitsPerPixel = 16;
    format.redMask = 0xf800;
    format.greenMask = 0x07e0;
    format.blueMask = 0x001f;
    // White, pure red and a middle green, least significant byte first.
    const RawPixels pixels = pixelsOf({0, 0, 3, 1}, 6, {0xff, 0xff, 0x00, 0xf8, 0x00, 0x04});
    const gb::RgbaImage image = decodePixels(pixels, format);
    QVERIFY(image.at(0, 0) == (gb::Rgba{255, 255, 255, 255}));
    QVERIFY(image.at(1, 0) == (gb::Rgba{255, 0, 0, 255}));
    QCOMPARE(int(image.at(2, 0).g), (32 * 255 + 31) / 63);
}

void CaptureLogicTest::TwentyFourBitPixelsWithPaddedRowsDecode()
{
    PixelFormat format;
    format.bitsPerPixel = 24;
    const RawPixels pixels = pixelsOf({0, 0, 1, 2}, 4, {0x01, 0x02, 0x03, 0xaa, 0x04, 0x05, 0x06, 0xbb});
    const gb::RgbaImage image = decodePixels(pixels, format);
    QVERIFY(image.at(0, 0) == (gb::Rgba{3, 2, 1, 255}));
    QVERIFY(image.at(0, 1) == (gb::Rgba{6, 5, 4, 255}));
}

void CaptureLogicTest::OnlyTrueColourFormatsAreReadable()
{
    PixelFormat palette;
    palette.bitsPerPixel = 8;
    QVERIFY(!isReadable(palette));
    PixelFormat noMasks;
    noMasks.redMask = noMasks.greenMask = noMasks.blueMask = 0;
    QVERIFY(!isReadable(noMasks));
    PixelFormat split;
    split.redMask = 0xf00f00;
    QVERIFY(!isReadable(split));
    PixelFormat deep; // 10 bits a colour
    deep.redMask = 0x3ff00000;
    deep.greenMask = 0x000ffc00;
    deep.blueMask = 0x000003ff;
    QVERIFY(isReadable(deep));
}

void CaptureLogicTest::ShortPixelDataIsIncomplete()
{
    const PixelFormat format;
    QVERIFY(!isComplete(pixelsOf({0, 0, 2, 2}, 8, std::vector<std::uint8_t>(15)), format));
    QVERIFY(!isComplete(pixelsOf({0, 0, 2, 2}, 4, std::vector<std::uint8_t>(16)), format));
    QVERIFY(!isComplete(pixelsOf({0, 0, 0, 2}, 8, std::vector<std::uint8_t>(16)), format));
    QVERIFY(isComplete(pixelsOf({0, 0, 2, 2}, 8, std::vector<std::uint8_t>(16)), format));
}

void CaptureLogicTest::OverlapIsCopiedWhereTheAreasMeet()
{
    PixelFormat format;
    format.bitsPerPixel = 16;
    format.redMask = 0xf800;
    format.greenMask = 0x07e0;
    format.blueMask = 0x001f;
    // A 3×2 area at (10, 10) and a 2×2 one at (12, 11): they share (12, 11).
    RawPixels into = pixelsOf({10, 10, 13, 12}, 6, std::vector<std::uint8_t>(12, 0));
    const RawPixels from = pixelsOf({12, 11, 14, 13}, 4, {1, 2, 3, 4, 5, 6, 7, 8});
    copyOverlap(into, from, format);
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2};
    QVERIFY(into.bytes == expected);
    // Areas that do not meet leave the pixels alone.
    RawPixels apart = pixelsOf({0, 0, 2, 2}, 4, std::vector<std::uint8_t>(8, 9));
    copyOverlap(apart, from, format);
    QVERIFY(apart.bytes == std::vector<std::uint8_t>(8, 9));
}

void CaptureLogicTest::InvertingTurnsEveryColourOver()
{
    const PixelFormat format;
    const RawPixels pixels = pixelsOf({0, 0, 2, 1}, 8, {0x00, 0x00, 0x00, 0x00, 0x10, 0x80, 0xff, 0x00});
    const gb::RgbaImage image = decodePixels(inverted(pixels), format);
    QVERIFY(image.at(0, 0) == (gb::Rgba{255, 255, 255, 255}));
    QVERIFY(image.at(1, 0) == (gb::Rgba{0x00, 0x7f, 0xef, 255}));
}

QTEST_GUILESS_MAIN(CaptureLogicTest)
#include "capture_logic_uitest.moc"
