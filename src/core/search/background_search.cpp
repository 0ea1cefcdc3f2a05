#include "core/search/background_search.h"

#include "core/catalogue/file_icons.h"
#include "core/jobs/ordered_work.h"
#include "core/sources/source_producer.h"

#include <iterator>
#include <memory>
#include <new>
#include <utility>

namespace gb {

namespace {

// The engine's extraction of one file met by the walk: the icons of each
// source the producer finds in it (a shortcut's, the one it shows). A file that cannot be read gives no
// icons, silently; so does a container's member that cannot (the
// command-line tool reports them).
BackgroundSearch::Extracted extractFound(const std::string& path,
                                         std::expected<FileSource, ReadFailure>& file, bool matched,
                                         std::stop_token stop, std::stop_token anyStop,
                                         ExtractOptions extract, const WalkOptions& walk)
{
    BackgroundSearch::Extracted extracted{path, {}, 0};
    const SourceWalk sources{walk.containers,
                             [&walk](const std::string& name) { return walk.pattern.matches(name); },
                             {},
                             std::move(stop),
                             std::move(anyStop),
                             /*shortcuts=*/true};
    // Memory may run out however carefully each reader is bounded; the
    // file then gives the icons drawn so far and the search goes on.
    try {
        // A container's members are drawn on every core, and catalogued in its order.
        produceSourcesOnCores(FoundSourceFile{path, std::move(file), matched}, sources, allCores(),
                              [&extracted, extract](ProducedSource produced) -> std::function<void()> {
                                  // A member the container skipped was never read: it is no file visited.
                                  if (!produced.source && produced.source.error().notRead())
                                      return {};
                                  auto drawn = std::make_shared<std::vector<FoundIcon>>();
                                  if (produced.source)
                                      appendSourceIcons(*produced.source, produced.origin, extract, *drawn);
                                  return [&extracted, drawn, last = produced.origin.memberPath()]() mutable {
                                      ++extracted.files;
                                      extracted.lastFile = std::move(last);
                                      std::move(drawn->begin(), drawn->end(),
                                                std::back_inserter(extracted.icons));
                                  };
                              });
    } catch (const std::bad_alloc&) {
    }
    return extracted;
}

} // namespace

BackgroundSearch::BackgroundSearch(unsigned workers)
    : extractor_(extractFound), workers_(workers ? workers : allCores())
{
}

BackgroundSearch::BackgroundSearch(Extractor extractor, unsigned workers)
    : extractor_([extractor = std::move(extractor)](
                     const std::string& path, std::expected<FileSource, ReadFailure>&, bool matched,
                     const std::stop_token&, const std::stop_token&, ExtractOptions, const WalkOptions&) {
          return matched ? Extracted{path, extractor(path)} : Extracted{path, {}, 0};
      }),
      workers_(workers ? workers : allCores())
{
}

BackgroundSearch::BackgroundSearch(StoppableExtractor extractor, unsigned workers)
    : extractor_([extractor = std::move(extractor)](
                     const std::string& path, std::expected<FileSource, ReadFailure>&, bool matched,
                     std::stop_token stop, const std::stop_token&, ExtractOptions, const WalkOptions&) {
          return matched ? Extracted{path, extractor(path, std::move(stop))} : Extracted{path, {}, 0};
      }),
      workers_(workers ? workers : allCores())
{
}

void BackgroundSearch::start(std::string folder, WalkOptions options, ExtractOptions extract)
{
    job_.start([this, folder = std::move(folder), options = std::move(options),
                extract](JobContext<SearchHarvest>& job) { return run(folder, options, extract, job); });
}

SearchHarvest BackgroundSearch::take()
{
    return job_.withProgress([](SearchHarvest& pending, bool finished) {
        SearchHarvest harvest = std::move(pending);
        pending = SearchHarvest{};
        pending.filesVisited = harvest.filesVisited;
        harvest.finished = finished;
        // A failure is handed over with the end, where the window looks for it.
        if (!finished)
            pending.failure = std::exchange(harvest.failure, {});
        return harvest;
    });
}

BackgroundSearch::Done BackgroundSearch::run(const std::string& folder, const WalkOptions& options,
                                             ExtractOptions extract, JobContext<SearchHarvest>& job)
{
    // What the work throws ends the search, not the program; the files
    // delivered before it stay found, and the window tells it as a failure.
    try {
        walk(folder, options, extract, job);
    } catch (...) {
        std::string failure = describeJobFailure(std::current_exception());
        job.update([&](SearchHarvest& pending) { pending.failure = std::move(failure); });
    }
    return {};
}

void BackgroundSearch::walk(const std::string& folder, const WalkOptions& options, ExtractOptions extract,
                            JobContext<SearchHarvest>& job)
{
    struct OpenedFile {
        std::string path;
        std::expected<FileSource, ReadFailure> file;
        bool matched = true;
    };
    OrderedWork<OpenedFile, Extracted> work(
        workers_,
        [this, &job, &options, extract](OpenedFile& file) {
            return extractor_(file.path, file.file, file.matched, job.abandoned(), job.anyStop(), extract,
                              options);
        },
        [&job](Extracted& extracted) {
            if (extracted.files == 0)
                return;
            job.update([&](SearchHarvest& pending) {
                if (!extracted.icons.empty())
                    pending.files.push_back(std::move(extracted.icons));
                pending.lastFile = std::move(extracted.lastFile);
                pending.filesVisited += extracted.files;
            });
        });

    class Visitor : public WalkVisitor {
    public:
        Visitor(OrderedWork<OpenedFile, Extracted>& work, JobContext<SearchHarvest>& job,
                const WalkOptions& options)
            : work_(work), job_(job), options_(options)
        {
        }
        bool poll() override
        {
            // The stop is read only once the files before this point are in,
            // as a walk that extracts them itself would read it.
            work_.finish();
            return !job_.stopRequested();
        }
        void file(const FoundFile& file) override
        {
            if (job_.abandoned().stop_requested())
                return; // abandoned: the folder's remaining files are skipped
            // Opened here, through the folder the walk holds; read on a worker.
            work_.submit(OpenedFile{file.path, file.open(), options_.pattern.matches(file.name)});
        }

    private:
        OrderedWork<OpenedFile, Extracted>& work_;
        JobContext<SearchHarvest>& job_;
        const WalkOptions& options_;
    };

    Visitor visitor(work, job, options);
    walkFolderTree(folder, options, visitor);
    work.finish();
}

} // namespace gb
