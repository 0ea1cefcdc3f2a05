#include "core/catalogue/icon_origin.h"

#include "core/catalogue/catalogue_store.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

TEST(IconOrigin, KeyAndShownPathComeFromThePathBytesAndIndex)
{
    const IconOrigin origin{" /tmp/Program Files (x86)/app\xff.exe ", 12};
    EXPECT_EQ(origin.key(), " /tmp/Program Files (x86)/app\xff.exe (12)");
    EXPECT_EQ(origin.shownPath(), "/tmp/Program Files (x86)/app\xff.exe");
}

// Real trees repeat one application icon in many files; the catalogue
// keeps each distinct image once, and every icon still shows its own.
TEST(CatalogueStore, IdenticalImagesAreStoredOnce)
{
    RgbaImage red(32, 32), blue(32, 32);
    for (Rgba& p : red.pixels())
        p = Rgba{200, 0, 0, 255};
    for (Rgba& p : blue.pixels())
        p = Rgba{0, 0, 200, 255};
    CatalogueStore store;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(
            store.add({"/t/app" + std::to_string(i) + ".exe", 0}, i == 7 ? blue : red, RgbaImage(16, 16)));
    EXPECT_EQ(store.imageCount(), 10u);
    EXPECT_EQ(store.distinctImages(), 3u); // red, blue, and the blank 16x16
    EXPECT_EQ(store.image(0).large, store.image(9).large);
    EXPECT_EQ(*store.image(7).large, blue);
    EXPECT_EQ(*store.image(8).large, red);
}

} // namespace
} // namespace gb
