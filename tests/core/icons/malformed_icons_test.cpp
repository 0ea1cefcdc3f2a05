// The icon reader against the malformed set that tests/malformed derives from
// the fixtures: each file must give the count and the reason its manifest
// line names, and every icon it counts must be extracted without crashing
// (the test build runs under AddressSanitizer and UndefinedBehaviorSanitizer).

#include "core/icons/icon_image.h"
#include "core/icons/icon_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gb {
namespace {

struct MalformedCase {
    std::string file;
    int count = 0;      // "zero" reads as 0
    std::string reason; // a ReadError's name, or "none"
};

void PrintTo(const MalformedCase& c, std::ostream* os)
{
    *os << c.file << " (count " << c.count << ", reason " << c.reason << ")";
}

// The manifest names reasons as the enum does.
constexpr std::pair<ReadError, std::string_view> kReasonNames[] = {
    {ReadError::OpenFailed, "OpenFailed"},
    {ReadError::NotRegularFile, "NotRegularFile"},
    {ReadError::NotIconSource, "NotIconSource"},
    {ReadError::Truncated, "Truncated"},
    {ReadError::BadMagic, "BadMagic"},
    {ReadError::Overflow, "Overflow"},
    {ReadError::TooDeep, "TooDeep"},
    {ReadError::TooLarge, "TooLarge"},
    {ReadError::Unsupported, "Unsupported"},
    {ReadError::Missing, "Missing"},
    {ReadError::OutOfRange, "OutOfRange"},
    {ReadError::Cancelled, "Cancelled"},
};

std::string reasonName(std::optional<ReadError> reason)
{
    if (!reason)
        return "none";
    for (const auto& [value, name] : kReasonNames)
        if (value == *reason)
            return std::string(name);
    return "unnamed reason " + std::to_string(static_cast<int>(*reason));
}

bool isReasonName(std::string_view name)
{
    return name == "none" ||
           std::ranges::any_of(kReasonNames, [&](const auto& r) { return r.second == name; });
}

// The first fault the reader reports about a file: why its icons could not
// be found at all; else, in icon and entry order, a counted icon whose group
// cannot be read, holds no entry or names an image the file does not hold
// (Missing), or whose image is refused by its own header or data (the
// decoder's reason). None when a file is simply not an icon source, or
// every icon it counts is whole.
std::optional<ReadError> reportedReason(const IconSource& source)
{
    if (source.problem())
        return source.problem()->reason;
    for (int i = 0; i < source.count(); ++i) {
        const auto group = source.group(i);
        if (!group)
            return group.error().reason;
        if (group->entries.empty())
            return ReadError::Missing;
        for (const GroupEntry& entry : group->entries) {
            if (!entry.image)
                return ReadError::Missing;
            if (const auto header = probeIconImage(*entry.image); !header)
                return header.error().reason;
            if (const auto image = decodeIconImage(*entry.image); !image)
                return image.error().reason;
        }
    }
    return std::nullopt;
}

std::string malformedPath(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/malformed/" + name;
}

// manifest.txt: "<file name> zero reason=R" or "<file name> count=N
// reason=R", a line each, R a ReadError's name or "none".
std::vector<MalformedCase> readManifest()
{
    std::vector<MalformedCase> cases;
    std::ifstream in(malformedPath("manifest.txt"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        MalformedCase c;
        std::string expected, reason;
        if (!(words >> c.file >> expected >> reason) || !reason.starts_with("reason="))
            continue; // malformed lines are caught by ManifestIsWellFormed
        if (expected.starts_with("count="))
            c.count = std::stoi(expected.substr(6));
        else if (expected != "zero")
            continue;
        c.reason = reason.substr(7);
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
        std::string file, expected, reason, extra;
        ASSERT_TRUE(words >> file >> expected >> reason) << line;
        EXPECT_FALSE(words >> extra) << line;
        EXPECT_TRUE(expected == "zero" || expected.starts_with("count=")) << line;
        EXPECT_TRUE(reason.starts_with("reason=") && isReasonName(reason.substr(7))) << line;
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

TEST_P(MalformedFileTest, ReportsTheReasonTheManifestNames)
{
    auto source = IconSource::open(malformedPath(GetParam().file));
    ASSERT_TRUE(source.has_value()) << describe(source.error());
    EXPECT_EQ(reasonName(reportedReason(*source)), GetParam().reason);
}

TEST_P(MalformedFileTest, ReportsTheSameReasonFromMemory)
{
    const std::vector<std::byte> bytes = readBytes(malformedPath(GetParam().file));
    const IconSource source = IconSource::fromBytes(ByteReader(bytes));
    EXPECT_EQ(reasonName(reportedReason(source)), GetParam().reason);
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
