#include "core/search/background_search.h"

#include "core/catalogue/file_icons.h"
#include "core/jobs/ordered_work.h"

namespace gb {

BackgroundSearch::BackgroundSearch(unsigned workers)
    : extractor_([](const std::string& path, std::expected<FileSource, ReadFailure>& file,
                    std::stop_token stop, ExtractOptions extract) {
          if (!file)
              return std::vector<FoundIcon>{}; // a file that cannot be read gives no icons, silently
          return extractFileIcons(path, std::move(*file), std::move(stop), extract);
      }),
      workers_(workers ? workers : allCores())
{
}

BackgroundSearch::BackgroundSearch(Extractor extractor, unsigned workers)
    : extractor_([extractor = std::move(extractor)](
                     const std::string& path, std::expected<FileSource, ReadFailure>&, const std::stop_token&,
                     ExtractOptions) { return extractor(path); }),
      workers_(workers ? workers : allCores())
{
}

BackgroundSearch::BackgroundSearch(StoppableExtractor extractor, unsigned workers)
    : extractor_([extractor = std::move(extractor)](
                     const std::string& path, std::expected<FileSource, ReadFailure>&, std::stop_token stop,
                     ExtractOptions) { return extractor(path, std::move(stop)); }),
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
        return harvest;
    });
}

BackgroundSearch::Done BackgroundSearch::run(const std::string& folder, const WalkOptions& options,
                                             ExtractOptions extract, JobContext<SearchHarvest>& job)
{
    struct OpenedFile {
        std::string path;
        std::expected<FileSource, ReadFailure> file;
    };
    struct Extracted {
        std::string path;
        std::vector<FoundIcon> icons;
    };
    OrderedWork<OpenedFile, Extracted> work(
        workers_,
        [this, &job, extract](OpenedFile& file) {
            return Extracted{file.path, extractor_(file.path, file.file, job.abandoned(), extract)};
        },
        [&job](Extracted& extracted) {
            job.update([&](SearchHarvest& pending) {
                if (!extracted.icons.empty())
                    pending.files.push_back(std::move(extracted.icons));
                pending.lastFile = std::move(extracted.path);
                ++pending.filesVisited;
            });
        });

    class Visitor : public WalkVisitor {
    public:
        Visitor(OrderedWork<OpenedFile, Extracted>& work, JobContext<SearchHarvest>& job)
            : work_(work), job_(job)
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
            work_.submit(OpenedFile{file.path, file.open()});
        }

    private:
        OrderedWork<OpenedFile, Extracted>& work_;
        JobContext<SearchHarvest>& job_;
    };

    Visitor visitor(work, job);
    walkFolderTree(folder, options, visitor);
    work.finish();
    return {};
}

} // namespace gb
