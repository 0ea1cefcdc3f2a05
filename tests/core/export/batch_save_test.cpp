#include "core/export/batch_save.h"
#include "core/icons/icon_image.h"
#include "core/icons/icon_source.h"
#include "core/imagefiles/gray.h"
#include "support/printers.h"
#include "support/temp_folder.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <stop_token>

namespace gb {
namespace {

RgbaImage icon(int side, Rgba colour)
{
    RgbaImage image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = side / 2; x < side; ++x)
            image.at(x, y) = colour;
    return image;
}

BatchJob job(BatchKind kind, bool gray, int side, const std::string& folder)
{
    BatchJob j;
    j.kind = kind;
    j.gray = gray;
    j.prefix = "ab c";
    j.folder = folder;
    for (const Rgba colour : {Rgba{250, 0, 0, 255}, Rgba{0, 250, 0, 255}, Rgba{0, 0, 250, 255}})
        j.icons.push_back(std::make_shared<const RgbaImage>(icon(side, colour)));
    return j;
}

RgbaImage readIco(const std::string& path)
{
    const std::string bytes = test::readText(path);
    auto group = IconSource::fromBytes(ByteReader(std::as_bytes(std::span(bytes)))).group(0);
    EXPECT_TRUE(group);
    auto image = decodeIconImage(*group->entries.at(0).image);
    EXPECT_TRUE(image);
    return *image;
}

TEST(BatchSave, IcoFilesAreNumberedFromOneWithThePrefixAsTyped)
{
    test::TempFolder folder;
    const BatchReport report = runBatch(job(BatchKind::Ico, false, 32, folder.path().string()));
    EXPECT_EQ(report.written, 3u);
    EXPECT_EQ(report.failed, 0u);
    const RgbaImage second = readIco(folder.file("ab c_Icon2.ico"));
    EXPECT_EQ(second.width(), 32);
    EXPECT_EQ(second.at(31, 0), (Rgba{0, 250, 0, 255}));
    EXPECT_EQ(second.at(0, 0).a, 0); // the icon's own transparency
}

TEST(BatchSave, GrayIcoKeepsAlphaAndGraysColourInTwoPasses)
{
    test::TempFolder folder;
    std::vector<std::pair<BatchPass, std::size_t>> seen;
    runBatch(job(BatchKind::Ico, true, 16, folder.path().string()),
             [&](BatchPass pass, std::size_t done, std::size_t total) {
                 EXPECT_EQ(total, 3u);
                 seen.emplace_back(pass, done);
             });
    const std::vector<std::pair<BatchPass, std::size_t>> expected{
        {BatchPass::Converting, 1}, {BatchPass::Converting, 2}, {BatchPass::Converting, 3},
        {BatchPass::Saving, 1},     {BatchPass::Saving, 2},     {BatchPass::Saving, 3}};
    EXPECT_EQ(seen, expected);
    const RgbaImage gray = readIco(folder.file("ab c_Icon1.ico"));
    const std::uint8_t v = cltogry(250, 0, 0);
    EXPECT_EQ(gray.at(15, 15), (Rgba{v, v, v, 255}));
    EXPECT_EQ(gray.at(0, 0).a, 0);
}

// Rows that share one stored image share its gray, made when the first of
// them is written and let go after the last.
TEST(BatchSave, GrayIcoRowsSharingAnImageEachGetItsGray)
{
    test::TempFolder folder;
    BatchJob shared = job(BatchKind::Ico, true, 16, folder.path().string());
    shared.icons = {shared.icons[0], shared.icons[1], shared.icons[0], shared.icons[0]};
    EXPECT_EQ(runBatch(shared).written, 4u);
    const std::uint8_t red = cltogry(250, 0, 0), green = cltogry(0, 250, 0);
    for (const auto& [n, v] : {std::pair{1, red}, std::pair{2, green}, std::pair{3, red}, std::pair{4, red}})
        EXPECT_EQ(readIco(folder.file("ab c_Icon" + std::to_string(n) + ".ico")).at(15, 15),
                  (Rgba{v, v, v, 255}))
            << n;
}

TEST(BatchSave, BitmapsShowTheIconOnTheButtonFaceAndGrayKeeps192)
{
    test::TempFolder folder;
    runBatch(job(BatchKind::Bmp, true, 16, folder.path().string()));
    const std::string bmp = test::readText(folder.file("ab c_bmp3.bmp"));
    ASSERT_EQ(bmp.size(), 54u + 16 * 16 * 3);
    // The bottom-left pixel is transparent in the icon: the button face, still 192.
    EXPECT_EQ(static_cast<unsigned char>(bmp[54]), 192);
    EXPECT_EQ(static_cast<unsigned char>(bmp[54 + 15 * 3]), cltogry(0, 0, 250));
}

TEST(BatchSave, FilesThatCannotBeWrittenAreCountedAndTheRestWritten)
{
    test::TempFolder folder;
    std::filesystem::create_directory(folder.path() / "ab c_Icon2.ico"); // in the way, even for root
    const BatchReport report = runBatch(job(BatchKind::Ico, false, 32, folder.path().string()));
    EXPECT_EQ(report.written, 2u);
    EXPECT_EQ(report.failed, 1u);
    EXPECT_NE(report.firstFailure.find("ab c_Icon2.ico: cannot replace"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() / "ab c_Icon3.ico"));
}

TEST(BatchSave, AMissingFolderFailsEveryFile)
{
    test::TempFolder folder;
    const BatchReport report = runBatch(job(BatchKind::Bmp, false, 32, folder.file("gone")));
    EXPECT_EQ(report.written, 0u);
    EXPECT_EQ(report.failed, 3u);
}

TEST(BatchSave, ASecondBatchWithTheSamePrefixReplacesTheFiles)
{
    test::TempFolder folder;
    runBatch(job(BatchKind::Ico, false, 32, folder.path().string()));
    runBatch(job(BatchKind::Ico, false, 16, folder.path().string()));
    EXPECT_EQ(readIco(folder.file("ab c_Icon1.ico")).width(), 16);
}

TEST(BatchSave, CancelledBatchEndsBeforeTheNextFileAndKeepsTheWrittenOnesWhole)
{
    test::TempFolder folder;
    std::atomic<bool> cancelled{false};
    const BatchReport report = runBatch(
        job(BatchKind::Ico, false, 32, folder.path().string()),
        [&](BatchPass, std::size_t done, std::size_t) {
            if (done == 1)
                cancelled = true; // as a closing window would, between two files
        },
        &cancelled);
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.written, 1u);
    EXPECT_EQ(report.failed, 0u);
    EXPECT_EQ(readIco(folder.file("ab c_Icon1.ico")).width(), 32);
    EXPECT_FALSE(std::filesystem::exists(folder.file("ab c_Icon2.ico")));
}

TEST(BatchSave, CancelledGrayBatchStopsWhileConverting)
{
    test::TempFolder folder;
    std::atomic<bool> cancelled{false};
    const BatchReport report = runBatch(
        job(BatchKind::Ico, true, 32, folder.path().string()),
        [&](BatchPass pass, std::size_t done, std::size_t) {
            if (pass == BatchPass::Converting && done == 2)
                cancelled = true;
        },
        &cancelled);
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.written, 0u);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(BatchSave, FirstFailureNamesItsFileAndProblem)
{
    test::TempFolder folder;
    const BatchReport report = runBatch(job(BatchKind::Bmp, false, 32, folder.file("gone")));
    EXPECT_EQ(report.firstFailedPath, folder.file("gone") + "/ab c_bmp1.bmp");
    EXPECT_EQ(report.firstWriteError.problem, WriteProblem::FolderMissing);
}

TEST(BackgroundBatch, DestroyingARunningBatchEndsIt)
{
    test::TempFolder folder;
    BatchJob many = job(BatchKind::Ico, true, 32, folder.path().string());
    many.icons.resize(20000, many.icons[0]);
    {
        BackgroundBatch batch;
        batch.start(std::move(many));
    } // joins after at most the file in hand
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++files;
    EXPECT_LT(files, 20000u);
}

TEST(BackgroundBatch, ReportsWhenFinished)
{
    test::TempFolder folder;
    BackgroundBatch batch;
    batch.start(job(BatchKind::Ico, false, 32, folder.path().string()));
    while (!batch.state().finished)
        std::this_thread::yield();
    EXPECT_EQ(batch.state().report.written, 3u);
    EXPECT_FALSE(batch.running());
}

} // namespace
} // namespace gb

namespace gb {
namespace {

// Rows that share a stored image are grayed once between them, on whichever
// worker comes first, and every row still lands under its own number.
TEST(BatchSave, RowsKeepTheirNumbersWhateverTheNumberOfWorkers)
{
    for (const unsigned workers : {1U, 2U, 4U}) {
        SCOPED_TRACE(workers);
        test::TempFolder folder;
        BatchJob shared = job(BatchKind::Ico, true, 16, folder.path().string());
        for (int i = 0; i < 9; ++i)
            shared.icons.push_back(shared.icons[static_cast<std::size_t>(i % 3)]);
        std::vector<std::size_t> saved;
        const BatchReport report = runBatch(
            shared,
            [&](BatchPass pass, std::size_t done, std::size_t) {
                if (pass == BatchPass::Saving)
                    saved.push_back(done);
            },
            std::stop_token{}, workers);
        EXPECT_EQ(report.written, 12u);
        ASSERT_EQ(saved.size(), 12u);
        for (std::size_t n = 1; n <= 12; ++n) {
            EXPECT_EQ(saved[n - 1], n);
            const Rgba source = shared.icons[n - 1]->at(15, 0);
            const std::uint8_t v = cltogry(source.r, source.g, source.b);
            EXPECT_EQ(readIco(folder.file("ab c_Icon" + std::to_string(n) + ".ico")).at(15, 0),
                      (Rgba{v, v, v, 255}));
        }
    }
}

TEST(BatchSave, AStopTokenEndsTheBatchBeforeItsNextFile)
{
    test::TempFolder folder;
    std::stop_source stop;
    const BatchReport report = runBatch(
        job(BatchKind::Bmp, false, 32, folder.path().string()),
        [&](BatchPass, std::size_t done, std::size_t) {
            if (done == 2)
                stop.request_stop();
        },
        stop.get_token(), 2);
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.written, 2u);
    EXPECT_FALSE(std::filesystem::exists(folder.file("ab c_bmp3.bmp")));
}

} // namespace
} // namespace gb
