// Members stored uncompressed in one run of their container's bytes: an
// ISO 9660 image's files are read in place, through the image's positioned
// reads, and give the icons the same files give outside.
#include "core/bytes/file_source.h"
#include "core/containers/container_walk.h"
#include "core/containers/iso9660_members.h"
#include "core/containers/tar_members.h"
#include "core/icons/icon_source.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>

namespace gb {
namespace {

const std::string kFixtures = GB_FIXTURE_DIR "/";
const std::string kContainers = kFixtures + "containers/";

using Path = std::vector<std::string>;

// Counts the bytes its readers take from the source it wraps.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(std::unique_ptr<ByteSource> inner) : inner_(std::move(inner)) {}
    std::uint64_t size() const override { return inner_->size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const override
    {
        const std::size_t n = inner_->readAt(offset, out);
        *read_ += n;
        return n;
    }
    std::shared_ptr<std::atomic<std::uint64_t>> counter() const { return read_; }

private:
    std::unique_ptr<ByteSource> inner_;
    std::shared_ptr<std::atomic<std::uint64_t>> read_ = std::make_shared<std::atomic<std::uint64_t>>(0);
};

// The icons' entry labels of a source: what the command-line listing shows.
std::vector<std::string> labelsOf(const IconSource& source)
{
    std::vector<std::string> labels;
    for (int i = 0; i < source.count(); ++i) {
        const auto icon = source.icon(i);
        if (icon)
            labels.push_back(icon->largeEntry.label() + " " + icon->smallEntry.label());
    }
    return labels;
}

std::vector<std::string> fileLabels(const std::string& fixture)
{
    auto file = FileSource::open(kFixtures + fixture);
    EXPECT_TRUE(file) << fixture;
    if (!file)
        return {};
    auto source = IconSource::open(kFixtures + fixture, std::move(*file));
    return source ? labelsOf(*source) : std::vector<std::string>{};
}

const Path kApp{"PROGRAMS/APP.EXE"}, kBig{"PROGRAMS/BIG.EXE"}, kLib{"PROGRAMS/LIB64.DLL"},
    kMixed{"icons/mixed.ico"};

struct StoredCase {
    std::string container;
    bool inPlace;               // read through the container's positioned reads, not copied
    std::vector<Path> expected; // in the container's order
};

class StoredContainers : public ::testing::TestWithParam<StoredCase> {};

// The members in the order the container holds them, each with the icons
// of the file it was packed from; on an image, none is copied.
TEST_P(StoredContainers, GiveTheIconsOfTheFilesTheyWerePackedFrom)
{
    const StoredCase& c = GetParam();
    auto file = FileSource::open(kContainers + c.container);
    ASSERT_TRUE(file);
    std::vector<Path> paths;
    std::vector<std::vector<std::string>> labels;
    const auto notes = walkContainer(*file, {}, [&](ContainerMember member) {
        paths.push_back(member.members);
        EXPECT_EQ(member.inPlace.has_value(), c.inPlace) << member.members.back();
        EXPECT_EQ(member.bytes == nullptr, c.inPlace) << member.members.back();
        labels.push_back(labelsOf(IconSource::fromSource(member.takeSource())));
    });
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(paths, c.expected);
    const std::map<Path, std::string> packedFrom = {
        {kApp, "icons32.exe"}, {kBig, "icons32.exe"}, {kLib, "icons64.dll"}, {kMixed, "mixed_depths.ico"}};
    ASSERT_EQ(labels.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        EXPECT_FALSE(labels[i].empty()) << paths[i].back();
        EXPECT_EQ(labels[i], fileLabels(packedFrom.at(paths[i]))) << paths[i].back();
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, StoredContainers,
                         // The image lists its files in the order of their data on the disc.
                         ::testing::Values(StoredCase{"stored.iso", true, {kMixed, kApp, kBig, kLib}},
                                           StoredCase{"stored.zip", true, {kApp, kBig, kLib, kMixed}},
                                           StoredCase{"stored.tar", true, {kApp, kBig, kLib, kMixed}}),
                         [](const auto& test) {
                             std::string name = test.param.container;
                             for (char& ch : name)
                                 if (ch == '.')
                                     ch = '_';
                             return name;
                         });

// A program with megabytes after its sections gives its icons for the few
// kilobytes of headers, resource directory and images read.
TEST(StoredMembers, ALargeMemberIsReadOnlyWhereItsIconsAre)
{
    auto file = FileSource::open(kContainers + "stored.iso");
    ASSERT_TRUE(file);
    std::uint64_t size = 0;
    std::uint64_t read = 0;
    walkContainer(*file, {}, [&](ContainerMember member) {
        if (member.members.back() != "PROGRAMS/BIG.EXE")
            return;
        auto counting = std::make_unique<CountingSource>(member.takeSource());
        const auto counter = counting->counter();
        size = counting->size();
        const IconSource source = IconSource::fromSource(std::move(counting));
        EXPECT_FALSE(labelsOf(source).empty());
        read = *counter;
    });
    ASSERT_GT(size, std::uint64_t{2} << 20);
    EXPECT_LT(read, size / 16);
}

// Members drawn on several threads are handed on in the container's order.
TEST(StoredMembers, MembersDrawnOnEveryCoreArriveInContainerOrder)
{
    auto file = FileSource::open(kContainers + "stored.iso");
    ASSERT_TRUE(file);
    std::vector<Path> paths;
    std::vector<std::size_t> counts;
    const auto notes = walkContainerOnCores(
        *file, {}, 4, [&paths, &counts](ContainerMember member) -> std::function<void()> {
            const std::size_t count = labelsOf(IconSource::fromSource(member.takeSource())).size();
            return [&paths, &counts, count, path = member.members] {
                paths.push_back(path);
                counts.push_back(count);
            };
        });
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(paths, (std::vector<Path>{kMixed, kApp, kBig, kLib}));
    EXPECT_EQ(counts, (std::vector<std::size_t>{fileLabels("mixed_depths.ico").size(), 7, 7,
                                                fileLabels("icons64.dll").size()}));
}

// The details window reads one member anew after the walk is over: the
// member holds the image open itself.
TEST(StoredMembers, AMemberReadByItsPathOutlivesTheImageSource)
{
    std::optional<ContainerMember> member;
    {
        auto file = FileSource::open(kContainers + "stored.iso");
        ASSERT_TRUE(file);
        auto found = readContainerMember(*file, {"PROGRAMS/LIB64.DLL"});
        ASSERT_TRUE(found) << describe(found.error());
        member = std::move(*found);
    }
    EXPECT_EQ(labelsOf(IconSource::fromSource(member->takeSource())), fileLabels("icons64.dll"));
}

std::vector<std::byte> wholeFile(const std::string& path)
{
    auto file = FileSource::open(path);
    EXPECT_TRUE(file) << path;
    return file ? file->readAll() : std::vector<std::byte>{};
}

// An image cut short inside its last file: the directory still names the
// file, whose extent now passes the end. It is refused as damaged, before
// a byte of it is read; the files before it are still read.
TEST(StoredMembers, MemberWhoseExtentPassesTheImageEndIsRefusedAsDamaged)
{
    const std::vector<std::byte> whole = wholeFile(kContainers + "stored.iso");
    const auto members = readIso9660Members(MemorySource(ByteReader(whole)));
    ASSERT_TRUE(members) << members.error();
    ASSERT_FALSE(members->empty());
    const StoredMember& last = members->back();
    const std::vector<std::byte> cut(whole.begin(),
                                     whole.begin() + static_cast<std::ptrdiff_t>(last.offset + 100));
    const MemorySource image{ByteReader(cut)};
    std::vector<Path> paths;
    const auto notes = walkContainer(image, {}, [&](ContainerMember m) { paths.push_back(m.members); });
    EXPECT_EQ(paths.size(), 3u);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].members, Path{last.name});
    EXPECT_EQ(notes[0].problem, ContainerProblem::Damaged);
}

// A tar cut short inside its last file: its header claims more than is
// left. The file is refused as damaged; the files before it are read.
TEST(StoredMembers, TarMemberCutByTheTarsEndIsRefusedAsDamaged)
{
    const std::vector<std::byte> whole = wholeFile(kContainers + "stored.tar");
    const auto members = readTarMembers(MemorySource(ByteReader(whole)));
    ASSERT_TRUE(members) << members.error();
    ASSERT_EQ(members->size(), 4u);
    const StoredMember& last = members->back();
    const std::vector<std::byte> cut(whole.begin(),
                                     whole.begin() + static_cast<std::ptrdiff_t>(last.offset + 100));
    std::vector<Path> paths;
    const auto notes = walkContainer(MemorySource(ByteReader(cut)), {},
                                     [&](ContainerMember m) { paths.push_back(m.members); });
    EXPECT_EQ(paths, (std::vector<Path>{kApp, kBig, kLib}));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].members, kMixed);
    EXPECT_EQ(notes[0].problem, ContainerProblem::Damaged);
}

// Rock Ridge names, in the order of the files' data on the disc, as the
// archive reader gives them (the image's walk above expects the same);
// bytes that are no image are refused, and go the archive reader's way.
TEST(StoredMembers, TheImageReaderNamesFilesAsTheArchiveReaderDoes)
{
    std::vector<std::byte> bytes(64 * 1024);
    const MemorySource zeros{ByteReader(bytes)};
    EXPECT_FALSE(readIso9660Members(zeros));
    const std::vector<std::byte> image = wholeFile(kContainers + "cd.iso");
    const auto members = readIso9660Members(MemorySource(ByteReader(image)));
    ASSERT_TRUE(members) << members.error();
    std::vector<std::string> names;
    for (const StoredMember& m : *members)
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"CD/EXTRAS.ZIP", "SETUP/APP.EXE"}));
}

} // namespace
} // namespace gb
