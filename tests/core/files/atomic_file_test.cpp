#include "core/files/atomic_file.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gb {
namespace {

std::span<const std::byte> bytesOf(const std::string& text)
{
    return std::as_bytes(std::span(text));
}

int filesIn(const std::filesystem::path& folder)
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(AtomicFile, WritesANewFileAndReplacesAnOldOne)
{
    test::TempFolder folder;
    const std::string path = folder.file("a.ico");
    ASSERT_TRUE(writeFileAtomically(path, bytesOf("first")));
    ASSERT_TRUE(writeFileAtomically(path, bytesOf("second, longer")));
    EXPECT_EQ(test::readText(path), "second, longer");
    EXPECT_EQ(filesIn(folder.path()), 1); // no temporary file left behind
}

TEST(AtomicFile, MissingFolderIsReportedNotSilentlyIgnored)
{
    test::TempFolder folder;
    auto result = writeFileAtomically(folder.file("gone/a.ico"), bytesOf("x"));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().systemError, ENOENT);
    EXPECT_FALSE(result.error().message.empty());
}

TEST(AtomicFile, FailureMessageEndsWithTheSystemsText)
{
    test::TempFolder folder;
    auto result = writeFileAtomically(folder.file("gone/a.ico"), bytesOf("x"));
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.error().message.ends_with(": No such file or directory")) << result.error().message;
}

TEST(AtomicFile, AFailedWriteLeavesTheOldFileWhole)
{
    test::TempFolder folder;
    const std::string path = folder.file("keep.bmp");
    ASSERT_TRUE(writeFileAtomically(path, bytesOf("old content")));
    // A folder where the target should be cannot be replaced by a file.
    ASSERT_TRUE(std::filesystem::create_directory(folder.file("dir.bmp")));
    EXPECT_FALSE(writeFileAtomically(folder.file("dir.bmp"), bytesOf("new")));
    EXPECT_EQ(test::readText(path), "old content");
    EXPECT_EQ(filesIn(folder.path()), 2);
}

TEST(AtomicFile, WriteProtectedFileKeepsItsContent)
{
    test::TempFolder folder;
    const std::string path = folder.file("ro.ico");
    ASSERT_TRUE(writeFileAtomically(path, bytesOf("old")));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const int refused = test::asUnprivilegedUser(folder.path(), [&] {
        const auto written = writeFileAtomically(path, bytesOf("new"));
        return !written && written.error().problem == WriteProblem::Denied ? 1 : 0;
    });
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(test::readText(path), "old");
}

TEST(AtomicFile, WriteProtectedFolderIsDeniedAndLeavesNothing)
{
    test::TempFolder folder;
    ASSERT_TRUE(std::filesystem::create_directory(folder.file("ro")));
    ASSERT_EQ(::chmod(folder.file("ro").c_str(), 0500), 0);
    const int refused = test::asUnprivilegedUser(folder.path(), [&] {
        const auto written = writeFileAtomically(folder.file("ro/a.ico"), bytesOf("new"));
        return !written && written.error().problem == WriteProblem::Denied ? 1 : 0;
    });
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(filesIn(folder.file("ro")), 0);
    ::chmod(folder.file("ro").c_str(), 0700);
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissions)
{
    test::TempFolder folder;
    const std::string path = folder.file("shared.ico");
    ASSERT_TRUE(writeFileAtomically(path, bytesOf("old")));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(path, bytesOf("new")));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(test::readText(path), "new");
}

TEST(AtomicFile, LinkAtTheDestinationIsReplacedNotWrittenThrough)
{
    test::TempFolder folder;
    const std::string target = folder.file("target.ico");
    const std::string link = folder.file("link.ico");
    ASSERT_TRUE(writeFileAtomically(target, bytesOf("target's own")));
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(link, bytesOf("new")));
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::readText(link), "new");
    EXPECT_EQ(test::readText(target), "target's own");
}

TEST(AtomicFile, LinkToAWriteProtectedFileIsReplacedAndTheFileKept)
{
    test::TempFolder folder;
    const std::string target = folder.file("target.ico");
    const std::string link = folder.file("link.ico");
    ASSERT_TRUE(writeFileAtomically(target, bytesOf("kept")));
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(link, bytesOf("new")));
    EXPECT_EQ(test::readText(link), "new");
    EXPECT_EQ(test::readText(target), "kept");
}

TEST(AtomicFile, FolderThatTakesNoNewFilesIsNotReportedMissing)
{
    if (!std::filesystem::is_directory("/proc/self"))
        GTEST_SKIP() << "no /proc";
    const auto written = writeFileAtomically("/proc/glimmerbox-test.ico", bytesOf("x"));
    ASSERT_FALSE(written);
    EXPECT_NE(written.error().problem, WriteProblem::FolderMissing);
}

TEST(AtomicFile, MissingFolderIsNamedAsSuch)
{
    test::TempFolder folder;
    const auto written = writeFileAtomically(folder.file("gone/a.ico"), bytesOf("x"));
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().problem, WriteProblem::FolderMissing);
}

} // namespace
} // namespace gb
