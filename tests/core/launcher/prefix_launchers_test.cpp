#include "core/launcher/prefix_launchers.h"

#include "core/launcher/launcher_menus.h"
#include "core/launcher/prefix_shortcuts.h"
#include "support/shell_link_builder.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace gb {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

constexpr const char* kUserMenu = "drive_c/users/ana/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/";
constexpr const char* kCommonMenu = "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/";
constexpr const char* kPublicDesktop = "drive_c/users/Public/Desktop/";

// A prefix with shortcuts where Wine keeps them.
struct PrefixWithShortcuts {
    TempFolder folder;
    std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    std::string data = folder.file("data");

    std::string add(const std::string& where, const std::string& name, const test::ShortcutRecipe& recipe)
    {
        const fs::path file = fs::path(prefix) / where / name;
        fs::create_directories(file.parent_path());
        const auto bytes = test::buildShortcut(recipe);
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }
    std::string addText(const std::string& where, const std::string& name, const std::string& text)
    {
        const fs::path file = fs::path(prefix) / where / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }

    // shortcut -> "outcome entry" or "refused: reason"
    std::map<std::string, std::string> makeAll()
    {
        std::map<std::string, std::string> told;
        makePrefixLaunchers(prefix, data, false, [&](const PrefixLauncher& made) {
            const std::string name = fs::path(made.shortcut).filename().string();
            if (!made.written) {
                told[name] = "refused: " + describe(made.written.error());
                return;
            }
            const char* words[] = {"new", "replaced", "unchanged"};
            told[name] = std::string(words[static_cast<int>(made.written->outcome)]) + " " +
                         fs::path(made.written->file).filename().string();
        });
        return told;
    }
};

test::ShortcutRecipe to(const std::string& target)
{
    test::ShortcutRecipe recipe;
    recipe.localBasePath = target;
    return recipe;
}

// Two shortcuts to one program (two uninstallers, say) keep an entry each,
// named as the Start Menu shows them; a second run changes nothing.
TEST(PrefixLaunchers, EveryShortcutKeepsItsOwnEntryAcrossRuns)
{
    PrefixWithShortcuts p;
    auto described = to("C:\\Program Files\\Fixture\\App.exe");
    described.name = "Edits the registry";
    p.add(kUserMenu, "Registry Editor.lnk", described);
    p.add(std::string(kUserMenu) + "Tools/", "Export Wine key.lnk",
          to("C:\\Program Files\\Fixture\\App.exe"));
    p.add(kCommonMenu + std::string("Game/"), "Uninstall.lnk", to("C:\\Program Files\\Fixture\\App.exe"));
    p.add(kPublicDesktop, "Uninstall.lnk", to("C:\\Program Files\\Fixture\\App.exe"));
    p.add(kPublicDesktop, "Broken.lnk", to("C:\\nowhere.exe"));

    const auto first = p.makeAll();
    ASSERT_EQ(first.size(), 4U); // both Uninstall.lnk under one key
    EXPECT_TRUE(first.at("Registry Editor.lnk").starts_with("new glimmerbox-registry-editor-"));
    EXPECT_TRUE(first.at("Broken.lnk").starts_with("refused: ")) << first.at("Broken.lnk");

    const auto entries = ownEntries(p.data + "/applications");
    ASSERT_EQ(entries.size(), 4U);
    std::map<std::string, std::optional<std::string>> menus;
    for (const OwnEntry& entry : entries)
        menus[fs::path(entry.source).filename().string() + (entry.startMenu ? "" : "@desktop")] =
            entry.startMenu;
    EXPECT_EQ(menus.at("Registry Editor.lnk"), "");
    EXPECT_EQ(menus.at("Export Wine key.lnk"), "Tools");
    EXPECT_EQ(menus.at("Uninstall.lnk"), "Game");
    EXPECT_EQ(menus.at("Uninstall.lnk@desktop"), std::nullopt);
    const auto registry = std::ranges::find(entries, std::string("Registry Editor"), &OwnEntry::displayName);
    ASSERT_NE(registry, entries.end());
    EXPECT_NE(test::readText(registry->file).find("\nComment=Edits the registry\n"), std::string::npos);

    for (const auto& [shortcut, told] : p.makeAll()) {
        if (!told.starts_with("refused")) {
            EXPECT_TRUE(told.starts_with("unchanged ")) << shortcut << ": " << told;
        }
    }
}

// What Windows shows and runs is not refused for less: a missing icon or
// index falls back to the target's icon, a document is opened by start,
// an Internet shortcut is a link; each fallback says so.
TEST(PrefixLaunchers, ShortcutsWindowsRunsFallBackRatherThanFail)
{
    PrefixWithShortcuts p;
    std::ofstream(p.prefix + "/drive_c/users/Public/readme.txt") << "hello";
    std::ofstream(p.prefix + "/drive_c/windows/empty.exe") << "MZ";
    auto missingIcon = to("C:\\Program Files\\Fixture\\App.exe");
    missingIcon.iconLocation = "C:\\windows\\gone.dll";
    auto badIndex = missingIcon;
    badIndex.iconLocation = "C:\\Program Files\\Fixture\\App.exe";
    badIndex.iconIndex = 99;
    auto document = to("C:\\users\\Public\\readme.txt");

    struct Case {
        std::string shortcut;
        std::vector<LauncherNoteKind> notes;
        std::string present; // in the entry
    };
    const Case cases[] = {
        {p.add(kPublicDesktop, "a.lnk", missingIcon),
         {LauncherNoteKind::IconNotFound, LauncherNoteKind::TargetIconUsed},
         "Icon=glimmerbox-a-"},
        {p.add(kPublicDesktop, "b.lnk", badIndex),
         {LauncherNoteKind::NoIconOfIndex, LauncherNoteKind::TargetIconUsed},
         "Icon=glimmerbox-b-"},
        {p.add(kPublicDesktop, "c.lnk", document), {LauncherNoteKind::OpenedByStart}, "wine start /unix \""},
        {p.addText(kPublicDesktop, "d.url", "[InternetShortcut]\nURL=https://example.org/\n"),
         {},
         "Type=Link\nName=d\nURL=https://example.org/\nIcon=text-html\n"},
    };
    for (const Case& c : cases) {
        const auto plan = planLauncher(launcherRequest(c.shortcut, p.data, p.prefix));
        ASSERT_TRUE(plan) << c.shortcut << ": " << describe(plan.error());
        std::vector<LauncherNoteKind> kinds;
        for (const LauncherNote& note : plan->notes)
            kinds.push_back(note.kind);
        EXPECT_EQ(kinds, c.notes) << c.shortcut;
        EXPECT_NE(plan->desktopEntry.find(c.present), std::string::npos) << plan->desktopEntry;
    }

    const auto refused = planLauncher(
        launcherRequest(p.addText(kPublicDesktop, "e.url", "[InternetShortcut]\nURL=file:///etc/passwd\n"),
                        p.data, p.prefix));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().problem, LauncherProblem::NoAddress);
}

// Prune removes what was made from a shortcut that is gone, with its icons,
// and the submenu it alone filled; remove takes only this tool's entries.
TEST(PrefixLaunchers, PruneAndRemoveTakeOnlyOwnEntriesWhoseSourceIsGone)
{
    PrefixWithShortcuts p;
    const std::string kept = p.add(kUserMenu, "Kept.lnk", to("C:\\Program Files\\Fixture\\App.exe"));
    const std::string gone =
        p.add(std::string(kUserMenu) + "Old/", "Gone.lnk", to("C:\\Program Files\\Fixture\\App.exe"));
    p.makeAll();
    const std::string config = p.folder.file("config");
    ASSERT_TRUE(syncLauncherMenus(p.data, config));
    const std::string menuFolder = config + "/menus/applications-merged";
    ASSERT_EQ(std::distance(fs::directory_iterator(menuFolder), fs::directory_iterator{}), 1);
    const std::string menu = fs::directory_iterator(menuFolder)->path().string();
    EXPECT_NE(test::readText(menu).find("<Name>Old</Name>"), std::string::npos);
    EXPECT_TRUE(fs::exists(p.data + "/desktop-directories/" + menuDirectoryName("Old")));

    fs::remove(gone);
    std::ofstream(p.data + "/applications/glimmerbox-by-hand.desktop") << "[Desktop Entry]\nName=x\n";
    const auto removed = pruneLaunchers(p.data, p.prefix);
    ASSERT_EQ(removed.size(), 1U);
    EXPECT_EQ(removed.front().entry.source, gone);
    EXPECT_FALSE(fs::exists(removed.front().entry.file));
    EXPECT_FALSE(
        fs::exists(p.data + "/icons/hicolor/32x32/apps/glimmerbox-" + removed.front().entry.name + ".png"));
    ASSERT_TRUE(syncLauncherMenus(p.data, config));
    EXPECT_EQ(test::readText(menu).find("<Name>Old</Name>"), std::string::npos);
    EXPECT_FALSE(fs::exists(p.data + "/desktop-directories/" + menuDirectoryName("Old")));

    EXPECT_FALSE(findOwnLauncher(p.data, "by-hand"));
    const auto own = ownEntries(p.data + "/applications");
    ASSERT_EQ(own.size(), 1U);
    EXPECT_EQ(own.front().source, kept);
    EXPECT_TRUE(findOwnLauncher(p.data, "glimmerbox-" + own.front().name + ".desktop"));

    fs::remove_all(p.prefix);
    EXPECT_EQ(pruneLaunchers(p.data, std::nullopt).size(), 1U);
    ASSERT_TRUE(syncLauncherMenus(p.data, config));
    EXPECT_FALSE(fs::exists(menu));
    EXPECT_TRUE(fs::exists(p.data + "/applications/glimmerbox-by-hand.desktop"));
}

// Written together, each launcher is still all or nothing on its own: one
// that cannot be put in place is taken back whole, the others stay.
TEST(PrefixLaunchers, ALauncherThatFailsInAWriteOfManyIsTakenBackAlone)
{
    PrefixWithShortcuts p;
    std::vector<LauncherPlan> plans;
    for (const char* name : {"a.lnk", "b.lnk", "c.lnk"}) {
        auto plan = planLauncher(launcherRequest(
            p.add(kPublicDesktop, name, to("C:\\Program Files\\Fixture\\App.exe")), p.data, p.prefix));
        ASSERT_TRUE(plan) << describe(plan.error());
        plan->force = true;
        plans.push_back(std::move(*plan));
    }
    fs::create_directories(plans[1].desktopFile); // b's entry cannot take its name
    const auto written = writeLaunchers(plans);
    ASSERT_EQ(written.size(), 3U);
    EXPECT_TRUE(written[0] && written[2]);
    ASSERT_FALSE(written[1]);
    EXPECT_EQ(written[1].error().problem, LauncherProblem::WriteFailed);
    EXPECT_TRUE(fs::is_regular_file(plans[0].desktopFile));
    EXPECT_TRUE(fs::is_regular_file(plans[2].desktopFile));
    EXPECT_TRUE(fs::is_directory(plans[1].desktopFile));
    EXPECT_FALSE(fs::exists(p.data + "/icons/hicolor/32x32/apps/glimmerbox-" + plans[1].name + ".png"));
    EXPECT_TRUE(fs::exists(p.data + "/icons/hicolor/32x32/apps/glimmerbox-" + plans[2].name + ".png"));
}

TEST(PrefixLaunchers, MenuNamesAreEscapedAndFoldersNest)
{
    std::vector<OwnEntry> entries(3);
    entries[0] = {"/d/glimmerbox-a.desktop", "a", "A", "/s/a.lnk", "/p", std::string("R&D <Tools>/Sub")};
    entries[1] = {"/d/glimmerbox-b.desktop", "b", "B", "/s/b.lnk", "/p", std::string("")};
    entries[2] = {"/d/glimmerbox-c.desktop", "c", "C", "/s/c.lnk", "/p", std::nullopt};
    const std::string text = launcherMenuText(entries);
    EXPECT_NE(text.find("<Name>R&amp;D &lt;Tools&gt;</Name>"), std::string::npos) << text;
    EXPECT_LT(text.find("<Name>R&amp;D"), text.find("<Name>Sub</Name>"));
    EXPECT_LT(text.find("glimmerbox-b.desktop"), text.find("<Name>R&amp;D"));
    EXPECT_EQ(text.find("glimmerbox-c.desktop"), std::string::npos);
    EXPECT_NE(menuDirectoryName("R&D <Tools>"), menuDirectoryName("R&D <Tools>/Sub"));
}

} // namespace
} // namespace gb
