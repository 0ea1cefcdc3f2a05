#include "search/background_search.h"

#include "catalogue/file_icons.h"

namespace gb {

BackgroundSearch::BackgroundSearch(Extractor extractor)
    : extractor_(extractor ? std::move(extractor) : Extractor(extractFileIcons))
{
}

BackgroundSearch::~BackgroundSearch()
{
    requestStop();
    if (worker_.joinable())
        worker_.join();
}

void BackgroundSearch::start(std::string folder, WalkOptions options)
{
    if (worker_.joinable())
        worker_.join(); // the previous search has finished (or is told to) by now
    going_.store(true);
    {
        std::lock_guard lock(mutex_);
        pending_ = SearchHarvest{};
        active_ = true;
    }
    worker_ = std::thread(&BackgroundSearch::run, this, std::move(folder), std::move(options));
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

void BackgroundSearch::run(std::string folder, WalkOptions options)
{
    class Visitor : public WalkVisitor {
    public:
        explicit Visitor(BackgroundSearch& search) : search_(search) {}
        bool poll() override { return search_.going_.load(); }
        void file(const std::string& path) override
        {
            std::vector<CatalogueImage> icons = search_.extractor_(path);
            std::lock_guard lock(search_.mutex_);
            if (!icons.empty())
                search_.pending_.files.push_back(std::move(icons));
            search_.pending_.lastFile = path;
            ++search_.pending_.filesVisited;
        }

    private:
        BackgroundSearch& search_;
    };

    Visitor visitor(*this);
    walkFolderTree(folder, options, visitor);
    std::lock_guard lock(mutex_);
    pending_.finished = true;
}

} // namespace gb
