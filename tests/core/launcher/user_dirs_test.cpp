#include "core/launcher/user_dirs.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace gb {
namespace {

TEST(UserDirs, TheDesktopFolderIsReadAsXdgUserDirsWritesIt)
{
    const struct {
        const char* text;
        std::optional<std::string> expected;
    } cases[] = {
        {"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "/home/ana/Desktop"},
        {"XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n", "/home/ana/桌面"},
        {"XDG_DESKTOP_DIR=\"/srv/desk\"", "/srv/desk"},
        {"XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\"\"\n", "/home/ana/My \"Desk\""},
        {"XDG_DESKTOP_DIR=\"$HOME/\"\n", "/home/ana/"}, // the Desktop is home itself
        {"XDG_DESKTOP_DIR=\"$HOME/A\"\nXDG_DESKTOP_DIR=\"$HOME/B\"\n", "/home/ana/B"}, // the last one wins
        {"XDG_DESKTOP_DIR=\"Desktop\"\n", std::nullopt},      // neither absolute nor below $HOME
        {"XDG_DESKTOP_DIR=$HOME/Desktop\n", std::nullopt},    // unquoted
        {"XDG_DESKTOP_DIRS=\"$HOME/Other\"\n", std::nullopt}, // another key
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(userDirIn(c.text, "XDG_DESKTOP_DIR", "/home/ana"), c.expected) << c.text;
}

TEST(UserDirs, TheDesktopIsTheOneTheConfigNamesElseHomesDesktop)
{
    const test::TempFolder config;
    EXPECT_EQ(usersDesktopFolder(std::nullopt, "/home/ana"), "/home/ana/Desktop");
    EXPECT_EQ(usersDesktopFolder(config.path().string(), "/home/ana"), "/home/ana/Desktop"); // no file
    std::ofstream(config.path() / "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n";
    EXPECT_EQ(usersDesktopFolder(config.path().string(), "/home/ana"), "/home/ana/桌面");
}

} // namespace
} // namespace gb
