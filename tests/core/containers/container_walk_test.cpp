#include "core/containers/container_walk.h"

#include "core/bytes/file_source.h"
#include "core/icons/icon_source.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace gb {
namespace {

const std::string kFixtures = GB_FIXTURE_DIR "/";
const std::string kContainers = kFixtures + "containers/";

using Path = std::vector<std::string>;

std::vector<std::byte> bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto bytes = std::as_bytes(std::span(chars));
    return {bytes.begin(), bytes.end()};
}

struct Walked {
    std::vector<ContainerMember> members;
    std::vector<ContainerNote> notes;
};

Walked walkFixture(const std::string& name, const ContainerWalk& walk = {})
{
    auto file = FileSource::open(kContainers + name);
    EXPECT_TRUE(file) << name;
    Walked walked;
    if (file)
        walked.notes =
            walkContainer(*file, walk, [&](ContainerMember m) { walked.members.push_back(std::move(m)); });
    return walked;
}

std::vector<Path> pathsOf(const Walked& walked)
{
    std::vector<Path> paths;
    for (const ContainerMember& m : walked.members)
        paths.push_back(m.members);
    return paths;
}

std::vector<ContainerProblem> problemsOf(const Walked& walked)
{
    std::vector<ContainerProblem> problems;
    for (const ContainerNote& note : walked.notes)
        problems.push_back(note.problem);
    return problems;
}

// A member's icons, drawn from memory, are those of the same file outside.
void expectSameIcons(const ContainerMember& member, const std::string& original)
{
    const auto outside = IconSource::open(kFixtures + original);
    ASSERT_TRUE(outside) << original;
    const auto inside = IconSource::fromSource(ContainerMember(member).takeSource());
    ASSERT_EQ(inside.count(), outside->count()) << original;
    ASSERT_GT(inside.count(), 0) << original;
    for (int i = 0; i < inside.count(); ++i) {
        const auto drawnInside = inside.icon(i);
        const auto drawnOutside = outside->icon(i);
        ASSERT_TRUE(drawnInside && drawnOutside) << original << " icon " << i;
        EXPECT_EQ(drawnInside->large, drawnOutside->large) << original << " icon " << i;
        EXPECT_EQ(drawnInside->small, drawnOutside->small) << original << " icon " << i;
    }
}

struct MemberCase {
    Path members;
    const char* original; // the fixture it is a copy of
};

struct WalkCase {
    const char* container;
    std::vector<MemberCase> members;
    std::vector<ContainerProblem> problems;
    ContainerLimits limits = {};
};

class ContainerWalks : public ::testing::TestWithParam<WalkCase> {};

TEST_P(ContainerWalks, HandOnTheIconFilesAndProgramsInside)
{
    const WalkCase& c = GetParam();
    const Walked walked = walkFixture(c.container, ContainerWalk{nullptr, c.limits, {}});
    std::vector<Path> expected;
    for (const MemberCase& m : c.members)
        expected.push_back(m.members);
    EXPECT_EQ(pathsOf(walked), expected);
    EXPECT_EQ(problemsOf(walked), c.problems);
    for (std::size_t i = 0; i < walked.members.size() && i < c.members.size(); ++i)
        expectSameIcons(walked.members[i], c.members[i].original);
}

const MemberCase kApp{{"SETUP/APP.EXE"}, "icons32.exe"};
const MemberCase kMixed{{"icons/mixed.ico"}, "mixed_depths.ico"};
const std::vector<MemberCase> kSetup = {kApp, kMixed};
// 7z stores files sorted by their extension.
const std::vector<MemberCase> kSetup7z = {kMixed, kApp};
// The CD image lists its folders' files in the order of their data on the disc.
const MemberCase kCdLib{{"CD/EXTRAS.ZIP", "inner/LIB64.DLL"}, "icons64.dll"};
const MemberCase kCdAni{{"CD/EXTRAS.ZIP", "inner/SPIN.ANI"}, "spinner.ani"};
const std::vector<MemberCase> kCd = {kCdLib, kCdAni, kApp};

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ContainerWalks,
    ::testing::Values(
        WalkCase{"setup.zip", kSetup, {}}, WalkCase{"setup.7z", kSetup7z, {}},
        WalkCase{"setup.cab", kSetup, {}}, WalkCase{"setup.tar.gz", kSetup, {}},
        WalkCase{"setup.tar.xz", kSetup, {}}, WalkCase{"cd.iso", kCd, {}},
        WalkCase{"cd.iso", {kApp}, {ContainerProblem::TooDeep}, ContainerLimits{.depth = 1}},
        WalkCase{"setup.zip", {kMixed}, {ContainerProblem::TooLarge}, ContainerLimits{.memberCap = 30000}},
        WalkCase{"encrypted.zip", kSetup, {ContainerProblem::Encrypted}},
        WalkCase{"damaged.tar.gz", {}, {ContainerProblem::Damaged}},
        WalkCase{"bomb.7z", {}, {ContainerProblem::Bomb}}),
    [](const auto& test) {
        std::string name = std::to_string(test.index) + "_" + test.param.container;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(ContainerWalk, ChoosesMembersByTheirLastNameComponent)
{
    ContainerWalk walk;
    walk.wanted = [](const std::string& name) { return name == "mixed.ico"; };
    EXPECT_EQ(pathsOf(walkFixture("setup.tar.xz", walk)), std::vector<Path>{{"icons/mixed.ico"}});
}

TEST(ContainerWalk, StopRequestEndsTheContainerWithACancelledNote)
{
    std::stop_source stop;
    ContainerWalk walk;
    walk.stop = stop.get_token();
    std::vector<Path> paths;
    auto file = FileSource::open(kContainers + "cd.iso");
    ASSERT_TRUE(file);
    const auto notes = walkContainer(*file, walk, [&](ContainerMember m) {
        paths.push_back(m.members);
        stop.request_stop();
    });
    EXPECT_EQ(paths, std::vector<Path>{kCdLib.members});
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].problem, ContainerProblem::Cancelled);
}

TEST(ContainerMemberRead, FindsAMemberOfANestedContainer)
{
    auto file = FileSource::open(kContainers + "cd.iso");
    ASSERT_TRUE(file);
    const auto member = readContainerMember(*file, kCdLib.members);
    ASSERT_TRUE(member) << describe(member.error());
    ASSERT_TRUE(member->bytes);
    EXPECT_EQ(*member->bytes, bytesOf(kFixtures + "icons64.dll"));
    const auto missing = readContainerMember(*file, {"CD/EXTRAS.ZIP", "inner/NONE.DLL"});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().problem, ContainerProblem::Missing);
}

TEST(ContainerNotes, SayWhatHappenedInShortEnglish)
{
    EXPECT_EQ(describe({{}, ContainerProblem::TooLarge, sizeText(ContainerLimits{}.memberCap)}),
              "larger than 256 MiB, skipped");
    EXPECT_EQ(describe({{}, ContainerProblem::Bomb, sizeText(1000)}),
              "decompresses to more than 1000 bytes: stopped");
    EXPECT_EQ(describe({{}, ContainerProblem::Damaged, "Truncated input file"}),
              "damaged: Truncated input file");
}

} // namespace
} // namespace gb
