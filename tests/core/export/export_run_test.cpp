#include "core/export/export_run.h"
#include "core/export/write_allowance.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>
#include <variant>

namespace gb {
namespace {

using O = ExportOutcome;
using Policy = ExportPolicy::OnFailure;

std::vector<std::byte> bytesOf(const std::string& text)
{
    const auto bytes = std::as_bytes(std::span(text));
    return {bytes.begin(), bytes.end()};
}

// Files 1..count named "n.ico" in `folder`, each holding "file n". The ones
// in `unprepared` cannot be made; a preparation may be slowed down.
std::vector<ExportItem> numberedFiles(const test::TempFolder& folder, std::size_t count,
                                      std::set<std::size_t> unprepared = {},
                                      std::function<void(std::size_t)> slow = {})
{
    std::vector<ExportItem> items;
    for (std::size_t n = 1; n <= count; ++n)
        items.push_back(
            ExportItem{ExportFile{folder.file(std::to_string(n) + ".ico"), n, "icon " + std::to_string(n)},
                       [n, unprepared, slow]() -> std::expected<std::vector<std::byte>, std::string> {
                           if (slow)
                               slow(n);
                           if (unprepared.contains(n))
                               return std::unexpected(std::string("cannot be encoded"));
                           return bytesOf("file " + std::to_string(n));
                       },
                       0, 0});
    return items;
}

// A disk that refuses the files named, with the problem given; the others
// are staged for real.
StageStep refusing(std::set<std::string> names, WriteProblem problem, int systemError)
{
    return [names = std::move(names), problem,
            systemError](const std::string& path,
                         std::span<const std::byte> bytes) -> std::expected<StagedFile, WriteFailure> {
        if (names.contains(std::filesystem::path(path).filename().string()))
            return std::unexpected(WriteFailure{systemError, "cannot write " + path, problem});
        return stageForGroupSync(path, bytes);
    };
}

struct PolicyCase {
    const char* name;
    Policy onFailure;
    std::set<std::size_t> unprepared;
    std::set<std::string> refused;
    WriteProblem problem;
    std::vector<O> outcomes; // files 1..5
    bool diskFull;
};

class ExportRunPolicy : public testing::TestWithParam<PolicyCase> {};

TEST_P(ExportRunPolicy, EveryFileIsReportedInTheOrderGiven)
{
    const PolicyCase& c = GetParam();
    const test::TempFolder folder;
    const ExportReport report =
        ExportRun(ExportPolicy{c.onFailure, ExportPolicy::Allowance::None}, 2,
                  refusing(c.refused, c.problem, c.problem == WriteProblem::Full ? ENOSPC : EACCES))
            .run(numberedFiles(folder, c.outcomes.size(), c.unprepared));
    ASSERT_EQ(report.files.size(), c.outcomes.size());
    for (std::size_t i = 0; i < c.outcomes.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(report.files[i].file.number, i + 1);
        EXPECT_EQ(report.files[i].outcome, c.outcomes[i]);
        EXPECT_EQ(std::filesystem::exists(report.files[i].file.path), c.outcomes[i] == O::Written);
        if (c.outcomes[i] == O::Written) {
            EXPECT_EQ(test::readText(report.files[i].file.path), "file " + std::to_string(i + 1));
        }
    }
    EXPECT_EQ(report.diskFull, c.diskFull);
    EXPECT_FALSE(report.stopped);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExportRunPolicy,
    testing::Values(PolicyCase{"AllWritten",
                               Policy::StopAtFullDisk,
                               {},
                               {},
                               WriteProblem::Other,
                               {O::Written, O::Written, O::Written, O::Written, O::Written},
                               false},
                    PolicyCase{"AFileNotMadeInTheMiddle",
                               Policy::GoOn,
                               {3},
                               {},
                               WriteProblem::Other,
                               {O::Written, O::Written, O::NotPrepared, O::Written, O::Written},
                               false},
                    PolicyCase{"AFileRefusedInTheMiddleGoesOn",
                               Policy::StopAtFullDisk,
                               {},
                               {"3.ico"},
                               WriteProblem::Denied,
                               {O::Written, O::Written, O::NotWritten, O::Written, O::Written},
                               false},
                    PolicyCase{"AFullDiskStopsTheRest",
                               Policy::StopAtFullDisk,
                               {},
                               {"3.ico", "4.ico", "5.ico"},
                               WriteProblem::Full,
                               {O::Written, O::Written, O::NotWritten, O::NotTried, O::NotTried},
                               true},
                    PolicyCase{"AFullDiskIsTriedOnWhenAskedTo",
                               Policy::GoOn,
                               {},
                               {"3.ico"},
                               WriteProblem::Full,
                               {O::Written, O::Written, O::NotWritten, O::Written, O::Written},
                               false}),
    [](const testing::TestParamInfo<PolicyCase>& param) { return std::string(param.param.name); });

TEST(ExportRun, TheFirstFailureAndTheCountsFollowTheOrderGiven)
{
    const test::TempFolder folder;
    const ExportReport report =
        ExportRun(ExportPolicy{}, 2, refusing({"2.ico"}, WriteProblem::Denied, EACCES))
            .run(numberedFiles(folder, 4, {3}));
    ASSERT_NE(report.firstFailure(), nullptr);
    EXPECT_EQ(report.firstFailure()->file.number, 2u);
    EXPECT_EQ(report.firstFailure()->failure.problem, WriteProblem::Denied);
    EXPECT_EQ(report.files[2].reason, "cannot be encoded");
    EXPECT_EQ(report.written(), 2u);
    EXPECT_EQ(report.failed(), 2u);
}

TEST(ExportRun, AStopRequestEndsTheRunBetweenTwoFiles)
{
    const test::TempFolder folder;
    std::stop_source stop;
    std::vector<std::size_t> progress;
    const ExportReport report =
        ExportRun(ExportPolicy{}, 2)
            .run(numberedFiles(folder, 6), stop.get_token(), [&](std::size_t done, std::size_t total) {
                EXPECT_EQ(total, 6u);
                progress.push_back(done);
                if (done == 2)
                    stop.request_stop(); // as a closing window would
            });
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(progress, (std::vector<std::size_t>{1, 2}));
    ASSERT_EQ(report.files.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(report.files[i].outcome, i < 2 ? O::Written : O::NotReached) << i + 1;
    EXPECT_EQ(test::readText(folder.file("2.ico")), "file 2"); // in place, whole
    EXPECT_FALSE(std::filesystem::exists(folder.file("3.ico")));
    EXPECT_EQ(report.failed(), 0u);
}

TEST(ExportRun, NumberingStaysInOrderWhateverOrderTheWorkersFinishIn)
{
    for (const unsigned workers : {1U, 2U, 4U}) {
        SCOPED_TRACE(workers);
        const test::TempFolder folder;
        std::mutex mutex;
        std::vector<std::string> staged; // the order the session sees
        const StageStep recording = [&](const std::string& path, std::span<const std::byte> bytes) {
            {
                const std::lock_guard lock(mutex);
                staged.push_back(std::filesystem::path(path).filename().string());
            }
            return stageForGroupSync(path, bytes);
        };
        // Earlier files take longer, so later ones are made first.
        const std::size_t count = 8;
        const ExportReport report =
            ExportRun(ExportPolicy{}, workers, recording)
                .run(numberedFiles(folder, count, {}, [count](std::size_t n) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(2 * (count - n)));
                }));
        ASSERT_EQ(report.files.size(), count);
        for (std::size_t n = 1; n <= count; ++n) {
            EXPECT_EQ(report.files[n - 1].file.number, n);
            EXPECT_EQ(report.files[n - 1].outcome, O::Written);
            EXPECT_EQ(staged[n - 1], std::to_string(n) + ".ico");
            EXPECT_EQ(test::readText(folder.file(std::to_string(n) + ".ico")), "file " + std::to_string(n));
        }
    }
}

TEST(ExportRun, AnInputWritesItsAllowanceAndNoMore)
{
    const test::TempFolder folder;
    // Three files of half the smallest allowance from one input: the second
    // spends it (written whole), the third is not written. Another input
    // has an allowance of its own.
    const std::size_t half = WriteAllowance::kMinBytes / 2;
    std::vector<ExportItem> items;
    for (std::size_t n = 1; n <= 4; ++n)
        items.push_back(ExportItem{ExportFile{folder.file(std::to_string(n)), n, {}},
                                   [n, half]() -> std::expected<std::vector<std::byte>, std::string> {
                                       return std::vector<std::byte>(n == 4 ? 1 : half);
                                   },
                                   n == 4 ? 1U : 0U, 100});
    const ExportReport report =
        ExportRun(ExportPolicy{Policy::StopAtFullDisk, ExportPolicy::Allowance::PerInput}, 2)
            .run(std::move(items));
    ASSERT_EQ(report.files.size(), 4u);
    EXPECT_EQ(report.files[0].outcome, O::Written);
    EXPECT_EQ(report.files[1].outcome, O::Written);
    EXPECT_EQ(report.files[2].outcome, O::OverAllowance);
    EXPECT_EQ(report.files[3].outcome, O::Written);
    EXPECT_FALSE(std::filesystem::exists(folder.file("3")));
}

TEST(ExportRun, WithoutAnAllowanceEveryFileIsWritten)
{
    const test::TempFolder folder;
    const ExportReport report = ExportRun(ExportPolicy{}, 1).run(numberedFiles(folder, 3));
    EXPECT_EQ(report.written(), 3u);
}

// Items of several files: each file "ITEM-FILE" holds `size` bytes. Items
// are handed over in order, each once its files are in place, with the
// results of its own files; an item never prepared has none.
struct ManyFilesCase {
    const char* name;
    struct Item {
        std::size_t input;
        std::vector<std::size_t> sizes; // one per file
        bool allowanceBeforeEachFile = true;
    };
    std::vector<Item> items;
    std::set<std::string> refusedFull; // files the disk is full for
    // Per item: its files' outcomes, or what it was skipped as.
    std::vector<std::variant<std::vector<O>, O>> expected;
    bool diskFull;
};

class ExportRunManyFiles : public testing::TestWithParam<ManyFilesCase> {};

TEST_P(ExportRunManyFiles, EachItemIsHandedOverInOrderOnceItsFilesAreInPlace)
{
    const ManyFilesCase& c = GetParam();
    // On one worker an item is made at its turn, so one skipped is seen
    // never made; on two, later items are made first.
    for (const unsigned workers : {1U, 2U}) {
        SCOPED_TRACE(workers);
        const test::TempFolder folder;
        std::mutex mutex;
        std::set<std::size_t> prepared;
        std::vector<ExportItem> items;
        for (std::size_t i = 0; i < c.items.size(); ++i) {
            const ManyFilesCase::Item& wanted = c.items[i];
            ExportItem item{{}, {}, wanted.input, 100};
            item.allowanceBeforeEachFile = wanted.allowanceBeforeEachFile;
            item.prepareFiles = [&, i, wanted] {
                // Earlier items take longer, so later ones are made first.
                if (workers > 1)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2 * (c.items.size() - i)));
                {
                    const std::lock_guard lock(mutex);
                    prepared.insert(i);
                }
                std::vector<PreparedExportFile> files;
                for (std::size_t f = 0; f < wanted.sizes.size(); ++f)
                    files.push_back(
                        {ExportFile{folder.file(std::to_string(i) + "-" + std::to_string(f)), i, {}},
                         std::vector<std::byte>(wanted.sizes[f])});
                return files;
            };
            items.push_back(std::move(item));
        }
        const StageStep stage =
            [&](const std::string& path,
                std::span<const std::byte> bytes) -> std::expected<StagedFile, WriteFailure> {
            if (c.refusedFull.contains(std::filesystem::path(path).filename().string()))
                return std::unexpected(WriteFailure{ENOSPC, "no space", WriteProblem::Full});
            return stageForGroupSync(path, bytes);
        };

        std::size_t next = 0;
        const ExportReport report =
            ExportRun(ExportPolicy{Policy::StopAtFullDisk, ExportPolicy::Allowance::PerInput}, workers, stage)
                .run(
                    [&](const ExportSubmit& submit) {
                        for (ExportItem& item : items)
                            submit(std::move(item));
                    },
                    [&](const ExportItemResult& result) {
                        ASSERT_EQ(result.item, next++);
                        SCOPED_TRACE(result.item);
                        const auto& expected = c.expected[result.item];
                        if (const O* skipped = std::get_if<O>(&expected)) {
                            EXPECT_EQ(result.skipped, *skipped);
                            EXPECT_TRUE(result.files.empty());
                            if (workers == 1) {
                                EXPECT_FALSE(prepared.contains(result.item)); // never made
                            }
                            return;
                        }
                        EXPECT_FALSE(result.skipped);
                        const auto& outcomes = std::get<std::vector<O>>(expected);
                        ASSERT_EQ(result.files.size(), outcomes.size());
                        for (std::size_t f = 0; f < outcomes.size(); ++f) {
                            EXPECT_EQ(result.files[f].outcome, outcomes[f]) << f;
                            EXPECT_EQ(result.files[f].file.path,
                                      folder.file(std::to_string(result.item) + "-" + std::to_string(f)));
                            // Handed over in place, not merely staged.
                            EXPECT_EQ(std::filesystem::exists(result.files[f].file.path),
                                      outcomes[f] == O::Written);
                        }
                    });
        EXPECT_EQ(next, c.items.size());
        EXPECT_EQ(report.diskFull, c.diskFull);
        EXPECT_TRUE(report.files.empty()); // fed: nothing is kept
    }
}

constexpr std::size_t kHalf = WriteAllowance::kMinBytes / 2;

INSTANTIATE_TEST_SUITE_P(
    Table, ExportRunManyFiles,
    testing::Values(
        ManyFilesCase{"EveryFileOfEveryItem",
                      {{0, {1, 2, 3}}, {1, {4}}, {2, {}}, {3, {5, 6}}},
                      {},
                      {std::vector<O>{O::Written, O::Written, O::Written}, std::vector<O>{O::Written},
                       std::vector<O>{}, std::vector<O>{O::Written, O::Written}},
                      false},
        // The allowance is the input's, whichever item spends it: the file
        // that crosses it is written whole, then neither the rest of the
        // item nor the input's next item (never prepared); another input
        // goes on.
        ManyFilesCase{"AllowanceIsPerInputAcrossItemsAndFiles",
                      {{0, {kHalf, kHalf, 1}}, {0, {1}}, {1, {1}}},
                      {},
                      {std::vector<O>{O::Written, O::Written, O::OverAllowance}, O::OverAllowance,
                       std::vector<O>{O::Written}},
                      false},
        // A set written whole or not at all is asked once, before it.
        ManyFilesCase{"AllowanceAskedOnceBeforeAWholeSet",
                      {{0, {kHalf}}, {0, {kHalf, kHalf, 1}, false}, {0, {1}}},
                      {},
                      {std::vector<O>{O::Written}, std::vector<O>{O::Written, O::Written, O::Written},
                       O::OverAllowance},
                      false},
        // No space in the middle of an item: its files after it are not
        // tried, nor are the items after it (never prepared).
        ManyFilesCase{"FullDiskInTheMiddleOfAnItemsFiles",
                      {{0, {1}}, {1, {1, 2, 3}}, {2, {1}}, {3, {1}}},
                      {"1-1"},
                      {std::vector<O>{O::Written}, std::vector<O>{O::Written, O::NotWritten, O::NotTried},
                       O::NotTried, O::NotTried},
                      true}),
    [](const testing::TestParamInfo<ManyFilesCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace gb
