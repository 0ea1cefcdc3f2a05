#include "core/version/version_info.h"
#include "support/version_builder.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

ByteReader readerOf(const std::vector<std::byte>& bytes)
{
    return ByteReader(std::span<const std::byte>(bytes));
}

TEST(VersionInfo, ReadsTheFixedInfoAndTheEnglishTableElseTheFirst)
{
    struct Case {
        const char* name;
        test::VersionRecipe recipe;
        std::optional<std::string> version, description, product;
        std::string table;
    };
    const std::vector<std::pair<std::string, std::string>> german = {{"FileDescription", "Spiel"},
                                                                     {"ProductName", "Schiff"}};
    const std::vector<std::pair<std::string, std::string>> english = {
        {"FileDescription", "Ship game  "}, {"ProductName", "Ship"}, {"CompanyName", "Yard"}};
    const Case cases[] = {
        {"english preferred",
         {std::array<std::uint16_t, 4>{1, 2, 3, 4},
          std::nullopt,
          {{"040704b0", german}, {"040904b0", english}}},
         "1.2.3.4",
         "Ship game",
         "Ship",
         "040904b0"},
        {"first language else",
         {std::nullopt, std::nullopt, {{"040704b0", german}, {"041104b0", english}}},
         std::nullopt,
         "Spiel",
         "Schiff",
         "040704b0"},
        {"text version when no fixed info",
         {std::nullopt, std::nullopt, {{"040904e4", {{"FileVersion", "5.0"}}}}},
         "5.0",
         std::nullopt,
         std::nullopt,
         "040904e4"},
        {"fixed info alone",
         {std::array<std::uint16_t, 4>{10, 0, 19041, 1}, std::nullopt, {}},
         "10.0.19041.1",
         std::nullopt,
         std::nullopt,
         ""},
    };
    for (const Case& c : cases) {
        const auto bytes = test::buildVersionInfo(c.recipe);
        const auto info = readVersionInfo(readerOf(bytes));
        ASSERT_TRUE(info) << c.name << ": " << describe(info.error());
        EXPECT_EQ(info->version(), c.version) << c.name;
        EXPECT_EQ(info->text("FileDescription"), c.description) << c.name;
        EXPECT_EQ(info->text("ProductName"), c.product) << c.name;
        EXPECT_EQ(info->table, c.table) << c.name;
    }
}

// Every cut of a resource is read or refused within its bytes.
TEST(VersionInfo, EveryCutIsReadOrRefusedWithinItsBytes)
{
    test::VersionRecipe recipe{std::array<std::uint16_t, 4>{1, 0, 0, 0},
                               std::nullopt,
                               {{"040904b0", {{"FileDescription", "A"}, {"ProductName", "B"}}}}};
    const auto bytes = test::buildVersionInfo(recipe);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const std::vector<std::byte> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        const auto info = readVersionInfo(readerOf(cut));
        EXPECT_FALSE(info) << size; // the root's length runs past every cut
    }
    EXPECT_TRUE(readVersionInfo(readerOf(bytes)));
}

} // namespace
} // namespace gb
