#include "core/export/batch_names.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

struct NameCase {
    const char* prefix;
    BatchKind kind;
    int n;
    const char* expected;
};

class BatchNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(BatchNames, AreThePrefixAsTypedThenKindAndNumber)
{
    const NameCase& c = GetParam();
    EXPECT_EQ(batchFileName(c.prefix, c.kind, c.n), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, BatchNames,
                         ::testing::Values(NameCase{"a", BatchKind::Ico, 7, "a_Icon7.ico"},
                                           NameCase{"a", BatchKind::Bmp, 7, "a_bmp7.bmp"},
                                           NameCase{"ab c", BatchKind::Ico, 1, "ab c_Icon1.ico"},
                                           NameCase{" ", BatchKind::Ico, 1, " _Icon1.ico"},
                                           NameCase{"a", BatchKind::Ico, 10,
                                                    "a_Icon10.ico"}, // numbers are not padded
                                           NameCase{"icon", BatchKind::Png, 3, "icon_png3.png"},
                                           NameCase{"icon", BatchKind::OriginalGroup, 2, "icon_group2.ico"},
                                           NameCase{"图标", BatchKind::Ico, 1, "图标_Icon1.ico"}));

TEST(BatchPrefix, SlashNulAndDotFoldersAreRefusedAndEmptyIsMissing)
{
    EXPECT_EQ(checkPrefix(""), PrefixProblem::Empty);
    EXPECT_EQ(checkPrefix("../x"), PrefixProblem::LeavesFolder);
    EXPECT_EQ(checkPrefix("/etc/x"), PrefixProblem::LeavesFolder);
    EXPECT_EQ(checkPrefix(std::string_view("a\0b", 3)), PrefixProblem::LeavesFolder);
    EXPECT_EQ(checkPrefix(".."), PrefixProblem::LeavesFolder);
    EXPECT_EQ(checkPrefix("."), PrefixProblem::LeavesFolder);
    EXPECT_EQ(checkPrefix("..a"), std::nullopt);
    EXPECT_EQ(checkPrefix(" "), std::nullopt);
}

TEST(BatchPrefix, JoiningNeverDoublesTheSeparator)
{
    EXPECT_EQ(joinPath("/out", "a_Icon1.ico"), "/out/a_Icon1.ico");
    EXPECT_EQ(joinPath("/out/", "a_Icon1.ico"), "/out/a_Icon1.ico");
    EXPECT_EQ(joinPath("/", "a_Icon1.ico"), "/a_Icon1.ico");
}

} // namespace
} // namespace gb
