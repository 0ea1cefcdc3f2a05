#include "core/imagefiles/ico_writer.h"
#include "core/search/background_search.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace gb {
namespace {

TEST(BackgroundSearch, AbandonCutsTheCurrentFileShortAndSkipsTheFolderRest)
{
    const test::TempFolder temp;
    for (const char* name : {"1.exe", "2.exe", "3.exe", "4.exe"})
        std::ofstream(temp.path() / name) << "x";

    std::atomic<int> started{0};
    std::atomic<bool> sawStop{false};
    // A file that takes as long as it is let: it ends only when told to stop.
    BackgroundSearch search(
        BackgroundSearch::StoppableExtractor([&](const std::string&, std::stop_token stop) {
            ++started;
            while (!stop.stop_requested())
                std::this_thread::yield();
            sawStop = true;
            return std::vector<FoundIcon>{};
        }));
    search.start(temp.path().string(), WalkOptions{false, FilePattern("*.exe")});
    while (started.load() == 0)
        std::this_thread::yield();

    search.stop(Stop::Now);
    // Without the abandon reaching the file, this would never end.
    while (!search.take().finished)
        std::this_thread::yield();
    EXPECT_TRUE(sawStop.load());
    EXPECT_EQ(started.load(), 1); // the folder's other files were not read
}

SearchHarvest searchToTheEnd(BackgroundSearch& search, const std::string& folder, WalkOptions options)
{
    search.start(folder, std::move(options));
    SearchHarvest all;
    for (;;) {
        SearchHarvest some = search.take();
        for (auto& file : some.files)
            all.files.push_back(std::move(file));
        if (some.finished)
            return all;
        std::this_thread::yield();
    }
}

TEST(BackgroundSearch, FileDeeperThanPathMaxIsFoundAndRead)
{
    // 20 folders of 250-byte names: the icon's path is over 5,000 bytes,
    // more than any call that takes a whole path accepts. Made level by
    // level relative to the one above, so no path is spelled out.
    const test::TempFolder temp;
    int fd = ::open(temp.path().c_str(), O_RDONLY | O_DIRECTORY);
    const std::string name(250, 'd');
    for (int level = 0; level < 20; ++level) {
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    RgbaImage red(32, 32);
    for (Rgba& pixel : red.pixels())
        pixel = Rgba{220, 10, 10, 255};
    const auto ico = encodeIco(red);
    const int out = ::openat(fd, "deep.ico", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(out, ico.data(), ico.size()), static_cast<ssize_t>(ico.size()));
    ::close(out);
    ::close(fd);

    BackgroundSearch search;
    const SearchHarvest found =
        searchToTheEnd(search, temp.path().string(), WalkOptions{true, FilePattern("*.ico")});
    ASSERT_EQ(found.files.size(), 1u);
    ASSERT_EQ(found.files[0].size(), 1u);
    const FoundIcon& icon = found.files[0][0];
    const std::string key = icon.origin.key();
    EXPECT_GT(key.size(), std::size_t{PATH_MAX});
    EXPECT_TRUE(key.ends_with("/deep.ico(0)")) << key.substr(key.size() - 40);
    EXPECT_EQ(icon.large.at(20, 20), (Rgba{220, 10, 10, 255}));
}

// Extraction on several cores hands over the same files, icons and pixels in
// the same order as on one.
TEST(BackgroundSearch, EveryCoreFindsWhatOneFindsInTheSameOrder)
{
    const test::TempFolder temp;
    const std::filesystem::path fixtures(GB_FIXTURE_DIR);
    const char* names[] = {"icons32.exe", "icons64.dll", "depth8.ico", "depth24.ico", "odd32.exe"};
    for (int folder = 0; folder < 6; ++folder) {
        const auto dir = temp.path() / ("f" + std::to_string(folder));
        std::filesystem::create_directories(dir / "inner");
        for (int n = 0; n < 7; ++n)
            std::filesystem::copy_file(fixtures / names[(folder + n) % 5],
                                       (n % 3 ? dir : dir / "inner") / (std::to_string(n) + ".x"));
    }
    const auto keysAndPixels = [&](unsigned workers) {
        BackgroundSearch search(workers);
        std::vector<std::string> out;
        for (const auto& file :
             searchToTheEnd(search, temp.path().string(), WalkOptions{true, FilePattern("*.x")}).files)
            for (const FoundIcon& icon : file)
                out.push_back(icon.origin.key() + " " + std::to_string(icon.large.at(16, 16).r) + " " +
                              std::to_string(icon.small.at(8, 8).g));
        return out;
    };
    const auto one = keysAndPixels(1);
    EXPECT_GT(one.size(), 40U);
    EXPECT_EQ(keysAndPixels(4), one);
}

TEST(BackgroundSearch, ThrowingWorkEndsTheSearchAsAFailureKeepingWhatWasFound)
{
    const test::TempFolder temp;
    for (const char* name : {"1.exe", "2.exe", "3.exe"})
        std::ofstream(temp.path() / name) << "x";
    // On one thread the work throws inside the walk; on two, where the
    // result is delivered.
    for (const unsigned workers : {1U, 2U}) {
        SCOPED_TRACE(workers);
        BackgroundSearch search(
            [](const std::string& path) {
                if (path.ends_with("2.exe"))
                    throw std::runtime_error("no memory left");
                return std::vector<FoundIcon>(1);
            },
            workers);
        search.start(temp.path().string(), WalkOptions{false, FilePattern("*.exe")});
        SearchHarvest all;
        for (;;) {
            SearchHarvest some = search.take();
            all.filesVisited = some.filesVisited;
            if (!some.finished) {
                EXPECT_EQ(some.failure, ""); // said once, with the end
                std::this_thread::yield();
                continue;
            }
            all.failure = some.failure;
            break;
        }
        EXPECT_EQ(all.failure, "no memory left");
        EXPECT_LT(all.filesVisited, 3U); // nothing after it is counted
    }
}

} // namespace
} // namespace gb
