#pragma once
// A search run off the window thread: the folder walk on a job of its own,
// each file's icons extracted on every core, delivered in the walk's order.
// The window collects what was found with take() from its own thread, as
// often as it repaints.
//
// A stop (Stop::AtCheckpoints) is read by the walk at its two poll points,
// and each poll point first waits for the files already handed to the
// workers, so a stopped search catalogues exactly the files a walk on one
// thread would: those before the poll point that saw the stop, and those the
// walk's rules still visit after it. Stop::Now also cuts short the files
// being read, for an exit that must not wait.

#include "core/catalogue/catalogue_store.h"
#include "core/icons/icon_source.h"
#include "core/jobs/background_job.h"
#include "core/search/folder_walk.h"

#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace gb {

struct SearchHarvest {
    std::vector<std::vector<FoundIcon>> files; // each file's icons, in walk order
    std::string lastFile;                      // the last file extracted, or empty
    std::size_t filesVisited = 0;              // files extracted since the search began
    bool finished = false;                     // the walk has ended; nothing more will come
    // The search broke off: what its work threw, for programmers. Empty when
    // the walk ended as it should (stopped or not).
    std::string failure;
};

class BackgroundSearch {
public:
    using Extractor = std::function<std::vector<FoundIcon>(const std::string& path)>;
    // One that gives up when `stop` is requested, as the engine's does.
    using StoppableExtractor =
        std::function<std::vector<FoundIcon>(const std::string& path, std::stop_token stop)>;

    // The engine's extraction (extractFileIcons of each file opened through
    // its folder, with the options the search was started with) on `workers`
    // threads, all cores when 0.
    explicit BackgroundSearch(unsigned workers = 0);
    // Another extraction, as tests slow it down: called from one thread at
    // a time unless `workers` says otherwise. It draws what it draws,
    // whatever the options.
    explicit BackgroundSearch(Extractor extractor, unsigned workers = 1);
    explicit BackgroundSearch(StoppableExtractor extractor, unsigned workers = 1);
    BackgroundSearch(const BackgroundSearch&) = delete;
    BackgroundSearch& operator=(const BackgroundSearch&) = delete;

    // Starts a search; the one before must have finished (take() said so).
    void start(std::string folder, WalkOptions options, ExtractOptions extract = {});
    void stop(Stop how) { job_.stop(how); }
    bool running() const { return job_.running(); }

    // What was found since the last call.
    SearchHarvest take();

    // What one file met by the walk gave: a file's icons, or a container's
    // members' icons (its members count as files).
    struct Extracted {
        std::string lastFile; // the file, or the container's last member read
        std::vector<FoundIcon> icons;
        std::size_t files = 1;
    };

private:
    struct Done {};
    // `matched`: the file's name matches the pattern (else it was visited as
    // a container by its name). `stop` gives a file up at Stop::Now;
    // `anyStop` ends a container at either strength, keeping the members
    // read before it.
    using FileExtractor = std::function<Extracted(
        const std::string& path, std::expected<FileSource, ReadFailure>& file, bool matched,
        std::stop_token stop, std::stop_token anyStop, ExtractOptions extract, const WalkOptions& walk)>;
    Done run(const std::string& folder, const WalkOptions& options, ExtractOptions extract,
             JobContext<SearchHarvest>& job);
    void walk(const std::string& folder, const WalkOptions& options, ExtractOptions extract,
              JobContext<SearchHarvest>& job);

    FileExtractor extractor_;
    unsigned workers_;
    BackgroundJob<SearchHarvest, Done> job_;
};

} // namespace gb
