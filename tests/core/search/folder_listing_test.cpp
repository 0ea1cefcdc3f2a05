#include "core/search/folder_listing.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace gb {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> names(const std::vector<Subfolder>& subfolders)
{
    std::vector<std::string> out;
    for (const Subfolder& sub : subfolders)
        out.push_back(sub.name + (sub.viaLink ? " ->" : ""));
    return out;
}

// The folder chooser's list: folders and links to folders, in the walk's
// list order, and nothing else.
TEST(SubfolderListing, OffersFoldersAndLinksToFoldersInListOrder)
{
    test::TempFolder temp;
    const fs::path root = temp.path();
    for (const char* folder : {"b", "A", "a", "ab"})
        fs::create_directory(root / folder);
    fs::create_directory_symlink(root / "b", root / "Link");
    std::ofstream(root / "file") << "x";
    fs::create_symlink(root / "file", root / "file link");
    fs::create_symlink(root / "nowhere", root / "dangling");
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);

    const auto listed = listSubfolders(root.string());
    ASSERT_TRUE(listed);
    EXPECT_EQ(names(*listed), (std::vector<std::string>{"A", "a", "ab", "b", "Link ->"}));

    // The walk's listing of the same folder never takes the link.
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    const auto walked = listFolderAt(fd, FilePattern("*.*"), true);
    ::close(fd);
    ASSERT_TRUE(walked);
    EXPECT_EQ(walked->subfolders, (std::vector<std::string>{"A", "a", "ab", "b"}));

    // A link to a folder opens under its own name; a file is no folder.
    EXPECT_TRUE(listSubfolders((root / "Link").string()));
    EXPECT_EQ(listSubfolders((root / "file").string()).error(), ENOTDIR);
    EXPECT_EQ(listSubfolders((root / "gone").string()).error(), ENOENT);
}

} // namespace
} // namespace gb
