#include "core/search/folder_listing.h"
#include "core/search/folder_walk.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace gb {
namespace {

namespace fs = std::filesystem;

void touch(const fs::path& path)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

// Records the walk; the poll answers come from a script of the test.
class Recorder : public WalkVisitor {
public:
    std::function<bool(int)> answer = [](int) { return true; }; // by poll number, from 1
    std::vector<std::string> files;
    std::vector<std::string> unreadable;
    int polls = 0;
    std::string root;

    bool poll() override { return answer(++polls); }
    std::vector<std::string> contents; // of each file, read as the engine reads it

    void file(const FoundFile& file) override
    {
        files.push_back(file.path.substr(root.size()));
        const auto opened = file.open();
        std::string text;
        if (opened)
            for (const std::byte b : opened->readAll())
                text += static_cast<char>(b);
        contents.push_back(opened ? text
                                  : "(" + std::string(std::strerror(opened.error().systemError)) + ")");
    }
    void unreadableFolder(const std::string& path, int) override
    {
        unreadable.push_back(path.substr(root.size()));
    }
};

class FolderWalk : public ::testing::Test {
protected:
    test::TempFolder temp;
    Recorder recorder;
    std::string root = temp.path().string();

    void SetUp() override { recorder.root = root; }

    std::vector<std::string> walk(bool subfolders, const char* pattern = "*.exe")
    {
        walkFolderTree(root, WalkOptions{subfolders, FilePattern(pattern)}, recorder);
        return recorder.files;
    }

    // a/{1.exe, x/2.exe}, B/3.exe, c/4.exe, 0.exe, Z.EXE, notes.txt
    void makeTree()
    {
        for (const char* f : {"a/1.exe", "a/x/2.exe", "B/3.exe", "c/4.exe", "0.exe", "Z.EXE", "notes.txt"})
            touch(temp.path() / f);
    }
};

using Files = std::vector<std::string>;

TEST_F(FolderWalk, TakesSubfoldersLastToFirstEachCompletelyThenItsOwnFiles)
{
    makeTree();
    EXPECT_EQ(walk(true), (Files{"/c/4.exe", "/B/3.exe", "/a/x/2.exe", "/a/1.exe", "/0.exe", "/Z.EXE"}));
}

TEST_F(FolderWalk, WithoutSubfoldersOnlyTheStartFolderAndOnePoll)
{
    makeTree();
    EXPECT_EQ(walk(false), (Files{"/0.exe", "/Z.EXE"}));
    EXPECT_EQ(recorder.polls, 1);
}

TEST_F(FolderWalk, PollsOnEnteringAFolderAndBeforeEachDescent)
{
    makeTree();
    walk(true);
    // 5 folders entered (root, c, B, a, a/x) and 4 descents.
    EXPECT_EQ(recorder.polls, 9);
}

TEST_F(FolderWalk, StopBeforeADescentSkipsTheDescendingFoldersFilesButNotItsParents)
{
    makeTree();
    // Polls: 1 enter root, 2 before c, 3 enter c, 4 before B, 5 enter B, 6 before a, 7 enter a,
    // 8 before a/x: stop here. a/x is abandoned, so a skips its files; root still does its own.
    recorder.answer = [](int n) { return n < 8; };
    EXPECT_EQ(walk(true), (Files{"/c/4.exe", "/B/3.exe", "/0.exe", "/Z.EXE"}));
}

TEST_F(FolderWalk, StopOnEnteringAFolderKeepsThatFoldersOwnFiles)
{
    makeTree();
    recorder.answer = [](int n) { return n < 7; }; // stop answered on entering a
    EXPECT_EQ(walk(true), (Files{"/c/4.exe", "/B/3.exe", "/a/1.exe", "/0.exe", "/Z.EXE"}));
}

TEST_F(FolderWalk, StopAtTheFirstPollStillCataloguesTheStartFolder)
{
    makeTree();
    recorder.answer = [](int) { return false; };
    EXPECT_EQ(walk(true), (Files{"/0.exe", "/Z.EXE"}));
    EXPECT_EQ(recorder.polls, 1);
}

TEST_F(FolderWalk, NeverEntersLinksToFoldersAndSkipsFifosButFollowsLinksToFiles)
{
    touch(temp.path() / "real/1.exe");
    fs::create_directory_symlink(temp.path(), temp.path() / "loop"); // a cycle
    fs::create_directory_symlink("/", temp.path() / "root");         // like dosdevices/z:
    fs::create_symlink(temp.path() / "real/1.exe", temp.path() / "link.exe");
    fs::create_symlink(temp.path() / "gone.exe", temp.path() / "dangling.exe");
    ASSERT_EQ(::mkfifo((temp.path() / "pipe.exe").c_str(), 0600), 0);
    EXPECT_EQ(walk(true), (Files{"/real/1.exe", "/link.exe"}));
}

TEST_F(FolderWalk, UnreadableFolderIsSkippedAloneItsSiblingsAndParentStillSearched)
{
    makeTree();
    // The folder B vanishes just before the walk enters it (poll 4 comes
    // before that descent), which fails as an unreadable folder does, even for root.
    recorder.answer = [this](int n) {
        if (n == 4)
            fs::remove_all(temp.path() / "B");
        return true;
    };
    EXPECT_EQ(walk(true), (Files{"/c/4.exe", "/a/x/2.exe", "/a/1.exe", "/0.exe", "/Z.EXE"}));
    EXPECT_EQ(recorder.unreadable, Files{"/B"});
}

TEST_F(FolderWalk, FolderWithoutReadPermissionIsSkippedAlone)
{
    // The refusal comes through the opening seam, so the test runs as root too.
    makeTree();
    const auto walkWith = [&](FolderOpener opener) {
        walkFolderTree(root, WalkOptions{true, FilePattern("*.exe")}, recorder, opener);
        return recorder.files;
    };
    const Files files = walkWith([](int parent, const std::string& name) {
        if (name == "B") {
            errno = EACCES;
            return -1;
        }
        return openSubfolder(parent, name);
    });
    EXPECT_EQ(files, (Files{"/c/4.exe", "/a/x/2.exe", "/a/1.exe", "/0.exe", "/Z.EXE"}));
    EXPECT_EQ(recorder.unreadable, Files{"/B"});
}

TEST_F(FolderWalk, FolderSwappedForALinkAfterListingIsNotFollowed)
{
    makeTree();
    const test::TempFolder elsewhere;
    touch(elsewhere.path() / "9.exe");
    // B is listed with the root, then replaced by a link to another folder
    // just before the walk descends into it (poll 4 comes before that descent).
    recorder.answer = [&](int n) {
        if (n == 4) {
            fs::remove_all(temp.path() / "B");
            fs::create_directory_symlink(elsewhere.path(), temp.path() / "B");
        }
        return true;
    };
    EXPECT_EQ(walk(true), (Files{"/c/4.exe", "/a/x/2.exe", "/a/1.exe", "/0.exe", "/Z.EXE"}));
    EXPECT_EQ(recorder.unreadable, Files{"/B"});
}

TEST_F(FolderWalk, FolderSwappedForALinkWhileItsSubfoldersAreWalkedIsNotReadThroughTheLink)
{
    // B holds 3.exe and the subfolder deeper. While the walk is in deeper,
    // B is moved away and a link to a folder with another 3.exe put in its
    // place. B's files, taken after its subfolders, are still B's own.
    touch(temp.path() / "B/deeper/4.exe");
    std::ofstream(temp.path() / "B/3.exe") << "B's own";
    const test::TempFolder elsewhere;
    std::ofstream(elsewhere.path() / "3.exe") << "through the link";
    const auto opener = [&](int parent, const std::string& name) {
        const int fd = openSubfolder(parent, name);
        if (name == "deeper") {
            fs::rename(temp.path() / "B", temp.path() / "B.moved");
            fs::create_directory_symlink(elsewhere.path(), temp.path() / "B");
        }
        return fd;
    };
    walkFolderTree(root, WalkOptions{true, FilePattern("*.exe")}, recorder, opener);
    EXPECT_EQ(recorder.files, (Files{"/B/deeper/4.exe", "/B/3.exe"}));
    EXPECT_EQ(recorder.contents, (Files{"x", "B's own"}));
}

TEST_F(FolderWalk, VanishedStartFolderGivesNothing)
{
    root += "/missing";
    recorder.root = root;
    EXPECT_TRUE(walk(true).empty());
    EXPECT_EQ(recorder.unreadable, Files{""});
}

TEST_F(FolderWalk, NamesThatAreNotUtf8AreFoundWithTheirBytes)
{
    const std::string name = "caf\xe9\xff.exe";
    touch(temp.path() / name);
    EXPECT_EQ(walk(false), Files{"/" + name});
}

TEST_F(FolderWalk, TwoThousandLevelsDeepDoNotExhaustTheStack)
{
    // Made level by level relative to the one above, so no path is spelled out.
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::close(::openat(fd, "bottom.exe", O_WRONLY | O_CREAT, 0644));
    ::close(fd);
    const Files files = walk(true);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].size(), 2000 * 2 + std::string("/bottom.exe").size());
}

TEST_F(FolderWalk, RootFolderGetsNoDoubledSeparator)
{
    EXPECT_EQ(childPath("/", "a.exe"), "/a.exe");
    EXPECT_EQ(childPath("/opt", "a.exe"), "/opt/a.exe");
    EXPECT_EQ(childPath("/opt/", "a.exe"), "/opt/a.exe");
}

TEST(ListOrder, SortsWithoutRegardToCaseThenByBytes)
{
    std::vector<std::string> names{"b", "B", "a", "C", "ab", "A"};
    std::ranges::sort(names, listOrder);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "a", "ab", "B", "b", "C"}));
}

} // namespace
} // namespace gb
