#pragma once
// One export run: a list of files to write, their contents made on every
// core, written in the order given through one ExportSession, under one
// policy for failures, and reported file by file in that order. The
// window's batches and the command-line tool's export are its callers; they
// build the list and turn the report into their own texts.
//
// The list is given whole, or fed an item at a time for a run too large to
// hold (the command-line tool's, over every file it reads); an item makes
// one file or several, and its results are handed back item by item, in
// order, as its files go into place.
//
// The numbering is the caller's (ExportFile::number) and stays with each
// file whatever order the workers finish in. A stop request ends the run
// between two items: what was written before it goes into place whole, the
// items after it are reported NotReached.

#include "core/export/export_report.h"
#include "core/export/export_session.h"

#include <cstddef>
#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace gb {

struct ExportPolicy {
    enum class OnFailure {
        GoOn,           // every file is tried, whatever failed before it
        StopAtFullDisk, // as GoOn, but no space (or quota) ends the run: the rest are NotTried
    };
    enum class Allowance {
        None,     // every file is written
        PerInput, // the files of one input may write a WriteAllowance of its size, and no more
    };
    OnFailure onFailure = OnFailure::StopAtFullDisk;
    Allowance allowance = Allowance::None;
};

using ExportContents = std::expected<std::vector<std::byte>, std::string>;

// One of the files an item makes: where it goes, and its contents or why
// they could not be made.
struct PreparedExportFile {
    ExportFile file;
    ExportContents contents;
};

// One item of the list: one file, or several (an icon at every stored
// size). `prepare` (or `prepareFiles`) runs on a worker thread, any time
// before the item's turn, and is called at most once; it must not touch
// what other items' preparations touch without its own lock. An item a
// worker takes after the run ended, or after its input wrote all it may, is
// not prepared (one taken just before is made and set aside).
struct ExportItem {
    ExportFile file;
    std::function<ExportContents()> prepare;
    std::size_t input = 0;       // the input it comes from, for the allowance
    std::uint64_t inputSize = 0; // that input's size in bytes
    // An item of several files makes them all instead, in the order they
    // are written; `file` and `prepare` are then not used. It may make none.
    std::function<std::vector<PreparedExportFile>()> prepareFiles = {};
    // Under an allowance, whether it is asked before each of the item's
    // files, or once before the item: a set the allowance never cuts short,
    // such as an icon-theme tree.
    bool allowanceBeforeEachFile = true;
};

// What became of one item, handed over in the order given once all its
// files are in place (or not). An item never prepared has no files, and
// `skipped` says why: NotTried (the disk was full before its turn),
// OverAllowance (its input had written all it may), NotReached (stopped).
struct ExportItemResult {
    std::size_t item = 0; // its place in the order given
    std::span<const ExportResult> files;
    std::optional<ExportOutcome> skipped;
};
using ExportItemDone = std::function<void(const ExportItemResult& result)>;

// Called on the caller's thread after each item's turn: items done, of total.
using ExportProgress = std::function<void(std::size_t done, std::size_t total)>;

// Hands the run its items one at a time, in order, as they are found.
using ExportSubmit = std::function<void(ExportItem item)>;
using ExportFeed = std::function<void(const ExportSubmit& submit)>;

class ExportRun {
public:
    // `workers` 0 stands for all cores; `stage` is the session's (a fake in tests).
    explicit ExportRun(ExportPolicy policy, unsigned workers = 0, StageStep stage = stageForGroupSync);

    // A list known whole: the report holds every file, in order.
    ExportReport run(std::vector<ExportItem> items, std::stop_token stop = {},
                     const ExportProgress& progress = {}) const;

    // Items as `feed` finds them, however many: no more than a few per
    // worker are held at once, and each item's results are handed to `done`
    // and not kept, so the report says only whether the run stopped early.
    // `feed` and `done` run on the caller's thread, `done` while `feed` runs
    // and after it returns.
    ExportReport run(const ExportFeed& feed, const ExportItemDone& done, std::stop_token stop = {}) const;

private:
    ExportReport stream(const ExportFeed& feed, const ExportItemDone& done, std::stop_token stop,
                        const ExportProgress& progress, std::size_t total) const;

    ExportPolicy policy_;
    unsigned workers_;
    StageStep stage_;
};

} // namespace gb
