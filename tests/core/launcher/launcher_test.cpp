#include "core/launcher/launcher.h"

#include "support/folder_tree.h"
#include "support/hostile_builders.h"
#include "support/temp_folder.h"
#include "support/version_builder.h"
#include "support/wine_prefix_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace gb {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// A PE file with one icon (32x32 only) and, when given, a U.S. English
// string table of version texts.
std::vector<std::byte> programWith(const std::vector<std::pair<std::string, std::string>>& texts)
{
    test::DibRecipe dib;
    dib.pixel = [](int, int) { return 0xff2040c0u; };
    test::PeRecipe pe;
    pe.blobs = {{test::buildDib(dib)}, {test::groupDirectory(1, 1, 32)}};
    pe.icons = {{1, 0}};
    pe.groups = {{1, 1}};
    if (!texts.empty()) {
        pe.blobs.push_back({test::buildVersionInfo({std::nullopt, std::nullopt, {{"040904b0", texts}}})});
        pe.versions = {{1, 2}};
    }
    return test::buildPe(pe);
}

std::expected<LauncherPlan, LauncherError> plan(const std::string& path, const std::string& data,
                                                std::optional<std::string> name = std::nullopt)
{
    return planLauncher(launcherRequest(path, data, std::nullopt, std::move(name)));
}

std::string fixture(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

TEST(Launcher, NameIsTheDescriptionElseTheProductElseTheFileName)
{
    struct Case {
        std::vector<std::pair<std::string, std::string>> texts;
        std::string displayName, defaultName;
    };
    const Case cases[] = {
        {{{"FileDescription", "Star Ship"}, {"ProductName", "Fleet"}}, "Star Ship", "star-ship"},
        {{{"ProductName", "Fleet"}}, "Fleet", "fleet"},
        {{{"FileDescription", " \t "}, {"ProductName", "Fleet"}}, "Fleet", "fleet"},
        {{{"FileDescription", "Two\nLines\t"}}, "Two Lines", "two-lines"},
        {{{"CompanyName", "Acme"}}, "My Game", "my-game"},
        {{}, "My Game", "my-game"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const auto made = plan(folder.write("My Game.exe", programWith(c.texts)), folder.file("data"));
        ASSERT_TRUE(made) << describe(made.error());
        EXPECT_EQ(made->displayName, c.displayName);
        // The name, and a digest of the prefix and source that keeps it apart.
        EXPECT_TRUE(made->defaultName.starts_with(c.defaultName + "-")) << made->defaultName;
        EXPECT_EQ(made->defaultName.size(), c.defaultName.size() + 9);
        EXPECT_EQ(made->name, made->defaultName);
        EXPECT_NE(made->desktopEntry.find("\nName=" + c.displayName + "\n"), std::string::npos);
    }
}

TEST(Launcher, LongDescriptionMakesALauncherWithTheCappedName)
{
    TempFolder folder;
    const std::string description(238, 'A');
    const std::string data = folder.file("data");
    const auto made = plan(folder.write("long.exe", programWith({{"FileDescription", description}})), data);
    ASSERT_TRUE(made) << describe(made.error());
    EXPECT_TRUE(made->name.starts_with(std::string(64, 'a') + "-")) << made->name;
    const auto written = writeLauncher(*made);
    ASSERT_TRUE(written) << describe(written.error());
    EXPECT_EQ(written->file, data + "/applications/glimmerbox-" + made->name + ".desktop");
    EXPECT_NE(test::readText(written->file).find("\nName=" + description + "\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(data + "/icons/hicolor/32x32/apps/glimmerbox-" + made->name + ".png"));
}

TEST(Launcher, OverLongNameIsRefusedBeforeAnythingIsRead)
{
    TempFolder folder;
    const std::string data = folder.file("data");
    // The path names nothing: the name is refused before it is looked at.
    const auto refused = plan("/nonexistent/app.exe", data, std::string(kMaxLauncherName + 1, 'x'));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().problem, LauncherProblem::NameTooLong);
    EXPECT_EQ(refused.error().detail, std::to_string(kMaxLauncherName + 1));

    // The longest name makes an entry file name of 255 bytes.
    const auto longest = plan(fixture("icons64.dll"), data, std::string(kMaxLauncherName, 'x'));
    ASSERT_TRUE(longest) << describe(longest.error());
    const auto written = writeLauncher(*longest);
    ASSERT_TRUE(written) << describe(written.error());
    EXPECT_EQ(fs::path(written->file).filename().string().size(), 255u);
}

// A folder given as the prefix that is no Wine prefix (Wine would make a
// new prefix in it when the entry runs) is refused before anything is read;
// one that holds drive_c and system.reg is taken.
TEST(Launcher, AFolderThatIsNoWinePrefixIsRefusedAsThePrefix)
{
    TempFolder folder;
    const std::string data = folder.file("data");
    fs::create_directories(folder.path() / "Pictures" / "drive_c");
    const auto refused = planLauncher(launcherRequest(fixture("icons64.dll"), data, folder.file("Pictures")));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().problem, LauncherProblem::NotWinePrefix);
    EXPECT_NE(describe(refused.error()).find("not a Wine prefix"), std::string::npos);
    EXPECT_FALSE(fs::exists(data));

    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    const auto taken = planLauncher(launcherRequest(fixture("icons64.dll"), data, prefix));
    EXPECT_TRUE(taken) << describe(taken.error());
}

// A folder at the entry's path: the icons were put into place first, and
// go again; the ones they replaced come back; the folders made go.
TEST(Launcher, FolderAtTheEntrysPathLeavesTheOutputTreeAsItWas)
{
    TempFolder folder;
    const std::string data = folder.file("data");
    const auto earlier = plan(folder.write("ship.exe", programWith({})), data, "ship");
    ASSERT_TRUE(earlier) << describe(earlier.error());
    ASSERT_TRUE(writeLauncher(*earlier)); // 32 and the 48 made from it
    fs::remove(earlier->desktopFile);
    fs::create_directory(earlier->desktopFile);
    const auto before = test::folderTree(data);

    // The program's own icon stores 16, 32 and 256: the 32 replaces, the
    // others are new, in folders new too.
    auto later = plan(fixture("icons64.dll"), data, "ship");
    ASSERT_TRUE(later) << describe(later.error());
    const auto taken = writeLauncher(*later);
    ASSERT_FALSE(taken); // a folder is no entry of ours
    EXPECT_EQ(taken.error().problem, LauncherProblem::TakenByOther);
    EXPECT_EQ(test::folderTree(data), before);
    later->force = true;
    const auto failed = writeLauncher(*later);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().problem, LauncherProblem::WriteFailed);
    EXPECT_EQ(failed.error().path, later->desktopFile);
    EXPECT_EQ(test::folderTree(data), before);

    // Into an empty data folder, nothing at all is left.
    const std::string fresh = folder.file("fresh");
    fs::create_directories(fresh + "/applications/glimmerbox-ship.desktop");
    const auto freshBefore = test::folderTree(fresh);
    auto freshPlan = plan(fixture("icons64.dll"), fresh, "ship");
    ASSERT_TRUE(freshPlan);
    freshPlan->force = true;
    EXPECT_FALSE(writeLauncher(*freshPlan));
    EXPECT_EQ(test::folderTree(fresh), freshBefore);
    EXPECT_FALSE(fs::exists(fresh + "/icons"));
}

TEST(Launcher, RenamedPlanIsThePlanOfThatNameAndReadsNothingAgain)
{
    TempFolder folder;
    const std::string data = folder.file("data");
    const std::string program = folder.write("ship.exe", programWith({{"FileDescription", "Star Ship"}}));
    const auto asked = plan(program, data, "fleet");
    const auto first = plan(program, data);
    ASSERT_TRUE(asked && first);
    fs::remove(program); // nothing is read again
    const auto renamed = renamedPlan(*first, "fleet");
    ASSERT_TRUE(renamed) << describe(renamed.error());
    EXPECT_EQ(renamed->name, "fleet");
    EXPECT_EQ(renamed->defaultName, first->defaultName);
    EXPECT_TRUE(renamed->defaultName.starts_with("star-ship-")) << renamed->defaultName;
    EXPECT_EQ(renamed->desktopFile, asked->desktopFile);
    EXPECT_EQ(renamed->desktopEntry, asked->desktopEntry);
    ASSERT_EQ(renamed->images.size(), asked->images.size());
    for (std::size_t i = 0; i < asked->images.size(); ++i)
        EXPECT_EQ(renamed->images[i].png, asked->images[i].png);

    const std::pair<std::string, LauncherProblem> refused[] = {
        {"a/b", LauncherProblem::BadName},
        {"a\xff", LauncherProblem::NotUtf8},
        {std::string(kMaxLauncherName + 1, 'x'), LauncherProblem::NameTooLong},
    };
    for (const auto& [name, problem] : refused) {
        const auto bad = renamedPlan(*first, name);
        ASSERT_FALSE(bad) << name;
        EXPECT_EQ(bad.error().problem, problem) << name;
    }
}

} // namespace
} // namespace gb
