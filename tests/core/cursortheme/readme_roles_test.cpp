// The README's table of cursor roles is written by hand; it must say what
// the role table says: each role's resource id, the pack file name it is
// guessed from first, its theme file, every name linked to it and its
// fallback.
#include "core/cursors/cursor_roles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace gb {
namespace {

std::string readme()
{
    const auto path = std::filesystem::path(GB_CLI_MANUAL_PATH).parent_path().parent_path() / "README.md";
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string rowOf(const CursorRoleNames& role)
{
    std::string row = "| " + std::string(role.registryName) + " | " + std::to_string(role.resourceId) +
                      " | " + std::string(role.fileNames.front()) + " | ";
    if (role.themeNames.empty()) {
        row += "— | — |";
    } else {
        row += "`" + std::string(role.themeNames.front()) + "` | ";
        for (std::size_t i = 1; i < role.themeNames.size(); ++i)
            row += (i > 1 ? ", " : "") + std::string(role.themeNames[i]);
        row += " |";
    }
    if (role.themeNames.empty())
        row += " none: only reported |";
    else if (role.fallback)
        row += " " + std::string(namesOf(*role.fallback).registryName) + " |";
    else
        row += " the inherited theme |";
    return row;
}

TEST(ReadmeCursorRoles, TableSaysWhatTheRoleTableSays)
{
    const std::string text = readme();
    ASSERT_FALSE(text.empty());
    const std::size_t section = text.find("\n## Cursors\n");
    ASSERT_NE(section, std::string::npos);
    std::string table = "| Role | Resource id | Pack file | Theme file | Linked names | Without it |\n"
                        "| --- | --- | --- | --- | --- | --- |\n";
    for (const CursorRoleNames& role : cursorRoles())
        table += rowOf(role) + "\n";
    EXPECT_NE(text.find(table, section), std::string::npos) << "expected in the README:\n" << table;
    EXPECT_NE(text.find("glimmerbox-cli cursor-theme ", section), std::string::npos);
}

} // namespace
} // namespace gb
