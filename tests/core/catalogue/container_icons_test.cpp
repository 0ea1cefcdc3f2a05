#include "core/catalogue/file_icons.h"
#include "core/search/background_search.h"
#include "core/sources/origin_details.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace gb {
namespace {

std::string fixture(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

// A search with containers on finds the zip by its name whatever the
// pattern, and its members' icons are drawn as the same files outside.
TEST(ContainerSearch, MembersAreFoundAsFilesWithTheContainersPath)
{
    const test::TempFolder temp;
    std::filesystem::copy_file(fixture("containers/setup.zip"), temp.file("setup.zip"));
    const auto searched = [&](bool containers) {
        BackgroundSearch search(1);
        search.start(temp.path().string(), WalkOptions{false, FilePattern("*.exe"), containers});
        std::vector<FoundIcon> icons;
        for (SearchHarvest harvest; !harvest.finished;) {
            harvest = search.take();
            for (auto& file : harvest.files)
                std::ranges::move(file, std::back_inserter(icons));
        }
        return icons;
    };
    EXPECT_TRUE(searched(false).empty());
    const std::vector<FoundIcon> found = searched(true);
    const std::vector<FoundIcon> outside = extractFileIcons(fixture("icons32.exe"));
    ASSERT_EQ(found.size(), outside.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].origin.key(),
                  temp.file("setup.zip") + "//SETUP/APP.EXE(" + std::to_string(i) + ")");
        EXPECT_EQ(found[i].large.pixels(), outside[i].large.pixels());
        EXPECT_EQ(found[i].small.pixels(), outside[i].small.pixels());
    }
}

// The details window reads a member again from its container, nested too.
TEST(ContainerSearch, DetailsOfAMemberAreThoseOfTheFileOutside)
{
    const std::string iso = fixture("containers/cd.iso");
    const std::vector<std::string> member{"CD/EXTRAS.ZIP", "inner/LIB64.DLL"};
    const auto inside = readOriginDetails(IconOrigin{iso, 2, member});
    const auto outside = readOriginDetails(IconOrigin{fixture("icons64.dll"), 2});
    ASSERT_TRUE(inside && outside);
    ASSERT_EQ(inside->images.size(), outside->images.size());
    for (std::size_t i = 0; i < inside->images.size(); ++i)
        EXPECT_EQ(inside->images[i].header, outside->images[i].header);
    EXPECT_EQ(inside->version->text("FileDescription"), "Fixture Catalogue");

    const auto gone = readOriginDetails(IconOrigin{iso, 0, {"CD/EXTRAS.ZIP", "inner/GONE.DLL"}});
    ASSERT_FALSE(gone);
    EXPECT_EQ(gone.error().problem, SourceProblem::NoSuchMember);
}

} // namespace
} // namespace gb
