#include "core/sources/shortcut_source.h"

#include "core/catalogue/file_icons.h"
#include "core/search/background_search.h"
#include "core/sources/origin_details.h"

#include "support/open_watch.h"
#include "support/shell_link_builder.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <sys/stat.h>
#include <thread>

namespace gb {
namespace {

namespace fs = std::filesystem;

// icons64.dll's groups in resource-directory order: APPLE, ZEBRA, then the
// ids 2, 3, 5, 40, 41.
constexpr int kGroupOfId40 = 5;
const std::string kShortcuts = "prefix/drive_c/users/Public/";

struct ShortcutCase {
    const char* name;
    test::ShortcutRecipe recipe;
    int position = 0;                          // the icon shown, when found
    std::optional<SourceProblem> problem = {}; // else why none is
};

void PrintTo(const ShortcutCase& c, std::ostream* os)
{
    *os << c.name;
}

test::ShortcutRecipe toApp()
{
    test::ShortcutRecipe recipe;
    recipe.localBasePath = "C:\\Program Files\\Fixture\\App.exe";
    return recipe;
}

test::ShortcutRecipe withIcon(const std::string& icon, std::int32_t index)
{
    test::ShortcutRecipe recipe = toApp();
    recipe.iconLocation = icon;
    recipe.iconIndex = index;
    return recipe;
}

class ShortcutSources : public ::testing::TestWithParam<ShortcutCase> {
protected:
    ShortcutSources() { test::makeWinePrefix(folder.path() / "prefix"); }

    std::vector<ProducedSource> produce(const std::string& path, bool shortcuts = true) const
    {
        std::vector<ProducedSource> all;
        SourceWalk walk;
        walk.shortcuts = shortcuts;
        produceSources(path, walk, [&](ProducedSource source) { all.push_back(std::move(source)); });
        return all;
    }

    test::TempFolder folder;
};

// The icon Explorer shows: the one the shortcut names (a negative index is
// a resource id), else its target's first; one source, whose origin is the
// shortcut and names the icon's file and position.
TEST_P(ShortcutSources, GiveTheIconExplorerShows)
{
    const ShortcutCase& c = GetParam();
    const std::string lnk = folder.write(kShortcuts + "App.lnk", test::buildShortcut(c.recipe));
    const auto all = produce(lnk);
    ASSERT_EQ(all.size(), 1U);
    EXPECT_EQ(all[0].origin.path, lnk);
    EXPECT_EQ(all[0].origin.key(), lnk + "(0)");
    if (c.problem) {
        ASSERT_FALSE(all[0].source);
        EXPECT_EQ(all[0].source.error().problem, *c.problem);
        EXPECT_FALSE(all[0].source.error().notRead()) << "the shortcut was read: a file visited";
        EXPECT_FALSE(all[0].origin.shown);
        return;
    }
    ASSERT_TRUE(all[0].source) << describe(all[0].source.error());
    ASSERT_TRUE(all[0].origin.shown);
    EXPECT_EQ(all[0].origin.shown->position, c.position);
    EXPECT_EQ(fs::path(all[0].origin.shown->file).filename(), "App.exe");
    IconOrigin same{lnk, 0}; // the same origin, made apart: equal by value
    same.showIcon(*all[0].origin.shown);
    EXPECT_EQ(same, all[0].origin);
    EXPECT_NE(IconOrigin(lnk, 0), all[0].origin);

    std::vector<FoundIcon> icons;
    appendSourceIcons(*all[0].source, all[0].origin, {}, icons);
    ASSERT_EQ(icons.size(), 1U) << "a shortcut is one row";
    EXPECT_EQ(icons[0].origin, all[0].origin);
    std::vector<FoundIcon> program;
    appendSourceIcons(*all[0].source, IconOrigin{all[0].origin.shown->file, 0}, {}, program);
    ASSERT_GT(program.size(), static_cast<std::size_t>(c.position));
    EXPECT_EQ(icons[0].largeHash, program[static_cast<std::size_t>(c.position)].largeHash);
}

INSTANTIATE_TEST_SUITE_P(
    ShortcutSource, ShortcutSources,
    ::testing::Values(ShortcutCase{"TargetsFirstIcon", toApp(), 0},
                      ShortcutCase{"NamedIconByPosition", withIcon("%ProgramFiles%\\FIXTURE\\app.exe", 3), 3},
                      ShortcutCase{"NamedIconByResourceId",
                                   withIcon("C:\\Program Files\\Fixture\\App.exe", -40), kGroupOfId40},
                      ShortcutCase{"IconFileMissing", withIcon("C:\\Program Files\\Fixture\\Gone.exe", 0), 0,
                                   SourceProblem::ShortcutIconNotFound},
                      ShortcutCase{"NoSuchIndex", withIcon("C:\\Program Files\\Fixture\\App.exe", 99), 0,
                                   SourceProblem::OutOfRange},
                      ShortcutCase{"NoSuchResourceId", withIcon("C:\\Program Files\\Fixture\\App.exe", -999),
                                   0, SourceProblem::OutOfRange},
                      ShortcutCase{"TargetMissing",
                                   [] {
                                       test::ShortcutRecipe recipe;
                                       recipe.localBasePath = "C:\\Program Files\\Nowhere\\App.exe";
                                       return recipe;
                                   }(),
                                   0, SourceProblem::ShortcutIconNotFound},
                      ShortcutCase{"IconFileNoIconSource", withIcon("C:\\windows\\..\\..\\system.reg", 0), 0,
                                   SourceProblem::ShortcutIconNotFound}),
    [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(ShortcutSources, AShortcutCutShortIsAReadFailureOfItsOwn)
{
    auto bytes = test::buildShortcut(toApp());
    bytes.resize(0x60);
    const auto all = produce(folder.write(kShortcuts + "Cut.lnk", bytes));
    ASSERT_EQ(all.size(), 1U);
    ASSERT_FALSE(all[0].source);
    EXPECT_TRUE(all[0].source.error().read);
}

// Only a walk that asks for shortcuts reads them so; otherwise a shortcut is
// a file holding no icons, as before.
TEST_F(ShortcutSources, AWalkNotAskingForShortcutsReadsOneAsAnyFile)
{
    const auto all = produce(folder.write(kShortcuts + "App.lnk", test::buildShortcut(toApp())), false);
    ASSERT_EQ(all.size(), 1U);
    EXPECT_FALSE(all[0].origin.shown);
    EXPECT_TRUE(!all[0].source || all[0].source->count() == 0);
}

TEST_F(ShortcutSources, AFileThatIsNoShortcutIsReadAsItself)
{
    const std::string ico = folder.path() / "prefix/drive_c/App.lnk";
    fs::copy_file(std::string(GB_FIXTURE_DIR) + "/depth8.ico", ico);
    const auto all = produce(ico);
    ASSERT_EQ(all.size(), 1U);
    ASSERT_TRUE(all[0].source);
    EXPECT_FALSE(all[0].origin.shown);
}

// The details of a shortcut's row are those of the icon it shows.
TEST_F(ShortcutSources, DetailsOfAShortcutsRowAreThoseOfTheIconItShows)
{
    const std::string lnk = folder.write(
        kShortcuts + "App.lnk", test::buildShortcut(withIcon("C:\\Program Files\\Fixture\\App.exe", -40)));
    const auto all = produce(lnk);
    ASSERT_EQ(all.size(), 1U);
    ASSERT_TRUE(all[0].source);
    const auto details = readOriginDetails(all[0].origin);
    ASSERT_TRUE(details) << describe(details.error());
    ASSERT_EQ(details->images.size(), 1U); // the group of id 40 holds one 48x48 image
    ASSERT_TRUE(details->images[0].header);
    EXPECT_EQ(details->images[0].header->width, 48);
}

// A searched folder may hold anything: a shortcut naming a device or a FIFO
// gets no icon, what it names is never opened, and a path out of its
// prefix is refused.
TEST_F(ShortcutSources, ShortcutMetBySearchNeverOpensADeviceOrLeavesItsPrefix)
{
    const std::string prefix = (folder.path() / "prefix").string();
    const std::string fifo = prefix + "/drive_c/Program Files/Fixture/Pipe.exe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/null", prefix + "/drive_c/tty.ico");
    fs::create_directories(folder.path() / "outside");
    fs::copy_file(std::string(GB_FIXTURE_DIR) + "/depth8.ico", folder.path() / "outside" / "Own.ico");
    fs::create_directory_symlink("../../outside", prefix + "/drive_c/Out");
    test::OpenWatch watch(fifo);
    ASSERT_TRUE(watch.watching());
    test::ShortcutRecipe toFifo;
    toFifo.relativePath = "..\\..\\Program Files\\FIXTURE\\pipe.exe";
    const test::ShortcutRecipe recipes[] = {withIcon("C:\\Program Files\\Fixture\\PIPE.EXE", 0),
                                            withIcon("%SystemDrive%\\TTY.ICO", 0),
                                            withIcon("C:\\Out\\Own.ico", 0), toFifo};
    int each = 0;
    for (const auto& recipe : recipes) {
        const auto all =
            produce(folder.write(kShortcuts + std::to_string(each++) + ".lnk", test::buildShortcut(recipe)));
        ASSERT_EQ(all.size(), 1U) << each;
        ASSERT_FALSE(all[0].source) << each;
        EXPECT_EQ(all[0].source.error().problem, SourceProblem::ShortcutIconNotFound) << each;
    }
    EXPECT_EQ(watch.opens(), 0);
}

// The window's search shows each shortcut as one row, keyed by the shortcut.
TEST_F(ShortcutSources, SearchForShortcutsGivesOneRowEach)
{
    folder.write(kShortcuts + "A.lnk", test::buildShortcut(toApp()));
    folder.write(kShortcuts + "B.lnk",
                 test::buildShortcut(withIcon("C:\\Program Files\\Fixture\\App.exe", -40)));
    folder.write(kShortcuts + "Gone.lnk", test::buildShortcut(withIcon("C:\\Nowhere.ico", 0)));
    BackgroundSearch search(1);
    search.start((folder.path() / kShortcuts).string(), WalkOptions{false, FilePattern("*.lnk")});
    std::vector<std::string> keys;
    std::size_t visited = 0;
    for (;;) {
        SearchHarvest some = search.take();
        for (const auto& file : some.files)
            for (const FoundIcon& icon : file)
                keys.push_back(fs::path(icon.origin.key()).filename().string() + " " +
                               std::to_string(icon.origin.shown ? icon.origin.shown->position : -1));
        visited = some.filesVisited;
        if (some.finished)
            break;
        std::this_thread::yield();
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"A.lnk(0) 0", "B.lnk(0) 5"}));
    EXPECT_EQ(visited, 3U);
}

} // namespace
} // namespace gb
