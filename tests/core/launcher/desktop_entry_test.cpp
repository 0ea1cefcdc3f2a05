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
    DesktopEntryFields fields;
    fields.name = "Ship\\Yard";
    fields.prefix = "/home/ana/.wine";
    fields.program = "/games/100% ship.exe";
    fields.arguments = {"C:\\save", "-x"};
    fields.workingFolder = "/games";
    fields.icon = "glimmerbox-ship";
    fields.windowClass = "ship.exe";
    fields.source = "/games/Ship.lnk";
    EXPECT_EQ(desktopEntryText(fields),
              "[Desktop Entry]\nType=Application\nName=Ship\\\\Yard\n"
              "Exec=env WINEPREFIX=\"/home/ana/.wine\" wine \"/games/100%% ship.exe\" "
              "\"C:\\\\\\\\save\" -x\n"
              "Path=/games\nIcon=glimmerbox-ship\nStartupWMClass=ship.exe\nCategories=X-Wine;\n"
              "X-Glimmerbox-Source=/games/Ship.lnk\nX-Glimmerbox-Prefix=/home/ana/.wine\n");

    fields.prefix.reset();
    fields.arguments.clear();
    EXPECT_NE(desktopEntryText(fields).find("\nExec=wine \"/games/100%% ship.exe\"\n"), std::string::npos);
}

// What each kind of entry starts, and the keys it carries: a document is
// opened by Wine's start and has no window class of its own; an address
// is a link with no Exec at all.
TEST(DesktopEntry, EachKindStartsWhatItShould)
{
    struct Case {
        EntryKind kind;
        std::vector<std::string> present, absent;
    };
    const Case cases[] = {
        {EntryKind::Program,
         {"Type=Application\n", "Exec=env WINEPREFIX=\"/p\" wine \"C:\\\\\\\\a.exe\"\n",
          "StartupWMClass=a.exe\n", "Comment=Says hi\n", "X-Glimmerbox-Menu=Games/Old\n"},
         {"URL="}},
        {EntryKind::Document,
         {"Exec=env WINEPREFIX=\"/p\" wine start /unix \"C:\\\\\\\\a.exe\"\n", "Categories=X-Wine;\n"},
         {"URL=", "StartupWMClass="}},
        {EntryKind::Link,
         {"Type=Link\n", "URL=https://example.org/?a=1%20b\n"},
         {"Exec=", "Path=", "Categories="}},
    };
    for (const Case& c : cases) {
        DesktopEntryFields fields;
        fields.kind = c.kind;
        fields.name = "A";
        fields.comment = "Says hi";
        fields.prefix = "/p";
        fields.program = "C:\\a.exe";
        fields.windowClass = c.kind == EntryKind::Program ? "a.exe" : "";
        fields.url = "https://example.org/?a=1%20b";
        fields.source = "/p/a.lnk";
        fields.startMenu = "Games/Old";
        const std::string text = desktopEntryText(fields);
        for (const std::string& key : c.present)
            EXPECT_NE(text.find(key), std::string::npos) << key << " in\n" << text;
        for (const std::string& key : c.absent)
            EXPECT_EQ(text.find(key), std::string::npos) << key << " in\n" << text;
    }
}

// Reading an entry back gives the values written, escapes undone, and
// only those of the [Desktop Entry] group.
TEST(DesktopEntry, ValuesReadBackAsWritten)
{
    DesktopEntryFields fields;
    fields.name = "Tab\there \\ back";
    fields.program = "/x.exe";
    fields.source = "/a b/Ship.lnk";
    fields.prefix = "/home/ana/.wine";
    const std::string text = "# made by hand\n" + desktopEntryText(fields) +
                             "Name=second\n[Desktop Action x]\nX-Glimmerbox-Source=other\n";
    const auto values = desktopEntryValues(text);
    EXPECT_EQ(values.at("Name"), "Tab\there \\ back");
    EXPECT_EQ(values.at("X-Glimmerbox-Source"), "/a b/Ship.lnk");
    EXPECT_EQ(values.at("X-Glimmerbox-Prefix"), "/home/ana/.wine");
    EXPECT_EQ(desktopEntryValues("[Other]\nName=x\n").count("Name"), 0U);
    EXPECT_EQ(desktopEntryValues("[Desktop Entry]\r\nName = a\\sb\r\n").at("Name"), "a b");
}

} // namespace
} // namespace gb
