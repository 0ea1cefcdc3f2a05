#include "programs/cli/cli_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace gb::cli {
namespace {

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    int expectedStatus;
};

class CommandLineUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CommandLineUsage, BadUsageExitsWithTwo)
{
    const UsageCase& c = GetParam();
    std::ostringstream out, err;
    EXPECT_EQ(runCommandLine(c.args, out, err), c.expectedStatus) << err.str();
    if (c.expectedStatus == 2) {
        EXPECT_NE(err.str().find("--help"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineUsage,
    ::testing::Values(
        UsageCase{"NoCommand", {}, 2}, UsageCase{"UnknownCommand", {"show", "a.exe"}, 2},
        UsageCase{"ListWithoutPaths", {"list"}, 2},
        UsageCase{"ListRefusesExportOptions", {"list", "--size", "32", "a.exe"}, 2},
        UsageCase{"JsonIsForListOnly", {"export", "--format", "original", "--json", "--out", "d", "a"}, 2},
        UsageCase{"ExportWithoutFormat", {"export", "--size", "32", "--out", "d", "a.exe"}, 2},
        UsageCase{"ExportWithoutOut", {"export", "--size", "32", "--format", "ico", "a.exe"}, 2},
        UsageCase{"ExportWithoutSize", {"export", "--format", "bmp", "--out", "d", "a.exe"}, 2},
        UsageCase{"SizeMustBe32Or16", {"export", "--size", "48", "--format", "ico", "--out", "d", "a"}, 2},
        UsageCase{"UnknownFormat", {"export", "--size", "32", "--format", "gif", "--out", "d", "a"}, 2},
        UsageCase{"PrefixWithSlashIsRefused",
                  {"export", "--size", "32", "--format", "ico", "--prefix", "../x", "--out", "d", "a"},
                  2},
        UsageCase{
            "EmptyPrefixIsRefused", {"export", "--size=16", "--format=ico", "--prefix=", "--out=d", "a"}, 2},
        UsageCase{
            "GrayDoesNotApplyToOriginal", {"export", "--format", "original", "--gray", "--out", "d", "a"}, 2},
        UsageCase{"OptionWithoutValue", {"export", "--size"}, 2}, UsageCase{"Help", {"--help"}, 0},
        UsageCase{"HelpAfterCommand", {"export", "--help"}, 0}, UsageCase{"Version", {"--version"}, 0},
        UsageCase{"VersionIsNoListOption", {"list", "--version", "a.exe"}, 2}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CommandLine, VersionPrintsTheProgramAndTheProjectVersion)
{
    const std::vector<std::string> args{"--version"};
    std::ostringstream out, err;
    EXPECT_EQ(runCommandLine(args, out, err), 0);
    EXPECT_EQ(out.str(), std::string("glimmerbox-cli ") + GB_PROJECT_VERSION + "\n");
    EXPECT_TRUE(err.str().empty());
}

// The synopsis at the top of --help and the manual's summary of the
// commands each name every option the command line takes.
TEST(CommandLineSummary, HelpAndManualSummariesListEveryOption)
{
    const std::string usage = usageText();
    const std::string helpSynopsis = usage.substr(0, usage.find("\n\n"));
    std::ifstream in(GB_CLI_MANUAL_PATH);
    const std::string manual((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t section = manual.find("## Command summary");
    ASSERT_NE(section, std::string::npos);
    const std::size_t open = manual.find("```\n", section) + 4;
    const std::string manualSynopsis = manual.substr(open, manual.find("```", open) - open);

    struct Option {
        const char* name;
        std::vector<std::string> accepted; // a command line that takes it
    };
    const std::vector<std::string> exportIco{"export", "--size", "32", "--format", "ico", "--out", "d"};
    const auto with = [](std::vector<std::string> args, std::initializer_list<std::string> more) {
        args.insert(args.begin() + 1, more);
        args.push_back("a.exe");
        return args;
    };
    const Option options[] = {
        {"--json", {"list", "--json", "a.exe"}},
        {"--cursors", {"list", "--cursors", "a.exe"}},
        {"-j", {"list", "-j", "2", "a.exe"}},
        {"--recursive", {"list", "--recursive", "a.exe"}},
        {"--pattern", {"list", "--pattern", "*.dll", "a.exe"}},
        {"--archives", {"list", "--archives", "a.exe"}},
        {"--files-from", {"list", "--files-from", "names"}},
        {"-0", {"export", "-0", "--files-from=-", "--format", "original", "--out", "d"}},
        {"--size", with(exportIco, {})},
        {"--format", with(exportIco, {})},
        {"--gray", with(exportIco, {"--gray"})},
        {"--prefix", with(exportIco, {"--prefix", "p"})},
        {"--out", with(exportIco, {})},
        {"--sizes",
         {"export", "--cursors", "--format", "xcursor", "--sizes", "24,32", "--out", "d", "a.cur"}},
        {"--name", {"launcher", "a.exe", "--name", "n"}},
        {"--data", {"launcher", "a.exe", "--data", "d"}},
        {"--help", {"--help"}},
        {"--version", {"--version"}},
    };
    for (const Option& option : options) {
        EXPECT_TRUE(parseCommandLine(option.accepted).has_value()) << option.name;
        // -j is shown with its value ("-j N"), so that "-j" is not found inside another word.
        const std::string shown = std::string(option.name) + (option.name == std::string("-j") ? " " : "");
        EXPECT_NE(helpSynopsis.find(shown), std::string::npos) << option.name << " not in\n" << helpSynopsis;
        EXPECT_NE(manualSynopsis.find(shown), std::string::npos) << option.name << " not in\n"
                                                                 << manualSynopsis;
    }
}

// The manual page documents every command, option and value the parser
// takes, each set in bold as scdoc writes it.
TEST(CommandLineSummary, ManualPageNamesEveryCommandOptionAndValue)
{
    std::ifstream in(GB_CLI_MAN_SOURCE);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(page.empty());
    const char* named[] = {
        "list",         "export",    "launcher",  "--json",   "-j",           "--recursive", "--pattern",
        "--archives",   "--size",    "--format",  "--gray",   "--prefix",     "--out",       "--name",
        "--data",       "--help",    "--version", "--",       "--files-from", "-0",          "ico",
        "cursor-theme", "bmp",       "png",       "original", "hicolor",      "32",          "16",
        "all",          "--cursors", "--sizes",   "cur",      "ani",          "xcursor"};
    for (const char* word : named)
        EXPECT_NE(page.find("*" + std::string(word) + "*"), std::string::npos) << word;
}

struct OptionFault {
    const char* name;
    std::vector<std::string> args;
    const char* message; // what the usage error says
};

class OptionFaults : public ::testing::TestWithParam<OptionFault> {};

// Each written file is printed as KEY<TAB>FILE on a line of its own: a
// prefix or output folder with a tab or line break would split the line.
TEST_P(OptionFaults, AreRefusedForWhatTheyAre)
{
    const OptionFault& c = GetParam();
    std::ostringstream out, err;
    EXPECT_EQ(runCommandLine(c.args, out, err), 2);
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionFaults,
    ::testing::Values(
        OptionFault{"PrefixWithALineBreak",
                    {"export", "--size", "32", "--format", "ico", "--prefix", "a\nb", "--out", "d", "a"},
                    "--prefix may not hold a tab, a line break"},
        OptionFault{"PrefixWithATab",
                    {"export", "--size", "32", "--format", "ico", "--prefix=a\tb", "--out", "d", "a"},
                    "--prefix may not hold a tab, a line break"},
        OptionFault{"PrefixWithACarriageReturn",
                    {"export", "--format", "hicolor", "--prefix", "a\r", "--out", "d", "a"},
                    "--prefix may not hold a tab, a line break"},
        OptionFault{"JobsOfNone", {"list", "-j", "0", "a"}, "-j takes a number from 1 to 256"},
        OptionFault{"JobsNotANumber", {"list", "-j", "all", "a"}, "-j takes a number from 1 to 256"},
        OptionFault{"JobsWithoutValue", {"list", "a", "-j"}, "-j needs a value"},
        OptionFault{
            "JobsBeforeTheCommandOfNone", {"-j", "0", "list", "a"}, "-j takes a number from 1 to 256"},
        OptionFault{"NulWithoutAList", {"list", "-0", "a"}, "-0 applies to --files-from"},
        OptionFault{"EmptyListName", {"list", "--files-from="}, "--files-from may not be empty"},
        OptionFault{"UnreadableList",
                    {"list", "--files-from", "/nonexistent/names"},
                    "cannot read the list of names /nonexistent/names: No such file or directory"},
        OptionFault{"OutWithALineBreak",
                    {"export", "--size", "32", "--format", "ico", "--out", "d\ne", "a"},
                    "--out may not hold a tab, a line break"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CommandLine, OriginalNeedsNoSizeAndDoubleDashEndsOptions)
{
    const std::vector<std::string> args{"export", "--format", "original", "--out", "d", "--", "--gray"};
    auto command = parseCommandLine(args);
    ASSERT_TRUE(command) << command.error();
    EXPECT_EQ(command->exportOptions.format, ExportFormat::Original);
    EXPECT_FALSE(command->exportOptions.gray);
    EXPECT_EQ(command->paths, std::vector<std::string>{"--gray"});
    EXPECT_EQ(command->exportOptions.prefix, "icon");
}

} // namespace
} // namespace gb::cli
