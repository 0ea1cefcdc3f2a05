#include "core/containers/program_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace gb {
namespace {

bool anyPath(const std::string&)
{
    return true;
}
bool noPath(const std::string&)
{
    return false;
}
bool installedOnly(const std::string& path)
{
    return path == "/usr/lib/glimmerbox/helper";
}
bool inSubfolder(const std::string& path)
{
    return path.ends_with("/sub/helper");
}

TEST(FindHelper, TheVariableWinsThenBesideTheProgramThenWhereItIsInstalled)
{
    const std::string folder = folderOfThisProgram();
    ASSERT_FALSE(folder.empty());
    const struct {
        const char* variable; // GB_TEST_HELPER's value; null: unset
        bool (*usable)(const std::string&);
        std::string expected;
    } cases[] = {
        {"/given/helper", anyPath, "/given/helper"},
        {"/given/helper", noPath, ""}, // named but not there: not looked for elsewhere
        {nullptr, anyPath, folder + "/helper"},
        {nullptr, inSubfolder, folder + "/sub/helper"},
        {nullptr, installedOnly, "/usr/lib/glimmerbox/helper"},
        {nullptr, noPath, ""},
    };
    for (const auto& c : cases) {
        if (c.variable != nullptr)
            setenv("GB_TEST_HELPER", c.variable, 1);
        else
            unsetenv("GB_TEST_HELPER");
        EXPECT_EQ(findHelper("GB_TEST_HELPER", "helper", {"sub"}, "/usr/lib/glimmerbox/helper", c.usable),
                  c.expected)
            << (c.variable != nullptr ? c.variable : "(unset)");
    }
    unsetenv("GB_TEST_HELPER");
}

} // namespace
} // namespace gb
