#include "core/icons/icon_details.h"
#include "core/sources/origin_details.h"

#include "support/dib_builder.h"
#include "support/hostile_builders.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace gb {
namespace {

std::string fixture(const char* name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

TEST(IconDetails, EveryStoredImageWithItsOwnHeaderAndDecoding)
{
    // icons32.exe's first group, APPLE: a 256 PNG, 32@32 and 16@32 DIBs.
    const auto details = readOriginDetails(IconOrigin{fixture("icons32.exe"), 0});
    ASSERT_TRUE(details);
    ASSERT_EQ(details->images.size(), 3u);
    ASSERT_EQ(details->group.entries.size(), 3u);
    const int sides[] = {256, 32, 16};
    for (std::size_t i = 0; i < 3; ++i) {
        const StoredImageDetails& image = details->images[i];
        ASSERT_TRUE(image.header);
        EXPECT_EQ(image.header->width, sides[i]);
        EXPECT_EQ(image.header->png, i == 0);
        ASSERT_TRUE(image.preview);
        EXPECT_EQ(image.preview->width(), sides[i]);
        EXPECT_EQ(image.preview->height(), sides[i]);
    }
    EXPECT_EQ(details->shownFirst, 0u);
}

TEST(IconDetails, EntriesNamingOneImageShareOneDecoding)
{
    test::DibRecipe dib;
    dib.width = 32;
    dib.height = 32;
    dib.pixel = [](int, int) { return 0xff2040c0u; };
    test::PeRecipe pe;
    pe.blobs = {{test::buildDib(dib)}, {test::groupDirectory(1024, 1, 32)}};
    pe.icons = {{1, 0}};
    pe.groups = {{1, 1}};
    test::TempFolder temp;
    const std::string file = temp.write("shared.exe", test::buildPe(pe));

    const auto details = readOriginDetails(IconOrigin{file, 0});
    ASSERT_TRUE(details);
    ASSERT_EQ(details->images.size(), 1024u);
    ASSERT_TRUE(details->images.front().preview);
    for (const StoredImageDetails& image : details->images)
        EXPECT_EQ(image.preview, details->images.front().preview);
}

TEST(IconDetails, FailsAsTheFileDoes)
{
    const auto gone = readOriginDetails(IconOrigin{"/nonexistent/gone.exe", 0});
    ASSERT_FALSE(gone);
    EXPECT_EQ(gone.error().problem, SourceProblem::OpenFailed);
    ASSERT_TRUE(gone.error().read);
    EXPECT_EQ(gone.error().read->systemError, ENOENT);
    EXPECT_EQ(readOriginDetails(IconOrigin{fixture("icons32.exe"), 99}).error().problem,
              SourceProblem::OutOfRange);

    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(readOriginDetails(IconOrigin{fixture("icons32.exe"), 0}, stop.get_token()).error().problem,
              SourceProblem::Cancelled);
}

} // namespace
} // namespace gb
