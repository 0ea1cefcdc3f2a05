#include "core/shortcuts/shell_link.h"
#include "support/shell_link_builder.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

ByteReader readerOf(const std::vector<std::byte>& bytes)
{
    return ByteReader(std::span<const std::byte>(bytes));
}

TEST(ShellLink, ReadsWhatALauncherNeedsInEitherEncoding)
{
    struct Case {
        const char* name;
        test::ShortcutRecipe recipe;
        std::optional<std::string> target, icon, arguments, workingFolder;
        std::int32_t iconIndex;
    };
    test::ShortcutRecipe game;
    game.localBasePath = "C:\\Games\\Ship\\ship.exe";
    game.workingFolder = "C:\\Games\\Ship";
    game.arguments = "-windowed \"save 1\"";
    game.iconLocation = "%ProgramFiles%\\Ship\\icons.dll";
    game.iconIndex = -101;
    test::ShortcutRecipe ansi = game;
    ansi.unicode = false;
    test::ShortcutRecipe wide;
    wide.idList = false;
    wide.localBasePath = "C:\\??.exe";
    wide.unicodeBasePath = "C:\\游戏\\星舰.exe";
    wide.name = "星舰";
    test::ShortcutRecipe environment;
    environment.localBasePath = "C:\\Program Files\\App\\app.exe";
    environment.environmentTarget = "%ProgramFiles%\\App\\app.exe";
    environment.iconEnvironment = "%SystemRoot%\\system32\\shell32.dll";
    environment.iconIndex = 3;
    test::ShortcutRecipe relative;
    relative.relativePath = ".\\bin\\tool.exe";
    // 0x80 is the euro sign in Windows-1252, 0xE9 é as in Latin-1.
    test::ShortcutRecipe western;
    western.unicode = false;
    western.localBasePath = "C:\\Caf\xe9\\\x80.exe";
    western.arguments = "\x93quoted\x94";

    const Case cases[] = {
        {"unicode strings", game, "C:\\Games\\Ship\\ship.exe", "%ProgramFiles%\\Ship\\icons.dll",
         "-windowed \"save 1\"", "C:\\Games\\Ship", -101},
        {"ansi strings", ansi, "C:\\Games\\Ship\\ship.exe", "%ProgramFiles%\\Ship\\icons.dll",
         "-windowed \"save 1\"", "C:\\Games\\Ship", -101},
        {"unicode base path preferred", wide, "C:\\游戏\\星舰.exe", std::nullopt, std::nullopt, std::nullopt,
         0},
        {"environment blocks first", environment, "%ProgramFiles%\\App\\app.exe",
         "%SystemRoot%\\system32\\shell32.dll", std::nullopt, std::nullopt, 3},
        {"relative path alone", relative, ".\\bin\\tool.exe", std::nullopt, std::nullopt, std::nullopt, 0},
        {"ansi strings as windows-1252", western, "C:\\Café\\€.exe", std::nullopt, "“quoted”", std::nullopt,
         0},
    };
    for (const Case& c : cases) {
        const auto bytes = test::buildShortcut(c.recipe);
        ASSERT_TRUE(looksLikeShellLink(readerOf(bytes))) << c.name;
        const auto link = readShellLink(readerOf(bytes));
        ASSERT_TRUE(link) << c.name << ": " << describe(link.error());
        EXPECT_EQ(link->target(), c.target) << c.name;
        EXPECT_EQ(link->iconFile(), c.icon) << c.name;
        EXPECT_EQ(link->arguments, c.arguments) << c.name;
        EXPECT_EQ(link->workingFolder, c.workingFolder) << c.name;
        EXPECT_EQ(link->iconIndex, c.iconIndex) << c.name;
    }
}

// Every cut of a shortcut is read or refused cleanly: sizes that run past
// the end are never followed.
TEST(ShellLink, EveryCutIsReadOrRefusedWithinItsBytes)
{
    test::ShortcutRecipe full;
    full.localBasePath = "C:\\a.exe";
    full.unicodeBasePath = "C:\\a.exe";
    full.name = "a";
    full.arguments = "b";
    full.iconLocation = "c.ico";
    full.environmentTarget = "%x%\\a.exe";
    const auto bytes = test::buildShortcut(full);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const std::vector<std::byte> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        const auto link = readShellLink(readerOf(cut));
        if (!link) {
            EXPECT_TRUE(link.error().reason == ReadError::Truncated ||
                        link.error().reason == ReadError::BadMagic)
                << size;
        }
    }
    std::vector<std::byte> wrong = bytes;
    wrong[4] = std::byte{0x02};
    EXPECT_EQ(readShellLink(readerOf(wrong)).error().reason, ReadError::BadMagic);
}

} // namespace
} // namespace gb
