// The icon reader against the malformed set that tests/malformed derives from
// the fixtures: each file must give the count its manifest line names, and
// every icon it counts must be extracted without crashing (the test build
// runs under AddressSanitizer and UndefinedBehaviorSanitizer).

#include "core/icons/icon_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace gb {
namespace {

struct MalformedCase {
    std::string file;
    int count = 0; // "zero" reads as 0
};

void PrintTo(const MalformedCase& c, std::ostream* os)
{
    *os << c.file << " (count " << c.count << ")";
}

std::string malformedPath(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/malformed/" + name;
}

// manifest.txt: "<file name> zero" or "<file name> count=N", a line each.
std::vector<MalformedCase> readManifest()
{
    std::vector<MalformedCase> cases;
    std::ifstream in(malformedPath("manifest.txt"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        MalformedCase c;
        std::string expected;
        if (!(words >> c.file >> expected))
            continue;
        if (expected.starts_with("count="))
            c.count = std::stoi(expected.substr(6));
        else if (expected != "zero")
            continue; // unknown expectations are caught by ManifestIsWellFormed
        cases.push_back(c);
    }
    return cases;
}

std::vector<std::byte> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> chars{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::byte> bytes(chars.size());
    std::transform(chars.begin(), chars.end(), bytes.begin(),
                   [](char c) { return static_cast<std::byte>(c); });
    return bytes;
}

// Extracts every icon the source counts, and one past the end.
void extractEverything(const IconSource& source)
{
    for (int i = 0; i < source.count(); ++i) {
        SCOPED_TRACE("icon " + std::to_string(i));
        (void)source.group(i);
        auto icon = source.icon(i);
        if (icon) {
            EXPECT_EQ(icon->large.width(), kLargeIconSize);
            EXPECT_EQ(icon->large.height(), kLargeIconSize);
            EXPECT_EQ(icon->small.width(), kSmallIconSize);
            EXPECT_EQ(icon->small.height(), kSmallIconSize);
        }
    }
    EXPECT_FALSE(source.icon(source.count()).has_value());
}

TEST(MalformedManifest, IsWellFormedAndNamesFilesThatExist)
{
    std::ifstream in(malformedPath("manifest.txt"));
    ASSERT_TRUE(in) << "run the gb_fixtures target first";
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        ++lines;
        std::istringstream words(line);
        std::string file, expected;
        ASSERT_TRUE(words >> file >> expected) << line;
        EXPECT_TRUE(expected == "zero" || expected.starts_with("count=")) << line;
        EXPECT_TRUE(std::ifstream(malformedPath(file)).good()) << file;
    }
    EXPECT_GT(lines, 0);
}

class MalformedFileTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedFileTest, CountsWhatTheManifestSaysAndExtractsWithoutCrashing)
{
    auto source = IconSource::open(malformedPath(GetParam().file));
    ASSERT_TRUE(source.has_value()) << describe(source.error());
    EXPECT_EQ(source->count(), GetParam().count);
    extractEverything(*source);
}

TEST_P(MalformedFileTest, CountsTheSameFromMemory)
{
    const std::vector<std::byte> bytes = readBytes(malformedPath(GetParam().file));
    const IconSource source = IconSource::fromBytes(ByteReader(bytes));
    EXPECT_EQ(source.count(), GetParam().count);
    extractEverything(source);
}

std::string malformedTestName(const testing::TestParamInfo<MalformedCase>& info)
{
    std::string name;
    for (char c : info.param.file)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Malformed, MalformedFileTest, testing::ValuesIn(readManifest()), malformedTestName);
// Without a built manifest there are no cases; MalformedManifest says why.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(MalformedFileTest);

} // namespace
} // namespace gb
