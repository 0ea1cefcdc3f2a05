// Every Xcursor file these tests write is loaded by libXcursor itself, the
// reader X11 and Wayland desktops use, and compared with the cursor.
#include "core/cursors/xcursor_writer.h"

#include "support/cursor_builder.h"
#include "support/temp_folder.h"
#include "support/xcursor_themes.h"

#include <gtest/gtest.h>

#include "support/libxcursor.h" // after GoogleTest

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace gb {
namespace {

using test::animatedCursor;
using test::patternImage;
using test::staticCursor;

struct ImagesDeleter {
    void operator()(XcursorImages* images) const { XcursorImagesDestroy(images); }
};
using LoadedImages = std::unique_ptr<XcursorImages, ImagesDeleter>;

std::vector<std::byte> xcursorOf(const Cursor& cursor, std::vector<int> sizes = {})
{
    auto sized = cursorAtSizes(cursor, std::move(sizes));
    EXPECT_TRUE(sized);
    auto bytes = encodeXcursor(*sized);
    EXPECT_TRUE(bytes);
    return bytes.value_or(std::vector<std::byte>{});
}

LoadedImages load(const std::string& path, int size)
{
    return LoadedImages(XcursorFilenameLoadImages(path.c_str(), size));
}

// What an X server composites with: each colour times alpha, rounded.
XcursorPixel premultiplied(Rgba p)
{
    auto times = [&](std::uint8_t c) { return static_cast<XcursorPixel>(std::lround(c * p.a / 255.0)); };
    return XcursorPixel{p.a} << 24 | times(p.r) << 16 | times(p.g) << 8 | times(p.b);
}

void expectImage(const XcursorImage& loaded, const SizedCursorImage& image, int delay)
{
    EXPECT_EQ(static_cast<int>(loaded.size), image.size);
    ASSERT_EQ(static_cast<int>(loaded.width), image.pixels.width());
    ASSERT_EQ(static_cast<int>(loaded.height), image.pixels.height());
    EXPECT_EQ(static_cast<int>(loaded.xhot), image.hotspotX);
    EXPECT_EQ(static_cast<int>(loaded.yhot), image.hotspotY);
    EXPECT_EQ(static_cast<int>(loaded.delay), delay);
    const std::vector<Rgba>& pixels = image.pixels.pixels();
    for (std::size_t i = 0; i < pixels.size(); ++i)
        ASSERT_EQ(loaded.pixels[i], premultiplied(pixels[i])) << "pixel " << i;
}

TEST(XcursorWriter, LibXcursorLoadsEverySizeOfAStaticCursor)
{
    test::TempFolder folder;
    const Cursor cursor = staticCursor({patternImage(32, 5, 9), patternImage(64, 10, 18, 7)});
    const auto sized = cursorAtSizes(cursor).value();
    const std::string path = folder.write("arrow", encodeXcursor(sized).value());
    ASSERT_EQ(sized.sizes, (std::vector<int>{24, 32, 48, 64}));
    for (std::size_t s = 0; s < sized.sizes.size(); ++s) {
        SCOPED_TRACE(sized.sizes[s]);
        LoadedImages images = load(path, sized.sizes[s]);
        ASSERT_TRUE(images);
        ASSERT_EQ(images->nimage, 1);
        expectImage(*images->images[0], sized.frames[0][s], 0);
    }
}

TEST(XcursorWriter, LibXcursorPlaysEveryStepWithItsDelayFramesRepeated)
{
    test::TempFolder folder;
    const Cursor cursor =
        animatedCursor({CursorFrame{{patternImage(32, 1, 2, 1)}}, CursorFrame{{patternImage(32, 3, 4, 2)}},
                        CursorFrame{{patternImage(32, 5, 6, 3)}}},
                       {0, 1, 2, 1, 0}, {100, 50, 200, 17, 33});
    const auto sized = cursorAtSizes(cursor).value();
    const std::string path = folder.write("wait", encodeXcursor(sized).value());
    for (std::size_t s = 0; s < sized.sizes.size(); ++s) {
        SCOPED_TRACE(sized.sizes[s]);
        LoadedImages images = load(path, sized.sizes[s]);
        ASSERT_TRUE(images);
        ASSERT_EQ(images->nimage, 5);
        for (std::size_t step = 0; step < cursor.steps.size(); ++step)
            expectImage(*images->images[step], sized.frames[static_cast<std::size_t>(cursor.steps[step])][s],
                        cursor.delaysMs[step]);
    }
}

TEST(XcursorWriter, AnimationStepOfNoTimeIsGivenAMillisecond)
{
    test::TempFolder folder;
    const Cursor cursor =
        animatedCursor({CursorFrame{{patternImage(32, 0, 0, 1)}}, CursorFrame{{patternImage(32, 0, 0, 2)}}},
                       {0, 1}, {0, 40});
    const std::string path = folder.write("busy", xcursorOf(cursor, {32}));
    LoadedImages images = load(path, 32);
    ASSERT_TRUE(images);
    ASSERT_EQ(images->nimage, 2);
    EXPECT_EQ(images->images[0]->delay, 1u);
    EXPECT_EQ(images->images[1]->delay, 40u);
}

TEST(XcursorWriter, HotspotStoredOutsideTheImageIsWrittenInsideSoLibXcursorLoadsIt)
{
    test::TempFolder folder;
    CursorImage image = patternImage(32, 0, 0);
    image.hotspotX = 32; // one past the edge, which an X server refuses
    image.hotspotY = 500;
    const std::string path = folder.write("text", xcursorOf(staticCursor({image}), {32}));
    LoadedImages images = load(path, 32);
    ASSERT_TRUE(images);
    EXPECT_EQ(images->images[0]->xhot, 31u);
    EXPECT_EQ(images->images[0]->yhot, 31u);
}

TEST(XcursorWriter, NonSquareImageKeepsItsShapeAndItsLargerSideAsNominalSize)
{
    test::TempFolder folder;
    test::DibRecipe recipe = test::patternRecipe(32, 4);
    recipe.height = 16;
    const Cursor cursor = staticCursor({test::cursorImageOf(recipe, 31, 15)});
    const std::string path = folder.write("wide", xcursorOf(cursor, {32, 48}));
    LoadedImages images = load(path, 48);
    ASSERT_TRUE(images);
    EXPECT_EQ(images->images[0]->size, 48u);
    EXPECT_EQ(images->images[0]->width, 48u);
    EXPECT_EQ(images->images[0]->height, 24u);
    EXPECT_EQ(images->images[0]->xhot, 47u);
    EXPECT_EQ(images->images[0]->yhot, 23u);
}

TEST(XcursorWriter, InconsistentSizedCursorIsRefused)
{
    SizedCursor sized = cursorAtSizes(staticCursor({patternImage(32, 0, 0)}), {32}).value();
    sized.steps = {1};
    EXPECT_EQ(encodeXcursor(sized).error(), CursorWriteError::BadSequence);
    sized.steps = {0};
    sized.sizes.push_back(48);
    EXPECT_EQ(encodeXcursor(sized).error(), CursorWriteError::NoImage);
}

const std::filesystem::path& themesFolder()
{
    return test::xcursorThemesFolder();
}

TEST(XcursorWriter, LibXcursorFindsTheCursorOfAThemeByName)
{
    const std::filesystem::path theme = themesFolder() / "GlimmerTest";
    std::filesystem::create_directories(theme / "cursors");
    std::ofstream(theme / "index.theme") << "[Icon Theme]\nName=GlimmerTest\nInherits=default\n";
    const Cursor cursor =
        animatedCursor({CursorFrame{{patternImage(32, 4, 4, 1), patternImage(48, 6, 6, 2)}},
                        CursorFrame{{patternImage(32, 4, 4, 3), patternImage(48, 6, 6, 4)}}},
                       {0, 1}, {83, 117});
    const auto sized = cursorAtSizes(cursor).value();
    const auto bytes = encodeXcursor(sized).value();
    std::ofstream(theme / "cursors" / "left_ptr", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    for (std::size_t s = 0; s < sized.sizes.size(); ++s) {
        SCOPED_TRACE(sized.sizes[s]);
        LoadedImages images(XcursorLibraryLoadImages("left_ptr", "GlimmerTest", sized.sizes[s]));
        ASSERT_TRUE(images);
        ASSERT_EQ(images->nimage, 2);
        expectImage(*images->images[0], sized.frames[0][s], 83);
        expectImage(*images->images[1], sized.frames[1][s], 117);
    }
}

} // namespace
} // namespace gb
