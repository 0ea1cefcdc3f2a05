#include "core/export/export_run.h"

#include "core/export/write_allowance.h"
#include "core/jobs/ordered_work.h"

#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace gb {

namespace {

// An item with what its worker made of it: nothing when the run had ended,
// or its input had written all it may, by the time a worker took it.
struct Prepared {
    ExportItem item;
    std::optional<std::vector<PreparedExportFile>> files;
};

// An item written, waiting for its files to go into place and for the
// items before it to be handed over.
struct Waiting {
    std::size_t index = 0;
    std::vector<ExportResult> files;
    std::optional<ExportOutcome> skipped;
    std::size_t staged = 0; // its files the session holds, not yet in place
    bool open = true;       // its files are still being added
};

std::vector<PreparedExportFile> prepareItem(ExportItem& item)
{
    if (item.prepareFiles)
        return item.prepareFiles();
    std::vector<PreparedExportFile> files;
    files.push_back(PreparedExportFile{item.file, item.prepare()});
    return files;
}

} // namespace

ExportRun::ExportRun(ExportPolicy policy, unsigned workers, StageStep stage)
    : policy_(policy), workers_(workers ? workers : allCores()), stage_(std::move(stage))
{
}

ExportReport ExportRun::run(std::vector<ExportItem> items, std::stop_token stop,
                            const ExportProgress& progress) const
{
    // Each item's single file, for one never prepared; an item of several
    // files never prepared has none to report.
    std::vector<std::optional<ExportFile>> named;
    named.reserve(items.size());
    for (const ExportItem& item : items)
        named.push_back(item.prepareFiles ? std::nullopt : std::optional(item.file));
    ExportReport report;
    report.files.reserve(items.size());
    const ExportReport ended = stream(
        [&items](const ExportSubmit& submit) {
            for (ExportItem& item : items)
                submit(std::move(item));
        },
        [&](const ExportItemResult& result) {
            if (result.skipped && named[result.item])
                report.files.push_back(ExportResult{*named[result.item], *result.skipped, {}, {}});
            report.files.insert(report.files.end(), result.files.begin(), result.files.end());
        },
        std::move(stop), progress, items.size());
    report.stopped = ended.stopped;
    report.diskFull = ended.diskFull;
    return report;
}

ExportReport ExportRun::run(const ExportFeed& feed, const ExportItemDone& done, std::stop_token stop) const
{
    return stream(feed, done, std::move(stop), {}, 0);
}

ExportReport ExportRun::stream(const ExportFeed& feed, const ExportItemDone& done, std::stop_token stop,
                               const ExportProgress& progress, std::size_t total) const
{
    ExportReport report; // only whether it ended early: the files go to `done`
    std::map<std::size_t, WriteAllowance> allowances;
    const bool perInput = policy_.allowance == ExportPolicy::Allowance::PerInput;
    const bool stopAtFull = policy_.onFailure == ExportPolicy::OnFailure::StopAtFullDisk;
    std::size_t turns = 0;

    // What the workers read to leave an item unprepared: the run has ended,
    // or the item's input has written all it may. Written here, on the
    // caller's thread, once it is so; the write below decides for itself.
    std::atomic<bool> over{false};
    std::mutex spentMutex;
    std::set<std::size_t> spentInputs;
    const auto markSpent = [&](std::size_t input) {
        const std::lock_guard lock(spentMutex);
        spentInputs.insert(input);
    };

    std::deque<Waiting> waiting; // written, in order, until handed over
    // The files the session holds, in the order added, and their items.
    std::deque<std::pair<Waiting*, ExportResult*>> inSession;
    const auto handOver = [&] {
        while (!waiting.empty() && !waiting.front().open && waiting.front().staged == 0) {
            const Waiting& front = waiting.front();
            if (done)
                done(ExportItemResult{front.index, front.files, front.skipped});
            waiting.pop_front();
        }
    };
    const auto endAtFullDisk = [&](const WriteFailure& failure) {
        if (failure.problem == WriteProblem::Full && stopAtFull) {
            report.diskFull = true;
            over = true;
        }
    };

    // The session says what became of each file it took as its group goes
    // into place; a full disk found then ends the run as one found staging.
    ExportSession session(
        [&](const ExportFile&, const std::expected<void, WriteFailure>& placed) {
            const auto [item, result] = inSession.front();
            inSession.pop_front();
            --item->staged;
            if (!placed) {
                result->outcome = ExportOutcome::NotWritten;
                result->failure = placed.error();
                endAtFullDisk(placed.error());
            }
        },
        stage_);

    std::size_t next = 0; // the index of the next item given
    const auto write = [&](Prepared& prepared) {
        Waiting& item = waiting.emplace_back(Waiting{next++, {}, std::nullopt, 0, true});
        if (!report.stopped && !report.diskFull && stop.stop_requested()) {
            report.stopped = true;
            over = true;
        }
        WriteAllowance* allowance = nullptr;
        if (perInput)
            allowance = &allowances.try_emplace(prepared.item.input, prepared.item.inputSize).first->second;
        if (report.stopped) {
            item.skipped = ExportOutcome::NotReached;
        } else if (report.diskFull) {
            item.skipped = ExportOutcome::NotTried;
        } else if ((allowance && allowance->spent()) || !prepared.files) {
            item.skipped = ExportOutcome::OverAllowance;
        } else {
            // Reserved whole first: the session's report points into it.
            item.files.reserve(prepared.files->size());
            for (PreparedExportFile& file : *prepared.files) {
                ExportResult& result = item.files.emplace_back(
                    ExportResult{std::move(file.file), ExportOutcome::Written, {}, {}});
                if (report.diskFull) {
                    result.outcome = ExportOutcome::NotTried;
                } else if (!file.contents) {
                    result.outcome = ExportOutcome::NotPrepared;
                    result.reason = std::move(file.contents.error());
                } else if (allowance && prepared.item.allowanceBeforeEachFile && allowance->spent()) {
                    result.outcome = ExportOutcome::OverAllowance;
                } else {
                    // Counted in before it is added: adding may put its group into place.
                    ++item.staged;
                    inSession.emplace_back(&item, &result);
                    if (auto staged = session.add(result.file, *file.contents); !staged) {
                        --item.staged;
                        inSession.pop_back();
                        result.outcome = ExportOutcome::NotWritten;
                        result.failure = staged.error();
                        endAtFullDisk(staged.error());
                    } else if (allowance) {
                        allowance->charge(file.contents->size());
                    }
                }
            }
        }
        if (allowance && allowance->spent())
            markSpent(prepared.item.input);
        item.open = false;
        // Ended: what the session holds goes into place now, so that the
        // items after it, never prepared, are handed over as they come
        // rather than held until the last.
        if (over && !inSession.empty())
            session.finish();
        if (!report.stopped && progress)
            progress(++turns, total);
        handOver();
    };

    {
        OrderedWork<ExportItem, Prepared> work(
            workers_,
            [&](ExportItem& item) {
                bool skip = over.load() || stop.stop_requested();
                if (!skip && perInput) {
                    const std::lock_guard lock(spentMutex);
                    skip = spentInputs.contains(item.input);
                }
                Prepared prepared{std::move(item), std::nullopt};
                if (!skip)
                    prepared.files = prepareItem(prepared.item);
                return prepared;
            },
            write);
        feed([&work](ExportItem item) { work.submit(std::move(item)); });
        work.finish();
    }
    // Also when stopped: what was written so far goes into place whole.
    session.finish();
    handOver();
    return report;
}

} // namespace gb
