#include "core/search/background_search.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

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
            return std::vector<CatalogueImage>{};
        }));
    search.start(temp.path().string(), WalkOptions{false, FilePattern("*.exe")});
    while (started.load() == 0)
        std::this_thread::yield();

    search.abandon();
    // Without the abandon reaching the file, this would never end.
    while (!search.take().finished)
        std::this_thread::yield();
    EXPECT_TRUE(sawStop.load());
    EXPECT_EQ(started.load(), 1); // the folder's other files were not read
}

} // namespace
} // namespace gb
