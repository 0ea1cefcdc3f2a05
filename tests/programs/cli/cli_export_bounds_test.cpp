// What one input file may make the exporter write is bounded by its size.

#include "programs/cli/cli_commands.h"
#include "support/hostile_builders.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace gb::cli {
namespace {

// A 270 KB program whose 80 groups share one directory naming one 256x256
// image: exported as original groups, 21 MB, past its allowance of 16 MiB.
TEST(CliExportBounds, SmallFileOfSharedGroupsStopsAtItsAllowance)
{
    test::DibRecipe recipe;
    recipe.width = recipe.height = 256;
    recipe.pixel = [](int, int) { return 0xff204080u; };
    test::PeRecipe pe;
    pe.blobs = {{test::buildDib(recipe)}, {test::groupDirectory(1024, 1, 256)}};
    pe.icons = {{1, 0}};
    for (std::uint16_t g = 1; g <= 80; ++g)
        pe.groups.push_back({g, 1});
    const test::TempFolder folder;
    const std::string input = folder.write("shared.dll", test::buildPe(pe));
    const std::string out = folder.file("out");

    std::ostringstream printed, errors;
    const std::vector<std::string> args{"export", "--format", "original", "--out", out, input};
    EXPECT_EQ(runCommandLine(args, printed, errors), 1);
    EXPECT_NE(errors.str().find("would write more than 16777216 bytes"), std::string::npos) << errors.str();

    std::uintmax_t written = 0;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
        written += entry.file_size();
        ++files;
    }
    EXPECT_LT(files, 80);
    EXPECT_LT(written, (16u << 20) + 300'000u); // the allowance and the one file that crossed it
}

} // namespace
} // namespace gb::cli
