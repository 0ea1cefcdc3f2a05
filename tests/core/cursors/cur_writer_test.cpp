#include "core/cursors/cur_writer.h"

#include "core/bytes/byte_reader.h"
#include "core/icons/icon_image.h"
#include "support/cursor_builder.h"
#include "support/cursor_readback.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

using test::ListedCursorImage;
using test::patternImage;

TEST(CurWriter, IcotoolListsEveryImageWithItsSizeAndHotspot)
{
    test::TempFolder folder;
    const CursorFrame frame{{patternImage(32, 5, 9), patternImage(48, 47, 0, 3),
                             test::cursorImageOf(test::patternRecipe(16, 2, 24), 0, 15)}};
    const std::string path = folder.write("arrow.cur", encodeCur(frame).value());
    EXPECT_EQ(test::icotoolList(path),
              (std::vector<ListedCursorImage>{{32, 32, 5, 9}, {48, 48, 47, 0}, {16, 16, 0, 15}}));
}

TEST(CurWriter, EveryImageIsWrittenExactlyAsStored)
{
    const CursorFrame frame{
        {patternImage(32, 1, 1), test::cursorImageOf(test::patternRecipe(32, 6, 8), 2, 2)}};
    const auto cur = encodeCur(frame).value();
    const std::span<const std::byte> bytes(cur);
    ASSERT_EQ(test::u32At(bytes, 0), 0x00020000u); // reserved 0, type 2: a cursor
    for (std::size_t i = 0; i < frame.images.size(); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::uint32_t size = test::u32At(bytes, entry + 8), offset = test::u32At(bytes, entry + 12);
        ASSERT_LE(std::size_t{offset} + size, cur.size());
        EXPECT_TRUE(std::ranges::equal(bytes.subspan(offset, size), frame.images[i].stored)) << i;
    }
}

TEST(CurWriter, ImageStoredTwiceIsWrittenOnce)
{
    const CursorImage image = patternImage(32, 3, 3);
    const auto cur = encodeCur(CursorFrame{{image, image, patternImage(48, 4, 4)}}).value();
    EXPECT_EQ(std::to_integer<int>(cur[4]), 2);
    EXPECT_EQ(cur.size(), 6 + 2 * 16 + image.stored.size() + patternImage(48, 4, 4).stored.size());
}

TEST(CurWriter, ImageWithoutStoredBytesIsWrittenFromItsPixels)
{
    test::TempFolder folder;
    CursorImage image = patternImage(24, 7, 8);
    image.stored.clear();
    const auto cur = encodeCur(CursorFrame{{image}}).value();
    EXPECT_EQ(test::icotoolList(folder.write("drawn.cur", cur)),
              (std::vector<ListedCursorImage>{{24, 24, 7, 8}}));
    const std::uint32_t offset = test::u32At(cur, 6 + 12);
    EXPECT_EQ(decodeIconImage(ByteReader(std::span<const std::byte>(cur).subspan(offset))).value(),
              image.pixels);
}

TEST(CurWriter, FrameWithoutImagesIsRefused)
{
    EXPECT_EQ(encodeCur(CursorFrame{}).error(), CursorWriteError::NoImage);
}

} // namespace
} // namespace gb
