// Reading files a range at a time: a file that shrinks between two reads,
// as a file being rewritten does while a search reads it, yields no icons
// or the icons read so far, and never a crash.

#include "core/bytes/byte_source.h"
#include "core/icons/icon_source.h"
#include "support/temp_folder.h"

#include "support/fixture_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace gb {
namespace {

using test::readFixture;

// A file that still claims its full size but has been cut to nothing after
// the first `reads` reads: every later read comes back empty.
class ShrinkingSource final : public ByteSource {
public:
    ShrinkingSource(std::vector<std::byte> bytes, int reads) : bytes_(std::move(bytes)), readsLeft_(reads) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const override
    {
        if (readsLeft_ <= 0)
            return 0;
        --readsLeft_;
        return MemorySource(ByteReader(std::span(bytes_))).readAt(offset, out);
    }

private:
    std::vector<std::byte> bytes_;
    mutable int readsLeft_;
};

void drawEverything(const IconSource& source)
{
    for (int i = 0; i < source.count(); ++i)
        (void)source.icon(i);
}

class TruncatedBetweenReads : public testing::TestWithParam<const char*> {};

TEST_P(TruncatedBetweenReads, TruncatedFileBetweenReadsYieldsNoCrash)
{
    const std::vector<std::byte> whole = readFixture(GetParam());
    ASSERT_FALSE(whole.empty());
    const int full = IconSource::fromBytes(ByteReader(std::span(whole))).count();
    ASSERT_GT(full, 0);
    // Cut after every read in turn, from the first to past the last.
    for (int reads = 0; reads < 64; ++reads) {
        const IconSource source = IconSource::fromSource(std::make_unique<ShrinkingSource>(whole, reads));
        EXPECT_LE(source.count(), full) << "cut after " << reads << " reads";
        drawEverything(source);
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, TruncatedBetweenReads,
                         testing::Values("icons32.exe", "icons64.dll", "icons16.exe", "mixed_depths.ico",
                                         "spinner.ani"));

TEST(PositionedReads, LargeFileCutAfterIndexingDrawsBlankIconsWithoutCrashing)
{
    // Padded past the size read whole, so it is read a range at a time.
    std::vector<std::byte> bytes = readFixture("icons32.exe");
    ASSERT_FALSE(bytes.empty());
    bytes.resize(IconSource::kWholeReadLimit * 2);
    const test::TempFolder folder;
    const std::string path = folder.write("big.exe", bytes);

    auto source = IconSource::open(path);
    ASSERT_TRUE(source);
    ASSERT_GT(source->count(), 0);
    std::filesystem::resize_file(path, 512); // headers only: the resources are gone
    for (int i = 0; i < source->count(); ++i) {
        auto icon = source->icon(i);
        ASSERT_TRUE(icon);
        EXPECT_FALSE(icon->largeEntry.found);
    }
}

TEST(PositionedReads, LargeFileDrawsTheSameIconsAsItsBytesInMemory)
{
    const std::vector<std::byte> bytes = readFixture("icons32.exe");
    const IconSource inMemory = IconSource::fromBytes(ByteReader(std::span(bytes)));
    std::vector<std::byte> padded = bytes;
    padded.resize(IconSource::kWholeReadLimit * 2);
    const test::TempFolder folder;
    auto fromFile = IconSource::open(folder.write("big.exe", padded));
    ASSERT_TRUE(fromFile);
    ASSERT_EQ(fromFile->count(), inMemory.count());
    for (int i = 0; i < inMemory.count(); ++i) {
        auto a = inMemory.icon(i);
        auto b = fromFile->icon(i);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->largeEntry.label(), b->largeEntry.label());
        EXPECT_EQ(a->smallEntry.label(), b->smallEntry.label());
        EXPECT_TRUE(a->large.pixels() == b->large.pixels());
    }
}

} // namespace
} // namespace gb
