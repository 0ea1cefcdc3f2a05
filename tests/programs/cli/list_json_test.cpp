#include "core/bytes/byte_reader.h"
#include "core/export/batch_names.h"
#include "core/hash/sha256.h"
#include "fixtures/fixture_facts.h"
#include "programs/cli/cli_commands.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nettle/base64.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace gb::cli {
namespace {

using Json = nlohmann::json;
using test::CliRun;
using test::runCli;
using test::TempFolder;

// "32x32@8", "256x256@png" or "none", as the fixture facts name entries.
std::string labelOf(const Json& chosen)
{
    if (chosen.is_null())
        return "none";
    return std::to_string(chosen["width"].get<int>()) + "x" + std::to_string(chosen["height"].get<int>()) +
           "@" +
           (chosen["format"] == "png" ? std::string("png") : std::to_string(chosen["depth"].get<int>()));
}

// The digest of each image of an ICO file, in directory order.
std::vector<std::string> icoDigests(const std::string& file)
{
    const ByteReader ico(std::as_bytes(std::span(file)));
    std::vector<std::string> digests;
    for (std::uint16_t i = 0; i < ico.u16le(4).value_or(0); ++i) {
        const std::uint64_t entry = 6 + 16 * std::uint64_t{i};
        digests.push_back(sha256Hex(*ico.sub(*ico.u32le(entry + 12), *ico.u32le(entry + 8))));
    }
    return digests;
}

std::string fromBase64(const std::string& text)
{
    base64_decode_ctx context;
    base64_decode_init(&context);
    std::string bytes(BASE64_DECODE_LENGTH(text.size()), '\0');
    std::size_t length = bytes.size();
    if (base64_decode_update(&context, &length, reinterpret_cast<std::uint8_t*>(bytes.data()), text.size(),
                             text.data()) == 0 ||
        base64_decode_final(&context) == 0)
        return "(not base64)";
    bytes.resize(length);
    return bytes;
}

struct JsonCase {
    const char* file;
    std::span<const gbfix::ExpectedIcon> icons;
    Json language; // null for an icon file
    bool version;  // the catalogue's version information
};

class CliListJson : public ::testing::TestWithParam<JsonCase> {};

TEST_P(CliListJson, DescribesEachIconAndHashesItsImagesAsOriginalExportWritesThem)
{
    const JsonCase& c = GetParam();
    const std::string path = std::string(GB_FIXTURE_DIR) + "/" + c.file;
    TempFolder out;
    const CliRun listed = runCli({"list", "--json", path});
    ASSERT_EQ(listed.status, 0) << listed.err;
    ASSERT_EQ(runCli({"export", "--format", "original", "--out", out.path().string(), path}).status, 0);

    std::istringstream lines(listed.out);
    std::size_t n = 0;
    for (std::string line; std::getline(lines, line); ++n) {
        ASSERT_LT(n, c.icons.size());
        const Json icon = Json::parse(line);
        const gbfix::ExpectedIcon& expected = c.icons[n];
        EXPECT_EQ(icon["path"], path);
        EXPECT_FALSE(icon.contains("path_base64"));
        EXPECT_EQ(icon["index"], n);
        EXPECT_EQ(icon["key"], keyOf(IconOrigin{path, 0}, static_cast<int>(n)));
        const Json& group = icon["group"];
        if (!c.language.is_null())
            EXPECT_EQ(group.is_string() ? group.get<std::string>() : std::to_string(group.get<int>()),
                      expected.group);
        else
            EXPECT_TRUE(group.is_null());
        EXPECT_EQ(icon["language"], c.language);
        EXPECT_EQ(labelOf(icon["large"]), gbfix::labelOf(expected.large)) << line;
        EXPECT_EQ(labelOf(icon["small"]), gbfix::labelOf(expected.small)) << line;
        EXPECT_EQ(labelOf(icon["images"][icon["large"]["entry"].get<std::size_t>()]), labelOf(icon["large"]));

        std::vector<std::string> digests; // each stored image once, as the ICO holds them
        for (const Json& image : icon["images"])
            if (const auto digest = image["sha256"].get<std::string>();
                std::ranges::count(digests, digest) == 0)
                digests.push_back(digest);
        const auto ico = out.file(batchFileName("icon", BatchKind::OriginalGroup, static_cast<int>(n) + 1));
        EXPECT_EQ(digests, icoDigests(test::readText(ico))) << line;

        if (c.version) {
            EXPECT_EQ(icon["version"]["file_version"], "1.2.3.4");
            EXPECT_EQ(icon["version"]["strings"]["FileDescription"], "Fixture Catalogue");
        } else {
            EXPECT_TRUE(icon["version"].is_null());
        }
    }
    EXPECT_EQ(n, c.icons.size());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CliListJson,
                         ::testing::Values(JsonCase{"icons32.exe", gbfix::kCatalogue, 0x0409, true},
                                           JsonCase{"icons16.exe", gbfix::kNeIcons, 0, false},
                                           JsonCase{"mixed_depths.ico", gbfix::kMixedExpected, nullptr,
                                                    false}));

TEST(CliListJson, PathThatIsNotUtf8ComesWithItsBytesInBase64)
{
    TempFolder folder;
    const std::string path = folder.file("caf\xe9\xff.ico");
    std::filesystem::copy_file(std::string(GB_FIXTURE_DIR) + "/depth8.ico", path);
    const CliRun r = runCli({"list", "--json", path});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json icon = Json::parse(r.out);
    EXPECT_EQ(icon["path"], folder.file("caf\xef\xbf\xbd\xef\xbf\xbd.ico"));
    EXPECT_EQ(fromBase64(icon["path_base64"]), path);
}

} // namespace
} // namespace gb::cli
