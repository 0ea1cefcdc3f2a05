#include "programs/glimmerbox/program_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace gb::window_program {
namespace {

struct AnswerCase {
    const char* name;
    std::vector<std::string> args;
    Answer expected;
};

class WindowProgramAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(WindowProgramAnswer, IsChosenBeforeAnyWindow)
{
    EXPECT_EQ(answerFor(GetParam().args), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowProgramAnswer,
    ::testing::Values(AnswerCase{"NoArguments", {}, Answer::RunWindow},
                      AnswerCase{"PathRunsTheWindow", {"/home/ana/app.exe"}, Answer::RunWindow},
                      AnswerCase{"Help", {"--help"}, Answer::Help},
                      AnswerCase{"ShortHelp", {"-h"}, Answer::Help},
                      AnswerCase{"Version", {"--version"}, Answer::Version},
                      AnswerCase{"HelpAfterQtOptions", {"-platform", "offscreen", "--help"}, Answer::Help},
                      AnswerCase{"FirstAnswerWins", {"--version", "--help"}, Answer::Version},
                      AnswerCase{"AfterDoubleDashIsAPath", {"--", "--help"}, Answer::RunWindow},
                      AnswerCase{"QtOptionsRunTheWindow", {"-style", "fusion"}, Answer::RunWindow}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(WindowProgramAnswer, VersionIsTheProjectsVersion)
{
    EXPECT_EQ(versionText(), std::string("glimmerbox ") + GB_PROJECT_VERSION + "\n");
}

TEST(WindowProgramAnswer, HelpAndVersionPrintAndEndWithZero)
{
    const char* help[] = {"glimmerbox", "--help"};
    std::ostringstream out;
    EXPECT_EQ(answerBeforeWindow(2, const_cast<char**>(help), out), 0);
    EXPECT_EQ(out.str(), helpText());
    EXPECT_TRUE(out.str().starts_with("Usage: glimmerbox [PATH]\n"));

    const char* version[] = {"glimmerbox", "--version"};
    std::ostringstream versionOut;
    EXPECT_EQ(answerBeforeWindow(2, const_cast<char**>(version), versionOut), 0);
    EXPECT_EQ(versionOut.str(), versionText());
}

TEST(WindowProgramAnswer, PathLeavesTheWindowToRunAndPrintsNothing)
{
    const char* path[] = {"glimmerbox", "/tmp"};
    std::ostringstream out;
    EXPECT_EQ(answerBeforeWindow(2, const_cast<char**>(path), out), std::nullopt);
    EXPECT_EQ(answerBeforeWindow(0, nullptr, out), std::nullopt);
    EXPECT_TRUE(out.str().empty());
}

} // namespace
} // namespace gb::window_program
