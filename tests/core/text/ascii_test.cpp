#include "core/text/ascii.h"

#include <gtest/gtest.h>

#include <string>

namespace gb {
namespace {

using namespace std::string_literals;

static_assert(asciiLower('Q') == 'q' && asciiLower('q') == 'q' && asciiLower('@') == '@');
static_assert(equalIgnoringAsciiCase("System32", "SYSTEM32"));
static_assert(holdsControlCharacter("a\tb") && !holdsControlCharacter("a b"));

TEST(AsciiText, OnlyTheLettersAToZAreLowered)
{
    struct Case {
        std::string text, lowered;
    };
    const Case cases[] = {
        {"", ""},
        {"SETUP.EXE", "setup.exe"},
        {"MiXeD_Case-09.Dll", "mixed_case-09.dll"},
        {"@[`{", "@[`{"}, // the neighbours of A-Z and a-z stay
        // Other letters stay as they are: É in UTF-8 and in Windows-1252.
        {"\xc3\x89T\xc3\x89", "\xc3\x89t\xc3\x89"},
        {"\xc9", "\xc9"},
        {"A\0B"s, "a\0b"s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(asciiLowered(c.text), c.lowered) << c.text;
}

TEST(AsciiText, NamesAreEqualButForAsciiCaseOnly)
{
    struct Case {
        std::string a, b;
        bool equal;
    };
    const Case cases[] = {
        {"", "", true},
        {"Public", "PUBLIC", true},
        {"SysWOW64", "syswow64", true},
        {"Public", "Publi", false},
        {"a", "b", false},
        {"\xc3\x89", "\xc3\xa9", false}, // É and é: not ASCII, not folded
        {"[", "{", false},               // 0x20 apart, but no letters
    };
    for (const Case& c : cases)
        EXPECT_EQ(equalIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(AsciiText, ControlCharactersAreFound)
{
    const std::pair<std::string, bool> cases[] = {
        {"plain", false},    {"日本語", false}, {"a\nb", true}, {"a\tb", true},
        {"a\rb", true},      {"a\x7f", true},   {"\0"s, true},  {"\x1f", true},
        {" ~", false},       {"\xff", false}, // not UTF-8 is another rule
        {"\xc2\x85", false},                  // a C1 control in UTF-8 is not ASCII's
    };
    for (const auto& [text, control] : cases)
        EXPECT_EQ(holdsControlCharacter(text), control) << text;
}

} // namespace
} // namespace gb
