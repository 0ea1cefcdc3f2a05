#include "platform/imagefiles/atomic_file.h"
#include "support/temp_folder.h"

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
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    test::TempFolder folder;
    const std::string path = folder.file("ro.ico");
    ASSERT_TRUE(writeFileAtomically(path, bytesOf("old")));
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(writeFileAtomically(path, bytesOf("new")));
    EXPECT_EQ(test::readText(path), "old");
}

} // namespace
} // namespace gb
