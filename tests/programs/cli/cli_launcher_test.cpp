#include "programs/cli/cli_commands.h"

#include "core/icons/png_decoder.h"
#include "core/text/escaped_text.h"
#include "support/cli_run.h"
#include "support/folder_tree.h"
#include "support/open_watch.h"
#include "support/shell_link_builder.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace gb::cli {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

test::CliRun launcher(const std::string& path, const std::string& data, std::vector<std::string> more = {})
{
    std::vector<std::string> args{"launcher", path, "--data", data};
    args.insert(args.end(), more.begin(), more.end());
    return test::runCli(args);
}

// Each icon file written, as "SIZE:WIDTHxHEIGHT".
std::set<std::string> iconsOf(const fs::path& data, const std::string& name)
{
    std::set<std::string> icons;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size);
        const fs::path file = data / "icons/hicolor" / (side + "x" + side) / "apps" / (name + ".png");
        if (!fs::exists(file))
            continue;
        const std::string bytes = test::readText(file.string());
        const auto image = decodePng(ByteReader(std::as_bytes(std::span(bytes))));
        icons.insert(
            side + ":" +
            (image ? std::to_string(image->width()) + "x" + std::to_string(image->height()) : "unreadable"));
    }
    return icons;
}

TEST(CliLauncher, ShortcutInAPrefixBecomesADesktopEntryWithTheIconItShows)
{
    TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "my prefix");
    const std::string data = folder.file("data");
    test::ShortcutRecipe recipe;
    recipe.localBasePath = "C:\\PROGRAM FILES\\FIXTURE\\APP.EXE";
    recipe.workingFolder = "%APPDATA%\\Game";
    recipe.arguments = "-windowed \"save 1\" say\\\"hi 100% C:\\dir\\ $HOME";
    recipe.iconLocation = "App.exe"; // beside the shortcut
    recipe.iconIndex = -5;           // resource id 5: 16 and 32 only
    const std::string lnk =
        folder.write("my prefix/drive_c/Program Files/Fixture/App.lnk", test::buildShortcut(recipe));

    const test::CliRun run = launcher(lnk, data);
    ASSERT_EQ(run.status, 0) << run.err;
    // Named as the shortcut is shown, "App", with a digest of its source.
    ASSERT_TRUE(run.out.starts_with("new: " + data + "/applications/glimmerbox-app-")) << run.out;
    const std::string entry = run.out.substr(5, run.out.size() - 6);
    const std::string name = fs::path(entry).stem().string();
    const std::string c = prefix + "/drive_c";
    // The program by its Windows path, as Wine names it.
    EXPECT_EQ(test::readText(entry),
              "[Desktop Entry]\nType=Application\nName=App\n"
              "Exec=env WINEPREFIX=\"" +
                  prefix +
                  "\" wine \"C:\\\\\\\\Program Files\\\\\\\\Fixture\\\\\\\\App.exe\" -windowed "
                  "\"save 1\" \"say\\\\\"hi\" 100%% \"C:\\\\\\\\dir\\\\\\\\\" \"\\\\$HOME\"\n"
                  "Path=" +
                  c + "/users/ana/AppData/Roaming/Game\nIcon=" + name +
                  "\nStartupWMClass=app.exe\nCategories=X-Wine;\nX-Glimmerbox-Source=" + lnk +
                  "\nX-Glimmerbox-Prefix=" + prefix + "\n");
    // 48 made from the 32: the group stores nothing of 48 or more.
    EXPECT_EQ(iconsOf(data, name), (std::set<std::string>{"16:16x16", "32:32x32", "48:48x48"}));
    EXPECT_EQ(launcher(lnk, data).out, "unchanged: " + entry + "\n");

    // Another source under the same name only with --force; then its own
    // first icon (256, 32, 16) is written and the 48 made before goes.
    const std::vector<std::string> sameName{"--name", name.substr(std::string("glimmerbox-").size())};
    const test::CliRun refused = launcher(c + "/Program Files/Fixture/App.exe", data, sameName);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("made from " + lnk + "; give --force"), std::string::npos) << refused.err;
    std::vector<std::string> forced = sameName;
    forced.push_back("--force");
    const test::CliRun replaced = launcher(c + "/Program Files/Fixture/App.exe", data, forced);
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(replaced.out, "replaced: " + entry + "\n");
    EXPECT_EQ(iconsOf(data, name), (std::set<std::string>{"16:16x16", "32:32x32", "256:256x256"}));
}

TEST(CliLauncher, FailuresWriteNothingAndSayWhy)
{
    TempFolder folder;
    test::makeWinePrefix(folder.path() / "prefix");
    const std::string fixture = folder.file("prefix/drive_c/Program Files/Fixture/");
    const std::string data = folder.file("data");
    const auto shortcut = [&](const std::string& name, test::ShortcutRecipe recipe,
                              std::size_t keep = SIZE_MAX) {
        auto bytes = test::buildShortcut(recipe);
        bytes.resize(std::min(keep, bytes.size()));
        return folder.write("prefix/drive_c/Program Files/Fixture/" + name, bytes);
    };
    test::ShortcutRecipe good;
    good.localBasePath = "C:\\Program Files\\Fixture\\App.exe";
    test::ShortcutRecipe outside = good;
    outside.localBasePath = "C:\\..\\..\\..\\etc\\passwd";
    test::ShortcutRecipe noTarget;
    noTarget.idList = true;

    const std::pair<std::string, std::string> cases[] = {
        {shortcut("cut.lnk", good, 90), "a broken shortcut"},
        {shortcut("outside.lnk", outside), "goes above the root of its drive"},
        {shortcut("none.lnk", noTarget), "the shortcut names no program"},
        {fixture + "Gone.exe", "cannot be read"},
    };
    for (const auto& [path, reason] : cases) {
        const test::CliRun run = launcher(path, data);
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(data));

    for (const std::vector<std::string>& usage : {std::vector<std::string>{"launcher"},
                                                  {"launcher", "a.exe", "b.exe"},
                                                  {"launcher", "a.exe", "--name", ".."},
                                                  {"launcher", "a.exe", "--prefix"},
                                                  {"launcher", "--all", "a.lnk"},
                                                  {"launcher", "--all", "--list"},
                                                  {"launcher", "--all", "--name", "x"},
                                                  {"launcher", "--list", "--prefix", "p"},
                                                  {"launcher", "--remove"},
                                                  {"launcher", "--prune", "--remove", "x"}}) {
        EXPECT_EQ(test::runCli(usage).status, 2) << usage.back();
    }
}

TEST(CliLauncher, FolderAtTheEntrysPathFailsAndLeavesNoIconBehind)
{
    TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    const std::string data = folder.file("data");
    fs::create_directories(data + "/applications/glimmerbox-app.desktop");
    fs::create_directories(data + "/icons/hicolor");
    const auto before = test::folderTree(data);

    // A folder is no entry of ours: refused, and with --force it cannot
    // be written; either way nothing is left behind.
    const std::string program = prefix + "/drive_c/Program Files/Fixture/App.exe";
    const test::CliRun run = launcher(program, data, {"--name", "app"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("glimmerbox-app.desktop: an entry of that name exists, not made by glimmerbox"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(test::folderTree(data), before);
    const test::CliRun forced = launcher(program, data, {"--name", "app", "--force"});
    EXPECT_EQ(forced.status, 1);
    EXPECT_NE(forced.err.find("glimmerbox-app.desktop: cannot be written"), std::string::npos) << forced.err;
    EXPECT_EQ(test::folderTree(data), before);
}

TEST(CliLauncher, OverLongNameIsRefusedBeforeAnythingIsWritten)
{
    TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    const std::string data = folder.file("data");
    const test::CliRun run =
        launcher(prefix + "/drive_c/Program Files/Fixture/App.exe", data, {"--name", std::string(237, 'x')});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the name is 237 bytes long; a launcher's name holds at most 236"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(data));
}

TEST(CliLauncher, NonUtf8PathOrNameIsRefusedAndWritesNothing)
{
    TempFolder folder;
    const std::string data = folder.file("data");
    const std::string fixture = std::string(GB_FIXTURE_DIR) + "/icons64.dll";
    const std::string plain = folder.file("App.exe");
    fs::copy_file(fixture, plain);
    const std::string odd = folder.file("App\xff.exe");
    fs::copy_file(fixture, odd);
    const std::string oddPrefix = test::makeWinePrefix(folder.path() / "prefix\xff");

    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string reason;
    };
    const Case cases[] = {
        // The failure line shows the byte escaped, as every line of the tool does.
        {"program path",
         {odd},
         escapeText(odd) + ": is not UTF-8 text, and the launcher's Exec line must be"},
        {"prefix path",
         {plain, "--prefix", oddPrefix},
         escapeText(oddPrefix) + ": is not UTF-8 text, and the launcher's Exec line must be"},
        {"name",
         {plain, "--name", "app\xff"},
         "app\\xff: is not UTF-8 text, and the launcher's Icon must be"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> more(c.args.begin() + 1, c.args.end());
        const test::CliRun run = launcher(c.args.front(), data, more);
        EXPECT_EQ(run.status, 1) << c.what;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.what << ": " << run.err;
        EXPECT_FALSE(fs::exists(data)) << c.what;
    }
}

// The launcher is run on purpose on one shortcut, so its relative target may
// lead out of the shortcut's folders; what it names is still never opened
// unless it is a regular file.
TEST(CliLauncher, RelativeTargetMayLeaveThePrefixButNoDeviceIsOpened)
{
    TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    fs::create_directories(folder.path() / "outside");
    fs::copy_file(prefix + "/drive_c/Program Files/Fixture/App.exe", folder.path() / "outside" / "App.exe");
    const std::string fifo = folder.file("outside/Pipe.exe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/null", folder.path() / "outside" / "Null.exe");
    test::OpenWatch watch(fifo);
    ASSERT_TRUE(watch.watching());
    const std::string data = folder.file("data");
    const auto shortcutTo = [&](const std::string& name, const std::string& target) {
        test::ShortcutRecipe recipe;
        recipe.relativePath = target;
        return folder.write("prefix/drive_c/users/Public/" + name, test::buildShortcut(recipe));
    };
    EXPECT_EQ(launcher(shortcutTo("out.lnk", "..\\..\\..\\..\\outside\\app.exe"), data).status, 0);
    for (const char* target : {"..\\..\\..\\..\\outside\\PIPE.exe", "..\\..\\..\\..\\outside\\null.exe"}) {
        const test::CliRun run = launcher(shortcutTo("special.lnk", target), data);
        EXPECT_EQ(run.status, 1) << target;
        EXPECT_NE(run.err.find("not a program file"), std::string::npos) << run.err;
    }
    EXPECT_EQ(watch.opens(), 0);
}

// The whole prefix from the command line: a line per shortcut, exit 1 when
// one is refused; then listed, removed by NAME, and pruned.
TEST(CliLauncher, AWholePrefixIsMadeListedRemovedAndPruned)
{
    TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    const std::string data = folder.file("data");
    const std::string desktop = prefix + "/drive_c/users/Public/Desktop/";
    fs::create_directories(desktop);
    test::ShortcutRecipe good;
    good.localBasePath = "C:\\Program Files\\Fixture\\App.exe";
    test::ShortcutRecipe broken;
    broken.localBasePath = "C:\\nowhere.exe";
    const std::string app =
        folder.write("prefix/drive_c/users/Public/Desktop/App.lnk", test::buildShortcut(good));
    const std::string other =
        folder.write("prefix/drive_c/users/Public/Desktop/Other.lnk", test::buildShortcut(good));
    folder.write("prefix/drive_c/users/Public/Desktop/Broken.lnk", test::buildShortcut(broken));

    const auto all = test::runCli({"launcher", "--all", "--prefix", prefix, "--data", data});
    EXPECT_EQ(all.status, 1);
    EXPECT_NE(all.out.find("refused: " + desktop + "Broken.lnk: C:\\\\nowhere.exe: no such file"),
              std::string::npos)
        << all.out;
    EXPECT_NE(all.out.find("new: " + app + " -> " + data + "/applications/glimmerbox-app-"),
              std::string::npos);

    const auto listed = test::runCli({"launcher", "--list", "--data", data});
    ASSERT_EQ(listed.status, 0);
    ASSERT_TRUE(listed.out.starts_with("app-")) << listed.out;
    const std::string name = listed.out.substr(0, listed.out.find('\t'));
    EXPECT_NE(listed.out.find(name + "\tApp\t" + app + "\t" + prefix + "\n"), std::string::npos)
        << listed.out;

    EXPECT_EQ(test::runCli({"launcher", "--remove", "nothing-here", "--data", data}).status, 1);
    const auto removed = test::runCli({"launcher", "--remove", name, "--data", data});
    EXPECT_EQ(removed.out, "removed: " + data + "/applications/glimmerbox-" + name + ".desktop\n");

    fs::remove(other);
    const auto pruned = test::runCli({"launcher", "--prune", "--prefix", prefix, "--data", data});
    EXPECT_EQ(pruned.status, 0);
    EXPECT_NE(pruned.out.find("(" + other + " is gone)"), std::string::npos) << pruned.out;
    EXPECT_EQ(test::runCli({"launcher", "--list", "--data", data}).out, "");
}

} // namespace
} // namespace gb::cli
