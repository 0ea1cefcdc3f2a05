#include "core/launcher/wine_entries.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

// Exec lines as Wine's menu builder writes them, and what each starts.
TEST(WineEntries, TheTargetOfAWineEntryIsReadFromItsExecLine)
{
    struct Case {
        std::string exec;
        std::optional<std::string> path, prefix;
        bool windowsPath = false;
    };
    const Case cases[] = {
        {R"(env WINEPREFIX="/home/ana/.wine" wine C:\\windows\\command\\start.exe /Unix /home/ana/.wine/dosdevices/c:/users/Public/Desktop/Ship.lnk)",
         "/home/ana/.wine/dosdevices/c:/users/Public/Desktop/Ship.lnk", "/home/ana/.wine"},
        // Debian's Wine 8 names the shortcut by its Windows path, through wine-stable.
        {R"(env WINEPREFIX="/p" wine-stable C:\\users\\Public\\Desktop\\Wine\ Settings.lnk)",
         "C:\\users\\Public\\Desktop\\Wine Settings.lnk", "/p", true},
        {R"(env WINEPREFIX="/p q" wine start /unix "/p q/drive_c/a \"b\".lnk")", "/p q/drive_c/a \"b\".lnk",
         "/p q"},
        {R"(wine C:\\Games\\Ship\ Yard\\ship.exe -w)", "C:\\Games\\Ship Yard\\ship.exe", std::nullopt, true},
        {R"(/usr/bin/wine "/games/ship.exe")", "/games/ship.exe", std::nullopt},
        {"env WINEPREFIX=/p", std::nullopt, std::nullopt},
        {"gimp %U", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto target = wineEntryTarget(c.exec);
        ASSERT_EQ(target.has_value(), c.path.has_value()) << c.exec;
        if (!target)
            continue;
        EXPECT_EQ(target->path, *c.path);
        EXPECT_EQ(target->prefix, c.prefix);
        EXPECT_EQ(target->windowsPath, c.windowsPath) << c.exec;
    }
}

} // namespace
} // namespace gb
