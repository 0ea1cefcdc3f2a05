// The themes written here are loaded by libXcursor itself, by theme name and
// cursor name, as X11 and Wayland desktops load them.
#include "core/cursortheme/theme_writer.h"

#include "support/cursor_pack_builder.h"
#include "support/folder_tree.h"
#include "support/xcursor_themes.h"

#include <gtest/gtest.h>

#include "support/libxcursor.h" // after GoogleTest

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace gb {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

struct ImagesDeleter {
    void operator()(XcursorImages* images) const { XcursorImagesDestroy(images); }
};
using LoadedImages = std::unique_ptr<XcursorImages, ImagesDeleter>;

// Every theme loaded by name lies in the one folder of the process.
const std::string& themesFolder()
{
    return test::xcursorThemesFolder().native();
}

LoadedImages load(const char* cursor, const std::string& theme, int size = 32)
{
    return LoadedImages(XcursorLibraryLoadImages(cursor, theme.c_str(), size));
}

// A pack of five roles: Arrow, Hand, Wait (animated), IBeam and Pin.
ThemeChoice packChoice(const TempFolder& pack)
{
    test::fillPack(pack, {{"Normal Select.cur", "cursors/arrow.cur"},
                          {"Link Select.cur", "cursors/hand.cur"},
                          {"Busy.ani", "cursors/sequenced.ani"},
                          {"Text Select.cur", "cursors/hand.cur"},
                          {"Location Select.cur", "cursors/arrow.cur"}});
    return chooseCursors({pack.path().string()});
}

const RoleReport& roleIn(const ThemeReport& report, CursorRole role)
{
    return report.roles[static_cast<std::size_t>(role)];
}

TEST(CursorThemeWriter, LibXcursorLoadsTheThemeByNameAndThroughEveryLink)
{
    const TempFolder pack;
    const ThemeChoice choice = packChoice(pack);
    const auto report = writeCursorTheme(choice, ThemeRequest{themesFolder(), "Glass", {}});
    ASSERT_TRUE(report) << report.error();
    EXPECT_TRUE(report->complete());

    const LoadedImages arrow = load("left_ptr", "Glass");
    ASSERT_TRUE(arrow);
    ASSERT_EQ(arrow->nimage, 1);
    EXPECT_EQ(arrow->images[0]->size, 32u);
    EXPECT_EQ(arrow->images[0]->xhot, 1u); // arrow.cur's 32x32 image has its hot spot at 1,2
    EXPECT_EQ(arrow->images[0]->yhot, 2u);
    EXPECT_TRUE(load("default", "Glass"));

    const LoadedImages pointer = load("pointer", "Glass");
    ASSERT_TRUE(pointer);
    EXPECT_EQ(pointer->images[0]->xhot, 9u); // hand.cur: 9,0
    EXPECT_EQ(pointer->images[0]->yhot, 0u);
    const LoadedImages hand2 = load("hand2", "Glass");
    ASSERT_TRUE(hand2);
    EXPECT_EQ(hand2->images[0]->xhot, 9u);

    const LoadedImages text = load("text", "Glass");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->images[0]->xhot, 9u);
    EXPECT_TRUE(load("xterm", "Glass"));

    const Cursor& busy = choice.cursors.at(CursorRole::Wait).cursor;
    const LoadedImages wait = load("wait", "Glass");
    ASSERT_TRUE(wait);
    ASSERT_EQ(static_cast<std::size_t>(wait->nimage), busy.steps.size());
    for (int i = 0; i < wait->nimage; ++i)
        EXPECT_EQ(static_cast<int>(wait->images[i]->delay),
                  std::max(1, busy.delaysMs[static_cast<std::size_t>(i)]));
    EXPECT_TRUE(load("watch", "Glass"));

    // The links are relative, so the theme may be moved.
    const fs::path cursors = fs::path(themesFolder()) / "Glass" / "cursors";
    EXPECT_EQ(fs::read_symlink(cursors / "left_ptr"), "default");
    EXPECT_EQ(fs::read_symlink(cursors / "hand2"), "pointer");
    EXPECT_EQ(test::readText((fs::path(themesFolder()) / "Glass" / "index.theme").string()),
              indexThemeText("Glass"));
}

// Wine's own user32.dll (the wine package is among the test packages), found
// for any architecture Debian builds it for.
std::string winesUser32()
{
    std::error_code error;
    for (const auto& lib : fs::directory_iterator("/usr/lib", error))
        for (const char* windows : {"x86_64-windows", "i386-windows", "aarch64-windows"})
            if (const fs::path dll = lib.path() / "wine" / windows / "user32.dll"; fs::exists(dll, error))
                return dll.string();
    return {};
}

TEST(CursorThemeWriter, WinesUser32GivesEveryRoleItHasByItsResourceId)
{
    const std::string user32 = winesUser32();
    ASSERT_FALSE(user32.empty()) << "Wine's user32.dll is not installed";
    const auto report =
        writeCursorTheme(chooseCursors({user32}), ThemeRequest{themesFolder(), "WineStandard", {}});
    ASSERT_TRUE(report) << report.error();
    for (const CursorRoleNames& names : cursorRoles()) {
        if (names.themeNames.empty())
            continue; // Pin and Person: Wine's user32 has neither
        EXPECT_EQ(roleIn(*report, names.role).outcome, RoleOutcome::Filled) << names.registryName;
        const LoadedImages loaded = load(std::string(names.themeNames.front()).c_str(), "WineStandard", 24);
        ASSERT_TRUE(loaded) << names.registryName;
        EXPECT_EQ(loaded->images[0]->size, 24u) << names.registryName;
        EXPECT_LT(loaded->images[0]->xhot, loaded->images[0]->width) << names.registryName;
    }
}

TEST(CursorThemeWriter, MissingRoleTakesItsFallbackElseIsLeftToTheInheritedTheme)
{
    const TempFolder pack;
    const auto report = writeCursorTheme(packChoice(pack), ThemeRequest{themesFolder(), "Fallbacks", {}});
    ASSERT_TRUE(report);
    const RoleReport& help = roleIn(*report, CursorRole::Help);
    EXPECT_EQ(help.outcome, RoleOutcome::Fallback);
    EXPECT_EQ(help.detail, "Arrow");
    EXPECT_EQ(help.file, "help");
    EXPECT_EQ(roleIn(*report, CursorRole::AppStarting).outcome, RoleOutcome::Fallback);
    EXPECT_EQ(roleIn(*report, CursorRole::AppStarting).detail, "Wait");
    EXPECT_EQ(roleIn(*report, CursorRole::Crosshair).outcome, RoleOutcome::Inherited);
    EXPECT_FALSE(fs::exists(fs::path(report->folder) / "cursors" / "crosshair"));
    const LoadedImages help32 = load("question_arrow", "Fallbacks");
    ASSERT_TRUE(help32);
    EXPECT_EQ(help32->images[0]->xhot, 1u);
}

TEST(CursorThemeWriter, PinAndPersonAreReportedButNotWritten)
{
    const TempFolder pack, out;
    const auto report = writeCursorTheme(packChoice(pack), ThemeRequest{out.path().string(), "Pins", {}});
    ASSERT_TRUE(report);
    const RoleReport& pin = roleIn(*report, CursorRole::Pin);
    EXPECT_EQ(pin.outcome, RoleOutcome::Guessed);
    EXPECT_TRUE(pin.file.empty());
    EXPECT_EQ(roleIn(*report, CursorRole::Person).outcome, RoleOutcome::Inherited);
}

TEST(CursorThemeWriter, SizesAskedForAreTheSizesWritten)
{
    const TempFolder pack, out;
    const auto report =
        writeCursorTheme(packChoice(pack), ThemeRequest{out.path().string(), "Big", {48, 64}});
    ASSERT_TRUE(report);
    const std::string file = out.file("Big/cursors/default");
    const LoadedImages all(XcursorFilenameLoadAllImages(file.c_str()));
    ASSERT_TRUE(all);
    ASSERT_EQ(all->nimage, 2);
    EXPECT_EQ(all->images[0]->size, 48u);
    EXPECT_EQ(all->images[1]->size, 64u);
}

TEST(CursorThemeWriter, UnreadRoleIsReportedAndTheThemeIncomplete)
{
    ThemeChoice choice;
    choice.unread[CursorRole::Wait] = "Busy.ani: truncated";
    const TempFolder out;
    const auto report = writeCursorTheme(choice, ThemeRequest{out.path().string(), "Broken", {}});
    ASSERT_TRUE(report);
    EXPECT_EQ(roleIn(*report, CursorRole::Wait).outcome, RoleOutcome::NotRead);
    EXPECT_FALSE(report->complete());
}

TEST(CursorThemeWriter, ThemeTheUserMadeIsNeverReplaced)
{
    const TempFolder pack, out;
    fs::create_directories(out.path() / "Mine" / "cursors");
    const std::string index = out.write("Mine/index.theme", test::textBytes("[Icon Theme]\nName=Mine\n"));
    const auto before = test::folderTree(out.path());
    const auto report = writeCursorTheme(packChoice(pack), ThemeRequest{out.path().string(), "Mine", {}});
    ASSERT_FALSE(report);
    EXPECT_NE(report.error().find("not made by glimmerbox-cli cursor-theme"), std::string::npos);
    EXPECT_EQ(test::folderTree(out.path()), before);
}

TEST(CursorThemeWriter, LinkInThePlaceOfTheThemeIsNeverFollowed)
{
    const TempFolder pack, out, elsewhere;
    elsewhere.write("index.theme", test::textBytes(std::string(kThemeMarker) + "\n"));
    fs::create_directory_symlink(elsewhere.path(), out.path() / "Linked");
    const auto report = writeCursorTheme(packChoice(pack), ThemeRequest{out.path().string(), "Linked", {}});
    EXPECT_FALSE(report);
    EXPECT_TRUE(fs::is_symlink(out.path() / "Linked"));
}

TEST(CursorThemeWriter, FifoInThePlaceOfIndexThemeIsNeverOpened)
{
    const TempFolder pack, out;
    fs::create_directory(out.path() / "Piped");
    ASSERT_EQ(mkfifo(out.file("Piped/index.theme").c_str(), 0600), 0);
    const auto report = writeCursorTheme(packChoice(pack), ThemeRequest{out.path().string(), "Piped", {}});
    EXPECT_FALSE(report);
}

TEST(CursorThemeWriter, OurOwnThemeIsReplacedWholeLeavingNothingBehind)
{
    const TempFolder pack, out;
    ASSERT_TRUE(writeCursorTheme(packChoice(pack), ThemeRequest{out.path().string(), "Again", {}}));
    ThemeChoice arrowOnly;
    arrowOnly.cursors[CursorRole::Arrow] = packChoice(pack).cursors.at(CursorRole::Arrow);
    const auto report = writeCursorTheme(arrowOnly, ThemeRequest{out.path().string(), "Again", {}});
    ASSERT_TRUE(report) << report.error();
    EXPECT_TRUE(fs::exists(out.path() / "Again" / "cursors" / "default"));
    EXPECT_FALSE(fs::exists(out.path() / "Again" / "cursors" / "wait"));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(out.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"Again"});
}

TEST(CursorThemeWriter, ThemeNameThatWouldLeaveTheFolderIsRefused)
{
    for (const std::string name : {"", ".", "..", "a/b", "tab\there"})
        EXPECT_FALSE(themeNameUsable(name)) << name;
    EXPECT_TRUE(themeNameUsable("Glass Blue"));
    const TempFolder out;
    EXPECT_FALSE(writeCursorTheme(ThemeChoice{}, ThemeRequest{out.path().string(), "..", {}}));
}

} // namespace
} // namespace gb
