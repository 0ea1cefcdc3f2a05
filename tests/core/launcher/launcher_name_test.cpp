#include "core/launcher/launcher_name.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

TEST(LauncherName, SlugIsTheNameInLowerCaseWithOtherCharactersDashes)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Fixture Catalogue", "fixture-catalogue"},
        {"ABC_1.2-x", "abc_1.2-x"},
        {"Café au lait", "caf--au-lait"}, // one dash per character, not per byte
        {"日本語", "---"},
        {"a/b", "a-b"},
        {"Ship (64-bit)", "ship--64-bit-"},
        {"\xff", "-"},
    };
    for (const auto& [display, slug] : cases)
        EXPECT_EQ(launcherSlug(display), slug) << display;
}

TEST(LauncherName, DefaultNameIsCutToSixtyFourCharacters)
{
    EXPECT_EQ(kDefaultLauncherNameLength, 64u);
    EXPECT_EQ(defaultLauncherName(std::string(238, 'A')), std::string(64, 'a'));
    EXPECT_EQ(defaultLauncherName(std::string(64, 'B')), std::string(64, 'b'));
    EXPECT_EQ(defaultLauncherName("Star Ship"), "star-ship");
    // Each character becomes one byte of the slug, so the cut counts characters.
    std::string wide;
    for (int i = 0; i < 70; ++i)
        wide += "é";
    EXPECT_EQ(defaultLauncherName(wide), std::string(64, '-'));
}

TEST(LauncherName, NamesAreCheckedForFormTextAndLength)
{
    // The entry's file name is the longest written: it must fit in one
    // file name component.
    EXPECT_EQ(std::string(kLauncherFilePrefix).size() + kMaxLauncherName + kDesktopFileSuffix.size(), 255u);
    std::string longest;
    while (longest.size() + 2 <= kMaxLauncherName)
        longest += "é";
    struct Case {
        std::string name;
        std::optional<LauncherNameProblem> problem;
    };
    const Case cases[] = {
        {"ship", std::nullopt},
        {"Ship 2 (beta)", std::nullopt},
        {"日本語", std::nullopt},
        {std::string(kMaxLauncherName, 'x'), std::nullopt},
        {longest, std::nullopt},
        {"", LauncherNameProblem::Unusable},
        {".", LauncherNameProblem::Unusable},
        {"..", LauncherNameProblem::Unusable},
        {"a/b", LauncherNameProblem::Unusable},
        {"a\nb", LauncherNameProblem::Unusable},
        {std::string("a\0b", 3), LauncherNameProblem::Unusable},
        {"a\xff", LauncherNameProblem::NotUtf8},
        {"\xc3", LauncherNameProblem::NotUtf8},         // a character cut short
        {"\xed\xa0\x80", LauncherNameProblem::NotUtf8}, // a surrogate
        {std::string(kMaxLauncherName + 1, 'x'), LauncherNameProblem::TooLong},
        {longest + "é", LauncherNameProblem::TooLong},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkLauncherName(c.name), c.problem) << c.name;
}

} // namespace
} // namespace gb
