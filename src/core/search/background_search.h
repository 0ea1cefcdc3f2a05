#pragma once
// A search run off the window thread: the folder walk and the extraction of
// every file's icons happen on a worker thread, and the window collects what
// was found with take() from its own thread, as often as it repaints. The
// stop request is read by the walk at its two poll points, so a stopped
// search catalogues the same files the walk's rules say; abandon() also
// cuts short the file being read, for an exit that must not wait.

#include "core/catalogue/catalogue_store.h"
#include "core/search/folder_walk.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace gb {

struct SearchHarvest {
    std::vector<std::vector<FoundIcon>> files; // each file's icons, in walk order
    std::string lastFile;                      // the last file extracted, or empty
    std::size_t filesVisited = 0;              // files extracted since the search began
    bool finished = false;                     // the walk has ended; nothing more will come
};

class BackgroundSearch {
public:
    using Extractor = std::function<std::vector<FoundIcon>(const std::string& path)>;
    // One that gives up when `stop` is requested, as the engine's does.
    using StoppableExtractor =
        std::function<std::vector<FoundIcon>(const std::string& path, std::stop_token stop)>;

    // The extractor defaults to the engine's, extractFileIcons of each file
    // opened through its folder (FoundFile::open); tests may slow it down.
    explicit BackgroundSearch(Extractor extractor = {});
    explicit BackgroundSearch(StoppableExtractor extractor);
    ~BackgroundSearch(); // stops and joins a running search
    BackgroundSearch(const BackgroundSearch&) = delete;
    BackgroundSearch& operator=(const BackgroundSearch&) = delete;

    void start(std::string folder, WalkOptions options);
    void requestStop() { going_.store(false); }
    // Stops, and abandons the extraction under way and the files left in
    // the current folder: for leaving the program, when nothing more found
    // will be shown. An extractor that takes no stop token finishes its file.
    void abandon();
    bool running() const;

    // What was found since the last call.
    SearchHarvest take();

private:
    void run(const std::string& folder, const WalkOptions& options, std::stop_token stop);

    std::function<std::vector<FoundIcon>(const FoundFile& file, std::stop_token stop)> extractor_;
    std::atomic<bool> going_{false};
    std::stop_source abandon_;
    std::thread worker_;
    mutable std::mutex mutex_;
    SearchHarvest pending_;
    bool active_ = false;
};

} // namespace gb
