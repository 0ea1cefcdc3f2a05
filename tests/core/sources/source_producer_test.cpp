#include "core/sources/source_producer.h"

#include "core/sources/origin_details.h"

#include "support/fake_archive_reader.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace gb {
namespace {

const std::string kFixtures = GB_FIXTURE_DIR "/";
const std::string kContainers = kFixtures + "containers/";

using Path = std::vector<std::string>;

std::vector<ProducedSource> produced(const std::string& path, bool containers = true)
{
    std::vector<ProducedSource> all;
    produceSources(path, SourceWalk{containers, nullptr, {}, {}, {}},
                   [&](ProducedSource source) { all.push_back(std::move(source)); });
    return all;
}

std::vector<std::byte> bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto bytes = std::as_bytes(std::span(chars));
    return {bytes.begin(), bytes.end()};
}

// A POSIX ustar archive of one member, as tar writes it: a 512-byte header,
// the bytes padded to 512, two empty blocks.
std::vector<std::byte> tarOfOne(const std::string& name, const std::vector<std::byte>& bytes)
{
    std::vector<char> header(512, '\0');
    const auto put = [&](std::size_t at, const std::string& text) {
        std::ranges::copy(text, header.begin() + static_cast<std::ptrdiff_t>(at));
    };
    const auto octal = [](std::size_t value, int width) {
        std::string digits(static_cast<std::size_t>(width), '0');
        for (int i = width - 1; i >= 0 && value; --i, value /= 8)
            digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 8);
        return digits;
    };
    put(0, name);
    put(100, "0000644");
    put(108, "0000000");
    put(116, "0000000");
    put(124, octal(bytes.size(), 11));
    put(136, "00000000000");
    put(148, "        "); // the checksum counts its own field as spaces
    header[156] = '0';
    put(257, std::string("ustar\0"
                         "00",
                         8));
    unsigned sum = 0;
    for (const char c : header)
        sum += static_cast<unsigned char>(c);
    put(148, octal(sum, 6) + std::string("\0 ", 2));
    std::vector<std::byte> tar;
    for (const char c : header)
        tar.push_back(static_cast<std::byte>(c));
    tar.insert(tar.end(), bytes.begin(), bytes.end());
    tar.resize((tar.size() + 511) / 512 * 512 + 1024, std::byte{0});
    return tar;
}

struct KindCase {
    const char* name;
    std::string container; // a fixture, or "" for a tar holding a cut program
    Path failed;           // the member (or container) that fails
    SourceProblem problem;
    bool read; // its bytes were read, and failed as a file's would
    bool hostileReader = false;
};

void PrintTo(const KindCase& c, std::ostream* os)
{
    *os << c.name;
}

class SourceFailureKinds : public ::testing::TestWithParam<KindCase> {};

// What failed keeps its kind: a password is no unsupported format, a
// damaged archive is no truncated icon.
TEST_P(SourceFailureKinds, SurviveFromTheContainerToTheSource)
{
    const KindCase& c = GetParam();
    const test::TempFolder temp;
    std::string path = kContainers + c.container;
    if (c.container.empty())
        path = temp.write(
            "cut.tar", tarOfOne("CUT.EXE", bytesOf(kFixtures + "malformed/pe32_cut_in_resource_root.exe")));
    // The archive reader process replaced by one that ends at once, as a
    // reader stopped by its fence does.
    std::optional<test::FakeReader> reader;
    if (c.hostileReader)
        reader.emplace("exit 7");

    const std::vector<ProducedSource> all = produced(path);
    const auto failed =
        std::ranges::find_if(all, [&](const ProducedSource& s) { return s.origin.members == c.failed; });
    ASSERT_NE(failed, all.end());
    ASSERT_FALSE(failed->source);
    EXPECT_EQ(failed->source.error().problem, c.problem) << describe(failed->source.error());
    EXPECT_EQ(failed->source.error().read.has_value(), c.read);
    EXPECT_EQ(failed->origin.path, path);
    if (c.read)
        return;
    // Read again by its origin, as the details window does, it fails alike.
    const auto again = openOrigin(IconOrigin{path, 0, c.failed.empty() ? Path{"SETUP/APP.EXE"} : c.failed});
    ASSERT_FALSE(again);
    EXPECT_EQ(again.error().problem, c.problem) << describe(again.error());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SourceFailureKinds,
    ::testing::Values(KindCase{"Encrypted", "encrypted.zip", {"SECRET.EXE"}, SourceProblem::Encrypted, false},
                      KindCase{"Damaged", "damaged.tar.gz", {}, SourceProblem::Damaged, false},
                      KindCase{"Truncated", "", {"CUT.EXE"}, SourceProblem::Truncated, true},
                      KindCase{"Hostile", "setup.zip", {}, SourceProblem::Hostile, false, true}),
    [](const auto& test) { return std::string(test.param.name); });

// A regression: the details window told an encrypted member as an
// unsupported icon format and a damaged container as a truncated file.
TEST(OriginDetails, EncryptedMemberSaysEncryptedAndDamagedSaysDamaged)
{
    const auto encrypted = readOriginDetails(IconOrigin{kContainers + "encrypted.zip", 0, {"SECRET.EXE"}});
    ASSERT_FALSE(encrypted);
    EXPECT_EQ(encrypted.error().problem, SourceProblem::Encrypted);
    EXPECT_EQ(describe(encrypted.error()), "encrypted, skipped");
    const auto damaged = readOriginDetails(IconOrigin{kContainers + "damaged.tar.gz", 0, {"SETUP/APP.EXE"}});
    ASSERT_FALSE(damaged);
    EXPECT_EQ(damaged.error().problem, SourceProblem::Damaged);
}

TEST(SourceProducer, NestedMembersComeInWalkOrderInTheirContainersPlace)
{
    const std::string iso = kContainers + "cd.iso";
    std::vector<Path> members;
    for (const ProducedSource& source : produced(iso)) {
        EXPECT_TRUE(source.source) << source.origin.memberPath();
        EXPECT_EQ(source.origin.path, iso);
        members.push_back(source.origin.members);
    }
    EXPECT_EQ(members, (std::vector<Path>{{"CD/EXTRAS.ZIP", "inner/LIB64.DLL"},
                                          {"CD/EXTRAS.ZIP", "inner/SPIN.ANI"},
                                          {"SETUP/APP.EXE"}}));
    // Without containers the image is a file like any other, with no icons.
    const auto plain = produced(iso, false);
    ASSERT_EQ(plain.size(), 1U);
    EXPECT_TRUE(plain[0].origin.members.empty());
}

TEST(SourceProducer, AFileNamedOnlyLikeAContainerGivesNothingUnlessItIsOne)
{
    std::vector<ProducedSource> all;
    const auto collect = [&](ProducedSource source) { all.push_back(std::move(source)); };
    const SourceWalk walk{true, nullptr, {}, {}, {}};
    produceSources(
        FoundSourceFile{kFixtures + "icons32.exe", FileSource::open(kFixtures + "icons32.exe"), false}, walk,
        collect);
    produceSources(FoundSourceFile{"/nonexistent/gone.zip", FileSource::open("/nonexistent/gone.zip"), false},
                   walk, collect);
    EXPECT_TRUE(all.empty());
    produceSources(FoundSourceFile{"/nonexistent/gone.exe", FileSource::open("/nonexistent/gone.exe"), true},
                   walk, collect);
    ASSERT_EQ(all.size(), 1U);
    EXPECT_EQ(all[0].source.error().problem, SourceProblem::OpenFailed);
}

TEST(OpenOrigin, ANestedMemberIsTheSourceTheWalkGave)
{
    const std::string iso = kContainers + "cd.iso";
    const Path lib{"CD/EXTRAS.ZIP", "inner/LIB64.DLL"};
    const std::vector<ProducedSource> all = produced(iso);
    const auto walked =
        std::ranges::find_if(all, [&](const ProducedSource& s) { return s.origin.members == lib; });
    ASSERT_NE(walked, all.end());
    ASSERT_TRUE(walked->source);
    const auto opened = openOrigin(IconOrigin{iso, 0, lib});
    ASSERT_TRUE(opened) << describe(opened.error());
    ASSERT_EQ(opened->count(), walked->source->count());
    ASSERT_GT(opened->count(), 0);
    for (int i = 0; i < opened->count(); ++i)
        EXPECT_EQ(opened->icon(i)->large, walked->source->icon(i)->large) << i;
}

TEST(OpenOrigin, AMissingMemberIsAFailureNotACrash)
{
    const Path missing[] = {{"CD/EXTRAS.ZIP", "inner/GONE.DLL"}, {"NONE"}, {"SETUP/APP.EXE", "X"}};
    for (const Path& members : missing) {
        const auto opened = openOrigin(IconOrigin{kContainers + "cd.iso", 0, members});
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.error().problem, SourceProblem::NoSuchMember);
    }
    // Inside a file that is no container.
    const auto inPlainFile = openOrigin(IconOrigin{kFixtures + "icons32.exe", 0, {"APP.EXE"}});
    ASSERT_FALSE(inPlainFile);
    EXPECT_EQ(inPlainFile.error().problem, SourceProblem::NoSuchMember);
}

} // namespace
} // namespace gb
