#include "core/cursors/cursor_png.h"

#include "core/bytes/byte_reader.h"
#include "core/icons/icon_image.h"
#include "support/cursor_builder.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

TEST(CursorPng, ShowsTheFrameOfTheFirstStepAtTheSizeAsked)
{
    const Cursor cursor = test::animatedCursor(
        {CursorFrame{{test::patternImage(32, 0, 0, 1)}}, CursorFrame{{test::patternImage(32, 0, 0, 2)}}},
        {1, 0}, {50, 50});
    const SizedCursor sized = cursorAtSizes(cursor, {24, 32}).value();
    for (std::size_t s = 0; s < sized.sizes.size(); ++s) {
        const auto png = encodeCursorPng(sized, s).value();
        EXPECT_EQ(decodeIconImage(ByteReader(png)).value(), sized.frames[1][s].pixels) << sized.sizes[s];
    }
    EXPECT_FALSE(encodeCursorPng(sized, 2));
}

} // namespace
} // namespace gb
