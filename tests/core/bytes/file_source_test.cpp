#include "core/bytes/file_source.h"

#include "support/open_watch.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace gb {
namespace {

namespace fs = std::filesystem;

std::optional<ReadError> refusal(const std::expected<FileSource, ReadFailure>& opened)
{
    return opened ? std::nullopt : std::optional<ReadError>(opened.error().reason);
}

// A FIFO opened for reading would wait for a writer, and an open of a device
// acts (a new terminal, a reset board): only a regular file is ever opened,
// whether named or reached through a link.
TEST(FileSource, SpecialFileIsRefusedWithoutBeingOpened)
{
    test::TempFolder folder;
    const std::string fifo = folder.file("pipe.ico");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, folder.path() / "link.ico");
    fs::create_symlink("/dev/null", folder.path() / "null.ico");
    test::OpenWatch watch(fifo);
    ASSERT_TRUE(watch.watching());

    EXPECT_EQ(refusal(FileSource::open(fifo)), ReadError::NotRegularFile);
    EXPECT_EQ(refusal(FileSource::open(folder.file("link.ico"))), ReadError::NotRegularFile);
    EXPECT_EQ(refusal(FileSource::open(folder.file("null.ico"))), ReadError::NotRegularFile);
    EXPECT_EQ(refusal(FileSource::open("/dev/null")), ReadError::NotRegularFile);
    const int held = ::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    EXPECT_EQ(refusal(FileSource::openAt(held, "link.ico")), ReadError::NotRegularFile);
    EXPECT_EQ(refusal(FileSource::openAt(held, "pipe.ico")), ReadError::NotRegularFile);
    ::close(held);
    EXPECT_EQ(refusal(FileSource::open(folder.path().string())), ReadError::NotRegularFile);
    EXPECT_EQ(watch.opens(), 0);
}

TEST(FileSource, RegularFileIsReadDirectlyAndThroughALink)
{
    test::TempFolder folder;
    const std::string bytes = "icon bytes";
    const std::string file = folder.write("a.ico", std::as_bytes(std::span(bytes)));
    fs::create_symlink(file, folder.path() / "link.ico");
    for (const std::string& path : {file, folder.file("link.ico")}) {
        const auto opened = FileSource::open(path);
        ASSERT_TRUE(opened) << path;
        const auto read = opened->readAll();
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(read.data()), read.size()), bytes);
    }
    EXPECT_EQ(refusal(FileSource::open(folder.file("gone.ico"))), ReadError::OpenFailed);
}

} // namespace
} // namespace gb
