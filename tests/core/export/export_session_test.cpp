#include "core/export/export_session.h"
#include "support/printers.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace gb {
namespace {

std::span<const std::byte> bytesOf(const std::string& text)
{
    return std::as_bytes(std::span(text));
}

struct Reported {
    std::size_t number;
    bool written;
};

struct GroupCase {
    std::size_t files;
    std::size_t reportedBeforeFinish; // whole groups go into place while files are still added
};

class ExportSessionGroups : public testing::TestWithParam<GroupCase> {};

TEST_P(ExportSessionGroups, EveryFileIsReportedOnceInTheOrderAddedWhenItsGroupIsInPlace)
{
    const GroupCase c = GetParam();
    test::TempFolder folder;
    std::vector<Reported> reports;
    ExportSession session([&](const ExportFile& file, const std::expected<void, WriteFailure>& written) {
        EXPECT_EQ(test::readText(file.path), file.source); // whole, and under its own name
        reports.push_back({file.number, written.has_value()});
    });
    for (std::size_t n = 1; n <= c.files; ++n) {
        const std::string contents = "file " + std::to_string(n);
        ASSERT_TRUE(
            session.add(ExportFile{folder.file(std::to_string(n) + ".ico"), n, contents}, bytesOf(contents)));
    }
    EXPECT_EQ(reports.size(), c.reportedBeforeFinish);
    session.finish();

    ASSERT_EQ(reports.size(), c.files);
    for (std::size_t n = 1; n <= c.files; ++n) {
        EXPECT_EQ(reports[n - 1].number, n);
        EXPECT_TRUE(reports[n - 1].written);
    }
    // No staged file is left beside them.
    EXPECT_EQ(static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder.path()),
                                                     std::filesystem::directory_iterator())),
              c.files);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ExportSessionGroups,
    testing::Values(GroupCase{1, 0}, // a single save
                    GroupCase{ExportSession::kFilesSyncedEach + 1, 0},
                    GroupCase{ExportSession::kFilesPerSync, ExportSession::kFilesPerSync},
                    GroupCase{ExportSession::kFilesPerSync + 3, ExportSession::kFilesPerSync}));

TEST(ExportSession, AFileRefusedWhenStagedIsNotReportedAndTheFilesBeforeItStillGoIntoPlace)
{
    test::TempFolder folder;
    int staged = 0;
    const StageStep diskFillsUp =
        [&](const std::string& path,
            std::span<const std::byte> bytes) -> std::expected<StagedFile, WriteFailure> {
        if (++staged < 3)
            return stageForGroupSync(path, bytes);
        return std::unexpected(
            WriteFailure{ENOSPC, "cannot write: No space left on device", WriteProblem::Full});
    };
    std::filesystem::create_directory(folder.path() / "2.ico"); // its rename fails, even for root
    std::vector<std::string> reports;
    ExportSession session(
        [&](const ExportFile& file, const std::expected<void, WriteFailure>& written) {
            reports.push_back(std::filesystem::path(file.path).filename().string() + ": " +
                              (written ? "written" : written.error().message.substr(0, 14)));
        },
        diskFillsUp);
    EXPECT_TRUE(session.add(ExportFile{folder.file("1.ico"), 1, {}}, bytesOf("one")));
    EXPECT_TRUE(session.add(ExportFile{folder.file("2.ico"), 2, {}}, bytesOf("two")));
    const auto third = session.add(ExportFile{folder.file("3.ico"), 3, {}}, bytesOf("three"));
    ASSERT_FALSE(third);
    EXPECT_EQ(third.error().problem, WriteProblem::Full);
    EXPECT_TRUE(reports.empty());
    session.finish();
    EXPECT_EQ(reports, (std::vector<std::string>{"1.ico: written", "2.ico: cannot replace"}));
    EXPECT_EQ(test::readText(folder.file("1.ico")), "one");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "3.ico"));
}

TEST(ExportSession, FinishReturnsEveryFileInTheOrderAddedRefusalsIncluded)
{
    test::TempFolder folder;
    const StageStep refusesTheSecond =
        [&](const std::string& path,
            std::span<const std::byte> bytes) -> std::expected<StagedFile, WriteFailure> {
        if (path.ends_with("2.ico"))
            return std::unexpected(
                WriteFailure{EACCES, "cannot write: Permission denied", WriteProblem::Denied});
        return stageForGroupSync(path, bytes);
    };
    std::filesystem::create_directory(folder.path() / "3.ico"); // its rename fails
    ExportSession session({}, refusesTheSecond);
    for (std::size_t n = 1; n <= 4; ++n)
        (void)session.add(ExportFile{folder.file(std::to_string(n) + ".ico"), n, {}}, bytesOf("x"));
    const ExportReport report = session.finish();
    ASSERT_EQ(report.files.size(), 4u);
    const ExportOutcome expected[] = {ExportOutcome::Written, ExportOutcome::NotWritten,
                                      ExportOutcome::NotWritten, ExportOutcome::Written};
    for (std::size_t n = 1; n <= 4; ++n) {
        EXPECT_EQ(report.files[n - 1].file.number, n);
        EXPECT_EQ(report.files[n - 1].outcome, expected[n - 1]) << n;
    }
    EXPECT_EQ(report.files[1].failure.problem, WriteProblem::Denied);
    EXPECT_EQ(report.firstFailure(), &report.files[1]);
    // The next finish reports only what was added after this one.
    EXPECT_TRUE(session.finish().files.empty());
}

TEST(ExportSession, FilesStagedButNeverFinishedAreRemovedAndNoneIsRenamed)
{
    test::TempFolder folder;
    {
        ExportSession session({});
        ASSERT_TRUE(session.add(ExportFile{folder.file("a.ico"), 1, {}}, bytesOf("a")));
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

} // namespace
} // namespace gb
