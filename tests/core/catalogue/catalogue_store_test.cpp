#include "core/catalogue/catalogue_store.h"
#include "core/catalogue/file_icons.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

FoundIcon icon(std::string path, int index)
{
    return FoundIcon{
        IconOrigin{std::move(path), index}, RgbaImage(32, 32), RgbaImage(16, 16), {}, {}, {}, {}};
}

TEST(CatalogueStore, RowsShowImagesInOrderAndKeepTheirReferencesAfterRemoval)
{
    CatalogueStore store;
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(store.add({"/t/app.exe", i}, RgbaImage(32, 32), RgbaImage(16, 16)));
    store.buildRows();
    ASSERT_EQ(store.rows().size(), 5u);
    store.removeRows({1, 3});
    ASSERT_EQ(store.rows().size(), 3u);
    EXPECT_EQ(store.rows()[0].icon, 0u);
    EXPECT_EQ(store.rows()[1].icon, 2u);
    EXPECT_EQ(store.rows()[2].icon, 4u);
    EXPECT_EQ(store.imageCount(), 5u); // images stay
    EXPECT_EQ(store.image(2).key(), "/t/app.exe(2)");
}

TEST(CatalogueStore, AFileReachedTwiceIsNotCataloguedTwice)
{
    CatalogueStore store;
    EXPECT_EQ(addFileIcons(store, {icon("/a.exe", 0), icon("/a.exe", 1)}), 2u);
    EXPECT_EQ(addFileIcons(store, {icon("/a.exe", 0), icon("/a.exe", 1)}), 0u);
    EXPECT_EQ(store.imageCount(), 2u);
}

TEST(CatalogueStore, ResetEmptiesImagesRowsAndKeys)
{
    CatalogueStore store;
    store.add({"/a.exe", 0}, RgbaImage(32, 32), RgbaImage(16, 16));
    store.buildRows();
    store.reset();
    EXPECT_EQ(store.imageCount(), 0u);
    EXPECT_TRUE(store.rows().empty());
    EXPECT_TRUE(store.add({"/a.exe", 0}, RgbaImage(32, 32), RgbaImage(16, 16)));
}

struct KeyCase {
    IconOrigin origin;
    const char* key;
    const char* path; // as the lists show it
};

class Keys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Keys, AreMadeFromTheOriginAndShowItsPathTrimmed)
{
    EXPECT_EQ(GetParam().origin.key(), GetParam().key);
    EXPECT_EQ(GetParam().origin.shownPath(), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Origins, Keys,
                         ::testing::Values(KeyCase{{"/t/app.exe", 2}, "/t/app.exe(2)", "/t/app.exe"},
                                           KeyCase{{"/Program Files (x86)/app.exe", 2},
                                                   "/Program Files (x86)/app.exe(2)",
                                                   "/Program Files (x86)/app.exe"},
                                           KeyCase{{"/t/a(1).exe", 10}, "/t/a(1).exe(10)", "/t/a(1).exe"},
                                           KeyCase{{" /t/x.exe ", 0}, " /t/x.exe (0)", "/t/x.exe"}));

TEST(CatalogueTexts, RowTexts)
{
    EXPECT_EQ(rowText(2), "Icon 3");
}

} // namespace
} // namespace gb
