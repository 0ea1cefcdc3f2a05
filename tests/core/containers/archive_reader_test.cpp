// The archive reader process and its fence: archives whose headers declare
// millions of entries stop within the reader's memory and time, a reader
// that dies, hangs or breaks the channel's rules stops its container, and
// the channel's messages keep their fields. header_bomb.7z and
// sparse_bomb.tar.xz are made by tests/fixtures/containers/make_header_bombs.cpp.

#include "core/bytes/file_source.h"
#include "core/containers/archive_channel.h"
#include "core/containers/archive_reader.h"
#include "core/containers/installer_streams.h"

#include "support/fake_archive_reader.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace gb {
namespace {

const std::string kContainers = GB_FIXTURE_DIR "/containers/";

struct ReadToTheEnd {
    std::optional<ArchiveFault> fault;
    int entries = 0;
};

// Every entry's header and data, as a walk that wants everything reads them.
ReadToTheEnd readAll(const ByteSource& source, DecompressionAllowance& allowance, ReaderFence& fence)
{
    ReadToTheEnd result;
    auto reader = ArchiveReader::open(source, allowance, fence, {});
    if (!reader) {
        result.fault = reader.error();
        return result;
    }
    std::vector<std::byte> buffer(64 * 1024);
    for (;;) {
        auto entry = reader->next();
        if (!entry) {
            result.fault = entry.error();
            return result;
        }
        if (!*entry)
            return result;
        ++result.entries;
        for (;;) {
            auto n = reader->read(buffer);
            if (!n) {
                result.fault = n.error();
                return result;
            }
            if (*n == 0)
                break;
        }
    }
}

// The reader's memory is watched every few milliseconds: what it may
// allocate between two looks comes on top of the limit.
constexpr std::uint64_t kWatchSlack = std::uint64_t{64} << 20;

TEST(ArchiveReaderFence, HeaderBombsStopWithinTheReadersMemoryAndTime)
{
    for (const char* name : {"header_bomb.7z", "sparse_bomb.tar.xz"}) {
        SCOPED_TRACE(name);
        auto file = FileSource::open(kContainers + name);
        ASSERT_TRUE(file);
        const ContainerLimits limits;
        DecompressionAllowance allowance = DecompressionAllowance::forContainer(file->size(), limits);
        ReaderFence fence = ReaderFence::forContainer(file->size(), limits);
        const ReadToTheEnd read = readAll(*file, allowance, fence);
        ASSERT_TRUE(read.fault);
        EXPECT_EQ(read.fault->scope, FaultScope::Container);
        EXPECT_TRUE(read.fault->problem == ContainerProblem::Hostile ||
                    read.fault->problem == ContainerProblem::Damaged)
            << describe(ContainerNote{{}, read.fault->problem, read.fault->detail});
        // Stopped by its memory, or on a busy machine by its time: either
        // way within both.
        EXPECT_LE(fence.peakResident(), limits.readerMemory + kWatchSlack);
    }
}

TEST(ArchiveReaderFence, HeaderBombStopsTheWalkWithANoteAndTheSearchGoesOn)
{
    for (const char* name : {"header_bomb.7z", "sparse_bomb.tar.xz"}) {
        SCOPED_TRACE(name);
        auto file = FileSource::open(kContainers + name);
        ASSERT_TRUE(file);
        int members = 0;
        const auto notes = walkContainer(*file, {}, [&](ContainerMember) { ++members; });
        ASSERT_EQ(notes.size(), 1U);
        EXPECT_TRUE(notes[0].problem == ContainerProblem::Hostile ||
                    notes[0].problem == ContainerProblem::Damaged);
        EXPECT_EQ(members, 0);
    }
    // The next file is read as ever.
    auto next = FileSource::open(kContainers + "setup.zip");
    ASSERT_TRUE(next);
    int members = 0;
    EXPECT_TRUE(walkContainer(*next, {}, [&](ContainerMember) { ++members; }).empty());
    EXPECT_EQ(members, 2);
}

using test::FakeReader;

TEST(ArchiveReaderFence, AReaderThatFailsStopsItsContainerWithItsReason)
{
    const struct {
        const char* script;
        ContainerProblem problem;
        const char* detail;
    } cases[] = {
        {"exit 7", ContainerProblem::Hostile, "the reader ended with status 7"},
        {"kill -SEGV $$", ContainerProblem::Hostile, "the reader ended by signal 11"},
        {"exec sleep 30", ContainerProblem::Hostile, "took more than 1 s"},
        // A tag no reader sends.
        {"printf 'X\\000\\000\\000\\000\\000\\000\\000\\000' >&4; exec sleep 30", ContainerProblem::Hostile,
         "the reader's reply broke the rules: an unknown reply"},
        // A name longer than any reply may carry.
        {"printf 'O\\000\\000\\000\\000\\000\\000\\000\\000' >&4; head -c 1 <&4 >/dev/null;"
         "printf 'E\\000\\000\\000\\000\\000\\000\\000\\000\\001\\000\\000\\000\\000\\000\\000\\000\\000"
         "\\377\\377\\377\\377' >&4; exec sleep 30",
         ContainerProblem::Hostile, "the reader's reply broke the rules: a text too long"},
    };
    auto file = FileSource::open(kContainers + "setup.zip");
    ASSERT_TRUE(file);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const FakeReader fake(c.script);
        const ContainerLimits limits{.readerSecondsAtLeast = 1};
        DecompressionAllowance allowance = DecompressionAllowance::forContainer(file->size(), limits);
        ReaderFence fence = ReaderFence::forContainer(file->size(), limits);
        const ReadToTheEnd read = readAll(*file, allowance, fence);
        ASSERT_TRUE(read.fault);
        EXPECT_EQ(read.fault->problem, c.problem);
        EXPECT_EQ(read.fault->detail, c.detail);
    }
}

TEST(ArchiveReaderFence, AMissingReaderIsSaidSo)
{
    ::setenv("GLIMMERBOX_ARCHIVE_READER", "/nonexistent/glimmerbox-archive-reader", 1);
    auto file = FileSource::open(kContainers + "setup.zip");
    ASSERT_TRUE(file);
    const auto notes = walkContainer(*file, {}, [](ContainerMember) {});
    ::unsetenv("GLIMMERBOX_ARCHIVE_READER");
    ASSERT_EQ(notes.size(), 1U);
    EXPECT_EQ(describe(notes[0]), "damaged: cannot start glimmerbox-archive-reader: not installed");
}

TEST(ArchiveReaderFence, ANestedArchiveIsReadFromMemory)
{
    // The zip on the CD image is handed to its reader as a sealed copy.
    auto file = FileSource::open(kContainers + "cd.iso");
    ASSERT_TRUE(file);
    std::vector<std::string> names;
    EXPECT_TRUE(
        walkContainer(*file, {}, [&](ContainerMember m) { names.push_back(m.members.back()); }).empty());
    EXPECT_EQ(names, (std::vector<std::string>{"inner/LIB64.DLL", "inner/SPIN.ANI", "SETUP/APP.EXE"}));
}

TEST(ArchiveChannel, RepliesKeepTheirFields)
{
    ArchiveReply entry;
    entry.tag = ReplyTag::Entry;
    entry.charged = 123456789012;
    entry.entry = {"SETUP/\xff"
                   "APP.EXE",
                   true, false, 4096};
    ArchiveReply data;
    data.tag = ReplyTag::Data;
    data.data = {std::byte{1}, std::byte{0}, std::byte{2}};
    ArchiveReply fault;
    fault.tag = ReplyTag::Fault;
    fault.fault = {ContainerProblem::Bomb, "64 MiB", FaultScope::Member};
    for (const ArchiveReply& sent : {entry, data, fault}) {
        const std::vector<std::byte> bytes = encodeReply(sent);
        std::size_t at = 0;
        const auto got = receiveReply(
            [&](std::span<std::byte> out) -> std::expected<void, ArchiveFault> {
                if (out.size() > bytes.size() - at)
                    return std::unexpected(ArchiveFault{});
                std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), out.size(), out.begin());
                at += out.size();
                return {};
            },
            1024);
        ASSERT_TRUE(got);
        EXPECT_EQ(at, bytes.size());
        EXPECT_EQ(got->tag, sent.tag);
        EXPECT_EQ(got->charged, sent.charged);
        EXPECT_EQ(got->entry.name, sent.entry.name);
        EXPECT_EQ(got->entry.size, sent.entry.size);
        EXPECT_EQ(got->entry.regularFile, sent.entry.regularFile);
        EXPECT_EQ(got->data, sent.data);
        EXPECT_EQ(got->fault.problem, sent.fault.problem);
        EXPECT_EQ(got->fault.detail, sent.fault.detail);
        EXPECT_EQ(got->fault.scope, sent.fault.scope);
    }
}

// Packages inside one container draw on its one allowance: what the first
// takes, the next cannot.
TEST(InstallerAllowance, PackagesOfOneContainerShareItsAllowance)
{
    auto package = FileSource::open(GB_FIXTURE_DIR "/setup.msi");
    ASSERT_TRUE(package);
    const ContainerLimits limits;
    DecompressionAllowance allowance(package->size() * 3);
    std::vector<std::vector<ContainerProblem>> problems(3);
    for (auto& ofCopy : problems)
        for (const ContainerNote& note : walkInstallerStreams(*package, limits, allowance, {}, [](auto) {}))
            ofCopy.push_back(note.problem);
    EXPECT_TRUE(problems[0].empty());
    EXPECT_EQ(problems[2], std::vector<ContainerProblem>{ContainerProblem::Bomb});
    EXPECT_TRUE(allowance.spent());
}

TEST(InstallerAllowance, AZipOfPackagesIsStoppedAtTheZipsAllowance)
{
    auto zip = FileSource::open(kContainers + "packages.zip");
    ASSERT_TRUE(zip);
    auto package = FileSource::open(GB_FIXTURE_DIR "/setup.msi");
    ASSERT_TRUE(package);
    // Enough for every package read out of the zip, not for their streams
    // besides: each package on its own would stay within a fresh allowance.
    const std::uint64_t perByte = 8 * package->size() * 3 / 2 / zip->size() + 1;
    ContainerWalk walk;
    walk.limits = ContainerLimits{.perContainerByte = perByte, .atLeast = 0};
    std::vector<ContainerProblem> problems;
    for (const ContainerNote& note : walkContainer(*zip, walk, [](ContainerMember) {}))
        problems.push_back(note.problem);
    EXPECT_EQ(problems, std::vector<ContainerProblem>{ContainerProblem::Bomb});
}

} // namespace
} // namespace gb
