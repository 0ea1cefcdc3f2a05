#include "core/shortcuts/internet_shortcut.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

TEST(InternetShortcut, TheSectionsAddressAndIconAreRead)
{
    struct Case {
        std::string text;
        std::optional<std::string> url, iconFile;
        std::int32_t iconIndex = 0;
    };
    const Case cases[] = {
        {"[InternetShortcut]\r\nURL=https://example.org/\r\n", "https://example.org/", std::nullopt},
        {"\xEF\xBB\xBF[internetshortcut]\nurl = http://a/b c \nIconFile=C:\\x.ico\nIconIndex=-3\n",
         "http://a/b c", "C:\\x.ico", -3},
        {"[DEFAULT]\nBASEURL=http://x/\n[InternetShortcut]\nURL=http://y/\nIconIndex=2x\n", "http://y/",
         std::nullopt},
        {"[Other]\nURL=http://a/\n", std::nullopt, std::nullopt},
        {"[InternetShortcut]\nURL=\n", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto link = readInternetShortcut(c.text);
        ASSERT_EQ(link.has_value(), c.url.has_value()) << c.text;
        if (!link)
            continue;
        EXPECT_EQ(link->url, *c.url);
        EXPECT_EQ(link->iconFile, c.iconFile);
        EXPECT_EQ(link->iconIndex, c.iconIndex);
    }
    EXPECT_FALSE(readInternetShortcut("[InternetShortcut]\nURL=http://a/\n" +
                                      std::string(kMaxInternetShortcutBytes, ' ')));
}

TEST(InternetShortcut, OnlyWebAndMailAddressesAreOpened)
{
    const std::pair<const char*, bool> cases[] = {
        {"https://example.org/", true}, {"HTTP://a", true},       {"ftp://a/b", true},
        {"mailto:a@b", true},           {"file:///etc", false},   {"javascript:alert(1)", false},
        {"C:\\evil.exe", false},        {"https://a/\nb", false}, {"example.org", false},
    };
    for (const auto& [url, openable] : cases)
        EXPECT_EQ(isOpenableAddress(url), openable) << url;
}

} // namespace
} // namespace gb
