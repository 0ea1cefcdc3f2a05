#include "core/launcher/desktop_entry.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

TEST(DesktopEntry, WindowsArgumentsSplitAsTheCRuntimeSplitsThem)
{
    struct Case {
        std::string line;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"", {}},
        {"  \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"  a  ", {"a"}},
        {R"("a b" c)", {"a b", "c"}},
        {R"(a"b c"d)", {"ab cd"}},
        {R"("")", {""}},
        {R"("" x)", {"", "x"}},
        {R"(a\"b)", {R"(a"b)"}},       // 2n+1 backslashes: n and a literal quote
        {R"(a\\"b c")", {R"(a\b c)"}}, // 2n backslashes: n, and the quote opens
        {R"(a\\\"b)", {R"(a\"b)"}},
        {R"(C:\dir\ x)", {R"(C:\dir\)", "x"}}, // backslashes not before a quote are literal
        {R"("a""b" c)", {R"(a"b)", "c"}},      // "" inside quotes is a literal quote
        {R"("open)", {"open"}},                // an unclosed quote ends with the line
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitWindowsArguments(c.line), c.arguments) << c.line;
}

TEST(DesktopEntry, ExecArgumentsAreQuotedOnlyWhenTheyHoldAReservedCharacter)
{
    struct Case {
        std::string argument;
        bool quoted;
        std::string exec;
    };
    const Case cases[] = {
        {"plain", false, "plain"},
        {"plain", true, R"("plain")"},
        {"", false, R"("")"},
        {"a b", false, R"("a b")"},
        {"tab\there", false, "\"tab\there\""},
        {R"(say"hi)", false, R"("say\"hi")"},
        {"$HOME", false, R"("\$HOME")"},
        {"`cmd`", false, R"("\`cmd\`")"},
        {R"(C:\dir)", false, R"("C:\\dir")"},
        {"it's", false, R"("it's")"}, // reserved, but not escaped inside double quotes
        {"a>b|c&d;e", false, R"("a>b|c&d;e")"},
        {"~user", false, R"("~user")"},
        {"*.exe?", false, R"("*.exe?")"},
        {"100%", false, "100%"}, // field codes are escaped over the whole line
        {"-windowed", false, "-windowed"},
        {"日本語", false, "日本語"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(execArgument(c.argument, c.quoted), c.exec) << c.argument;
}

TEST(DesktopEntry, ExecLineTakesTheStringEscapesAfterItsOwnQuoting)
{
    DesktopEntryFields fields{"Ship\\Yard",       "/home/ana/.wine", "/games/100% ship.exe",
                              {"C:\\save", "-x"}, "/games",          "glimmerbox-ship",
                              "ship.exe"};
    EXPECT_EQ(desktopEntryText(fields),
              "[Desktop Entry]\nType=Application\nName=Ship\\\\Yard\n"
              "Exec=env WINEPREFIX=\"/home/ana/.wine\" wine \"/games/100%% ship.exe\" "
              "\"C:\\\\\\\\save\" -x\n"
              "Path=/games\nIcon=glimmerbox-ship\nStartupWMClass=ship.exe\nCategories=X-Wine;\n");

    fields.prefix.reset();
    fields.arguments.clear();
    EXPECT_NE(desktopEntryText(fields).find("\nExec=wine \"/games/100%% ship.exe\"\n"), std::string::npos);
}

} // namespace
} // namespace gb
