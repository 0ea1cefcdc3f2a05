#include "core/cursortheme/theme_choice.h"

#include "support/cursor_pack_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace gb {
namespace {

using test::TempFolder;

struct Expected {
    bool guessed;
    std::string fromEnd; // how the file it came from ends
};

struct ChoiceCase {
    std::string name;
    // Makes the source in `folder`; returns its path.
    std::function<std::string(const TempFolder& folder)> source;
    std::map<CursorRole, Expected> cursors;
    std::vector<std::string> warnings; // each held by one warning
    std::vector<std::string> unplaced; // each held by one unplaced line
};

std::string fixture(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

const std::vector<std::pair<std::string, std::string>> kSchemeFiles = {
    {"Normal Select.cur", "cursors/arrow.cur"},
    {"Busy.ani", "cursors/sequenced.ani"},
    {"Link Select.cur", "cursors/hand.cur"},
    // Named by no scheme: left out when the pack has one.
    {"Move.cur", "cursors/arrow.cur"},
};

const std::map<CursorRole, Expected> kSchemeRoles = {
    {CursorRole::Arrow, {false, "/Normal Select.cur"}},
    {CursorRole::Wait, {false, "/Busy.ani"}},
    {CursorRole::Hand, {false, "/Link Select.cur"}},
};

std::vector<ChoiceCase> choiceCases()
{
    return {
        {"SchemeInEightBitText",
         [](const TempFolder& folder) {
             test::fillPack(folder, kSchemeFiles);
             folder.write("install.inf", test::textBytes(test::kPackInf));
             return folder.path().string();
         },
         kSchemeRoles,
         {"\"Help Select.cur\" for Help, which the pack lacks"},
         {}},
        {"SchemeInUtf16UnderAnyCase",
         [](const TempFolder& folder) {
             test::fillPack(folder, kSchemeFiles);
             folder.write("INSTALL.INF", test::utf16Bytes(test::kPackInf));
             return folder.path().string();
         },
         kSchemeRoles,
         {"\"Help Select.cur\" for Help, which the pack lacks"},
         {}},
        {"FolderWithoutInfGuessedFromFileNames",
         [](const TempFolder& folder) {
             test::fillPack(folder, {{"Normal Select.cur", "cursors/arrow.cur"},
                                     {"size_ns.CUR", "cursors/arrow.cur"},
                                     {"Link Select.cur", "cursors/hand.cur"},
                                     {"hand.cur", "cursors/hand.cur"},
                                     {"sparkle.ani", "cursors/plain.ani"},
                                     {"notes.txt", "cursors/arrow.cur"}});
             return folder.path().string();
         },
         {{CursorRole::Arrow, {true, "/Normal Select.cur"}},
          {CursorRole::SizeNS, {true, "/size_ns.CUR"}},
          {CursorRole::Hand, {true, "/hand.cur"}}},
         {},
         {"/sparkle.ani: no role is known by that name", "/Link Select.cur: Hand is already"}},
        {"ProgramByResourceIds",
         [](const TempFolder&) { return fixture("cursors32.exe"); },
         {{CursorRole::Arrow, {false, "cursors32.exe resource 32512"}},
          {CursorRole::Hand, {false, "cursors32.exe resource 32649"}}},
         {},
         {}},
        {"LibraryByResourceIds",
         [](const TempFolder&) { return fixture("cursors64.dll"); },
         {{CursorRole::Arrow, {false, "cursors64.dll resource 32512"}},
          {CursorRole::Hand, {false, "cursors64.dll resource 32649"}}},
         {},
         {}},
        {"ZipOfAPackWithItsInf",
         [](const TempFolder&) { return fixture("containers/cursor_pack.zip"); },
         {{CursorRole::Arrow, {false, "cursor_pack.zip//Glass Pack/Normal Select.cur"}},
          {CursorRole::Wait, {false, "cursor_pack.zip//Glass Pack/busy.ani"}},
          {CursorRole::Hand, {false, "cursor_pack.zip//Glass Pack/Link Select.cur"}}},
         {},
         {}},
    };
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool anyHolds(const std::vector<std::string>& lines, const std::string& part)
{
    return std::ranges::any_of(lines,
                               [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

class ThemeChoiceTable : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ThemeChoiceTable, EachRoleTakesTheCursorItsSourceGives)
{
    const ChoiceCase& c = GetParam();
    const TempFolder folder;
    const ThemeChoice choice = chooseCursors({c.source(folder)});
    EXPECT_TRUE(choice.problems.empty()) << choice.problems.front();
    EXPECT_TRUE(choice.unread.empty());
    std::map<CursorRole, Expected> seen;
    for (const auto& [role, chosen] : choice.cursors) {
        ASSERT_TRUE(c.cursors.contains(role)) << namesOf(role).registryName << " from " << chosen.from;
        EXPECT_EQ(chosen.guessed, c.cursors.at(role).guessed) << namesOf(role).registryName;
        EXPECT_TRUE(endsWith(chosen.from, c.cursors.at(role).fromEnd)) << chosen.from;
        EXPECT_FALSE(chosen.cursor.frames.empty());
    }
    EXPECT_EQ(choice.cursors.size(), c.cursors.size());
    for (const std::string& warning : c.warnings)
        EXPECT_TRUE(anyHolds(choice.warnings, warning)) << warning;
    EXPECT_EQ(choice.warnings.size(), c.warnings.size());
    for (const std::string& file : c.unplaced)
        EXPECT_TRUE(anyHolds(choice.unplaced, file)) << file;
    EXPECT_EQ(choice.unplaced.size(), c.unplaced.size());
}

INSTANTIATE_TEST_SUITE_P(Sources, ThemeChoiceTable, testing::ValuesIn(choiceCases()),
                         [](const testing::TestParamInfo<ChoiceCase>& param) { return param.param.name; });

TEST(ThemeChoice, AnimatedCursorKeepsItsFramesAndSteps)
{
    const TempFolder folder;
    test::fillPack(folder, {{"Busy.ani", "cursors/sequenced.ani"}});
    const ThemeChoice choice = chooseCursors({folder.path().string()});
    ASSERT_TRUE(choice.cursors.contains(CursorRole::Wait));
    const Cursor& wait = choice.cursors.at(CursorRole::Wait).cursor;
    EXPECT_EQ(wait.kind, CursorKind::Animated);
    EXPECT_EQ(wait.steps, (std::vector<int>{0, 1, 0, 0}));
}

TEST(ThemeChoice, EarlierSourceWinsARoleAndALaterOneFillsTheRest)
{
    const TempFolder folder;
    test::fillPack(folder, {{"hand.cur", "cursors/arrow.cur"}});
    const ThemeChoice choice = chooseCursors({folder.path().string(), fixture("cursors32.exe")});
    ASSERT_TRUE(choice.cursors.contains(CursorRole::Hand));
    EXPECT_TRUE(endsWith(choice.cursors.at(CursorRole::Hand).from, "/hand.cur"));
    ASSERT_TRUE(choice.cursors.contains(CursorRole::Arrow));
    EXPECT_TRUE(endsWith(choice.cursors.at(CursorRole::Arrow).from, "resource 32512"));
}

TEST(ThemeChoice, CursorThatCannotBeReadLeavesItsRoleUnreadWithTheReason)
{
    const TempFolder folder;
    test::fillPack(folder, {{"Normal Select.cur", "cursors/arrow.cur"}});
    folder.write("Busy.ani", test::textBytes(std::string_view("RIFF\x04\0\0\0ACON", 12)));
    const ThemeChoice choice = chooseCursors({folder.path().string()});
    ASSERT_TRUE(choice.unread.contains(CursorRole::Wait));
    EXPECT_NE(choice.unread.at(CursorRole::Wait).find("/Busy.ani: "), std::string::npos);
    EXPECT_TRUE(choice.cursors.contains(CursorRole::Arrow));
}

TEST(ThemeChoice, LoneCursorFileTakesTheRoleOfItsName)
{
    const TempFolder folder;
    test::fillPack(folder, {{"Busy.ani", "cursors/sequenced.ani"}, {"sparkle.cur", "cursors/arrow.cur"}});
    const ThemeChoice choice = chooseCursors({folder.file("Busy.ani"), folder.file("sparkle.cur")});
    ASSERT_TRUE(choice.cursors.contains(CursorRole::Wait));
    EXPECT_EQ(choice.cursors.size(), 1u);
    ASSERT_EQ(choice.unplaced.size(), 1u);
    EXPECT_NE(choice.unplaced.front().find("/sparkle.cur: no role"), std::string::npos);
}

TEST(ThemeChoice, SourceThatIsNoPackNorProgramIsAProblem)
{
    const TempFolder folder;
    const std::string text = folder.write("readme.txt", test::textBytes("not a cursor"));
    const ThemeChoice choice = chooseCursors({text, folder.file("missing")});
    EXPECT_EQ(choice.problems.size(), 2u);
    EXPECT_TRUE(choice.cursors.empty());
}

TEST(ThemeChoice, ProgramWithoutStandardCursorIdsIsAProblem)
{
    const ThemeChoice choice = chooseCursors({fixture("icons32.exe")});
    EXPECT_EQ(choice.problems.size(), 1u);
}

} // namespace
} // namespace gb
