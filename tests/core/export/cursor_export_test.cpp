#include "core/export/cursor_export.h"

#include "core/cursors/ani_writer.h"
#include "core/cursors/cur_writer.h"
#include "support/cursor_builder.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

using test::animatedCursor;
using test::patternImage;
using test::staticCursor;

std::vector<std::string> pathsOf(const std::vector<PreparedExportFile>& files)
{
    std::vector<std::string> paths;
    for (const PreparedExportFile& file : files)
        paths.push_back(file.file.path);
    return paths;
}

Cursor animated()
{
    return animatedCursor(
        {CursorFrame{{patternImage(32, 1, 1, 1)}}, CursorFrame{{patternImage(32, 2, 2, 2)}}}, {0, 1},
        {50, 100});
}

struct NamingCase {
    const char* name;
    CursorFileFormat format;
    bool animated;
    std::vector<int> sizes;
    std::vector<std::string> paths;
};

TEST(CursorExport, EachFormatNamesItsFilesAfterTheCursorsNumber)
{
    const NamingCase cases[] = {
        {"cur, static", CursorFileFormat::Cur, false, {}, {"out/P_cursor7.cur"}},
        {"cur, animated", CursorFileFormat::Cur, true, {}, {"out/P_cursor7.ani"}},
        {"ani, static", CursorFileFormat::Ani, false, {}, {"out/P_cursor7.ani"}},
        {"ani, animated", CursorFileFormat::Ani, true, {}, {"out/P_cursor7.ani"}},
        {"xcursor", CursorFileFormat::Xcursor, true, {}, {"out/P_cursor7"}},
        {"png, default sizes",
         CursorFileFormat::Png,
         false,
         {},
         {"out/P_cursor7_24x24.png", "out/P_cursor7_32x32.png", "out/P_cursor7_48x48.png"}},
        {"png, sizes asked",
         CursorFileFormat::Png,
         true,
         {64, 16},
         {"out/P_cursor7_16x16.png", "out/P_cursor7_64x64.png"}},
    };
    for (const NamingCase& c : cases) {
        const Cursor cursor = c.animated ? animated() : staticCursor({patternImage(32, 3, 3)});
        const auto files =
            cursorFiles(cursor, CursorExportOptions{c.format, c.sizes, "P", "out/"}, 7, "a.ani");
        EXPECT_EQ(pathsOf(files), c.paths) << c.name;
        for (const PreparedExportFile& file : files) {
            EXPECT_TRUE(file.contents) << c.name;
            EXPECT_EQ(file.file.number, 7u);
            EXPECT_EQ(file.file.source, "a.ani");
        }
    }
}

TEST(CursorExport, CurFormatWritesTheCursorsOwnForm)
{
    const Cursor still = staticCursor({patternImage(32, 3, 3)});
    EXPECT_EQ(cursorFiles(still, {CursorFileFormat::Cur, {}, "P", "out"}, 1, "").front().contents.value(),
              encodeCur(still.frames.front()).value());
    const Cursor moving = animated();
    EXPECT_EQ(cursorFiles(moving, {CursorFileFormat::Cur, {}, "P", "out"}, 1, "").front().contents.value(),
              encodeAni(moving).value());
}

TEST(CursorExport, CursorThatCannotBeWrittenSaysWhy)
{
    const auto files = cursorFiles(Cursor{}, {CursorFileFormat::Xcursor, {}, "P", "out"}, 2, "");
    ASSERT_EQ(files.size(), 1u);
    ASSERT_FALSE(files.front().contents);
    EXPECT_EQ(files.front().contents.error(), "cannot write the cursor: no image");
    const auto badSize = cursorFiles(staticCursor({patternImage(32, 0, 0)}),
                                     {CursorFileFormat::Png, {300}, "P", "out"}, 2, "");
    ASSERT_EQ(badSize.size(), 1u);
    EXPECT_EQ(badSize.front().contents.error(), "cannot write the cursor: bad size");
}

} // namespace
} // namespace gb
