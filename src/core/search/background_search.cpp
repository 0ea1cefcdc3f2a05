#include "core/search/background_search.h"

#include "core/catalogue/file_icons.h"

namespace gb {

namespace {

std::vector<FoundIcon> extractFoundFile(const FoundFile& found, std::stop_token stop)
{
    auto file = found.open();
    if (!file)
        return {}; // a file that cannot be read gives no icons, silently
    return extractFileIcons(found.path, std::move(*file), std::move(stop));
}

} // namespace

BackgroundSearch::BackgroundSearch(Extractor extractor)
{
    if (extractor)
        extractor_ = [extractor = std::move(extractor)](const FoundFile& file, const std::stop_token&) {
            return extractor(file.path);
        };
    else
        extractor_ = extractFoundFile;
}

BackgroundSearch::BackgroundSearch(StoppableExtractor extractor)
{
    extractor_ = [extractor = std::move(extractor)](const FoundFile& file, std::stop_token stop) {
        return extractor(file.path, std::move(stop));
    };
}

BackgroundSearch::~BackgroundSearch()
{
    abandon();
    if (worker_.joinable())
        worker_.join();
}

void BackgroundSearch::abandon()
{
    requestStop();
    abandon_.request_stop();
}

void BackgroundSearch::start(std::string folder, WalkOptions options)
{
    if (worker_.joinable())
        worker_.join(); // the previous search has finished (or is told to) by now
    going_.store(true);
    abandon_ = std::stop_source();
    {
        std::lock_guard lock(mutex_);
        pending_ = SearchHarvest{};
        active_ = true;
    }
    worker_ = std::thread(&BackgroundSearch::run, this, std::move(folder), std::move(options),
                          abandon_.get_token());
}

bool BackgroundSearch::running() const
{
    std::lock_guard lock(mutex_);
    return active_;
}

SearchHarvest BackgroundSearch::take()
{
    std::lock_guard lock(mutex_);
    SearchHarvest harvest = std::move(pending_);
    pending_ = SearchHarvest{};
    pending_.filesVisited = harvest.filesVisited;
    if (harvest.finished)
        active_ = false;
    return harvest;
}

void BackgroundSearch::run(const std::string& folder, const WalkOptions& options, std::stop_token stop)
{
    class Visitor : public WalkVisitor {
    public:
        Visitor(BackgroundSearch& search, std::stop_token stop) : search_(search), stop_(std::move(stop)) {}
        bool poll() override { return search_.going_.load(); }
        void file(const FoundFile& file) override
        {
            if (stop_.stop_requested())
                return; // abandoned: the folder's remaining files are skipped
            std::vector<FoundIcon> icons = search_.extractor_(file, stop_);
            std::lock_guard lock(search_.mutex_);
            if (!icons.empty())
                search_.pending_.files.push_back(std::move(icons));
            search_.pending_.lastFile = file.path;
            ++search_.pending_.filesVisited;
        }

    private:
        BackgroundSearch& search_;
        std::stop_token stop_;
    };

    Visitor visitor(*this, std::move(stop));
    walkFolderTree(folder, options, visitor);
    std::lock_guard lock(mutex_);
    pending_.finished = true;
}

} // namespace gb
