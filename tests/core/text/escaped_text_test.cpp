#include "core/text/escaped_text.h"

#include <gtest/gtest.h>

#include <string>

namespace gb {
namespace {

using namespace std::string_literals;

TEST(EscapedText, ControlsBackslashesAndBrokenUtf8AreEscapedTheRestKept)
{
    struct Case {
        std::string text, escaped;
    };
    const Case cases[] = {
        {"", ""},
        {"/games/setup.exe(0)", "/games/setup.exe(0)"},
        {"C:\\Games\\a.exe", "C:\\\\Games\\\\a.exe"},
        {"a\tb", "a\\tb"},
        {"a\nb\r", "a\\nb\\r"},
        {"nl\nfake.exe(0)\t32x32@32\t16x16@32\nreal.exe",
         "nl\\nfake.exe(0)\\t32x32@32\\t16x16@32\\nreal.exe"},
        {"\x1b[31mred", "\\x1b[31mred"},
        {"\0\x01\x1f\x7f"s, "\\x00\\x01\\x1f\\x7f"},
        {"\\x41", "\\\\x41"},
        // UTF-8 as it is: two-, three- and four-byte characters.
        {"\xc3\xa9t\xc3\xa9 \xe5\x9b\xbe\xe6\xa0\x87 \xf0\x9f\x8e\xae",
         "\xc3\xa9t\xc3\xa9 \xe5\x9b\xbe\xe6\xa0\x87 \xf0\x9f\x8e\xae"},
        {"\xc2\xa0", "\xc2\xa0"}, // U+00A0, the first character past the C1 controls
        {"\xc2\x9b"
         "2J",
         "\\xc2\\x9b2J"}, // U+009B: a control sequence's start
        {"\xc2\x80", "\\xc2\\x80"},
        // Bytes that are no UTF-8: Windows-1252, a cut sequence, an
        // overlong form, a surrogate, a byte no sequence starts with.
        {"caf\xe9.exe", "caf\\xe9.exe"},
        {"\xe5\x9b", "\\xe5\\x9b"},
        {"\xe5\x9b"
         "a",
         "\\xe5\\x9ba"},
        {"\xc0\xaf", "\\xc0\\xaf"},
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},
        {"\xff\xfe", "\\xff\\xfe"},
        // A broken sequence's next byte may start a sound one.
        {"\xe5\xc3\xa9", "\\xe5\xc3\xa9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escapeText(c.text), c.escaped) << c.escaped;
        EXPECT_TRUE(isUtf8(escapeText(c.text))) << c.escaped;
        EXPECT_EQ(escapeText(c.text).find_first_of("\t\n\r"), std::string::npos) << c.escaped;
        EXPECT_EQ(unescapeText(c.escaped), c.text) << c.escaped;
    }
}

TEST(EscapedText, EveryByteReadsBack)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    for (const std::string& text : {all, all + all, "\xe5\x9b\xbe" + all + "\xe6\xa0\x87"}) {
        const std::string escaped = escapeText(text);
        EXPECT_TRUE(isUtf8(escaped));
        for (const char c : escaped)
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F);
        EXPECT_EQ(unescapeText(escaped), text);
    }
}

TEST(EscapedText, EscapesNeverWrittenAreNotReadBack)
{
    for (const std::string text : {"a\\", "\\q", "\\x", "\\x4", "\\x4g", "\\xg4"})
        EXPECT_EQ(unescapeText(text), std::nullopt) << text;
    EXPECT_EQ(unescapeText("\\x4A\\x4a"), "JJ");
}

} // namespace
} // namespace gb
