#include "core/export/batch_save.h"

#include "core/export/export_encoding.h"
#include "core/export/export_session.h"
#include "core/imagefiles/gray.h"

#include <unordered_map>

namespace gb {

BatchReport runBatch(const BatchJob& job, const BatchProgress& progress, const std::atomic<bool>* cancelled)
{
    const auto stopped = [cancelled] { return cancelled && cancelled->load(std::memory_order_relaxed); };
    BatchReport result;
    const std::size_t total = job.icons.size();
    const auto report = [&](BatchPass pass, std::size_t done) {
        if (progress)
            progress(pass, done, total);
    };

    // Gray icon batches go in two passes, as the window reports them. The
    // first counts the rows each stored image stands in (the catalogue
    // stores identical images once); the second grays an image when its
    // first row is written and lets the gray go after its last, and encodes
    // each file only when it is written. So neither pass holds every gray
    // image or every encoded file.
    struct Gray {
        std::size_t rowsLeft = 0;
        SharedImage image;
    };
    std::unordered_map<const RgbaImage*, Gray> grays;
    const bool twoPasses = job.gray && job.kind == BatchKind::Ico;
    if (twoPasses) {
        for (std::size_t n = 1; n <= total; ++n) {
            if (stopped()) {
                result.cancelled = true;
                return result;
            }
            ++grays[job.icons[n - 1].get()].rowsLeft;
            report(BatchPass::Converting, n);
        }
    }
    const auto grayOf = [&grays](const SharedImage& icon) {
        const auto found = grays.find(icon.get());
        if (!found->second.image)
            found->second.image = std::make_shared<const RgbaImage>(grayImage(*icon));
        SharedImage gray = found->second.image;
        if (--found->second.rowsLeft == 0)
            grays.erase(found);
        return gray;
    };

    // Failures in the order of the files, whichever step found them.
    std::size_t firstFailed = total + 1;
    const auto failed = [&](std::size_t n, const std::string& path, const WriteFailure& error) {
        ++result.failed;
        if (n < firstFailed) {
            firstFailed = n;
            result.firstFailure = path + ": " + error.message;
            result.firstFailedPath = path;
            result.firstWriteError = error;
        }
    };
    ExportSession session([&](const ExportFile& file, const std::expected<void, WriteFailure>& written) {
        if (written)
            ++result.written;
        else
            failed(file.number, file.path, written.error());
    });

    for (std::size_t n = 1; n <= total; ++n) {
        if (stopped()) {
            result.cancelled = true;
            break;
        }
        const std::vector<std::byte> bytes = twoPasses
                                                 ? encodeBatchIcon(*grayOf(job.icons[n - 1]), job.kind, false)
                                                 : encodeBatchIcon(*job.icons[n - 1], job.kind, job.gray);
        const std::string path =
            joinPath(job.folder, batchFileName(job.prefix, job.kind, static_cast<int>(n)));
        if (auto staged = session.add(ExportFile{path, n, {}}, bytes); !staged)
            failed(n, path, staged.error());
        report(BatchPass::Saving, n);
    }
    // Also when cancelled: what was written so far goes into place whole.
    session.finish();
    return result;
}

void BackgroundBatch::start(BatchJob job)
{
    Progress initial;
    initial.total = job.icons.size();
    job_.start(
        [job = std::move(job)](JobContext<Progress>& context) {
            std::atomic<bool> cancelled{false};
            const std::stop_callback onStop(context.abandoned(), [&cancelled] { cancelled = true; });
            return runBatch(
                job,
                [&context](BatchPass pass, std::size_t done, std::size_t total) {
                    context.update([&](Progress& progress) { progress = Progress{pass, done, total}; });
                },
                &cancelled);
        },
        initial);
}

BackgroundBatch::State BackgroundBatch::state() const
{
    auto snapshot = job_.snapshot();
    State state;
    static_cast<Progress&>(state) = snapshot.progress;
    state.finished = snapshot.finished;
    if (snapshot.result)
        state.report = std::move(*snapshot.result);
    return state;
}

} // namespace gb
