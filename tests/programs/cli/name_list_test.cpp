#include "programs/cli/cli_commands.h"
#include "programs/cli/name_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace gb::cli {
namespace {

struct NameListCase {
    const char* name;
    std::string bytes;
    NameSeparator separator;
    std::vector<std::string> names;
};

class NameLists : public ::testing::TestWithParam<NameListCase> {};

// The list is read from a pipe, as `find -print0 | glimmerbox-cli ...` hands it.
TEST_P(NameLists, SplitIntoTheNamesAsWritten)
{
    const NameListCase& c = GetParam();
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], c.bytes.data(), c.bytes.size()), static_cast<ssize_t>(c.bytes.size()));
    ::close(ends[1]);
    const auto names = readNameList(ends[0], c.separator);
    ::close(ends[0]);
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, c.names);
}

using enum NameSeparator;
INSTANTIATE_TEST_SUITE_P(
    Cases, NameLists,
    ::testing::Values(NameListCase{"Lines", "a.exe\nb/c.dll\n", LineFeed, {"a.exe", "b/c.dll"}},
                      NameListCase{"LastLineWithoutItsBreak", "a\nb", LineFeed, {"a", "b"}},
                      NameListCase{"EmptyLinesPassedOver", "\n\na\n\n", LineFeed, {"a"}},
                      NameListCase{"BlanksAndCarriageReturnsKept", " a \r\n", LineFeed, {" a \r"}},
                      NameListCase{"NulSeparated", std::string("a\nb\0c d\0", 8), Nul, {"a\nb", "c d"}},
                      NameListCase{"NulWithoutTheLastOne", std::string("x\0\0y", 4), Nul, {"x", "y"}},
                      NameListCase{"NothingAtAll", "", LineFeed, {}},
                      NameListCase{"NotUtf8", "\xff\xfe.exe\n", LineFeed, {"\xff\xfe.exe"}}),
    [](const auto& p) { return std::string(p.param.name); });

// A file without separators is one endless name: refused at the longest a
// path can be, not held whole.
TEST(NameList, ANameLongerThanAPathIsRefusedWithItsNumber)
{
    const auto path = std::filesystem::temp_directory_path() / "gb-long-names";
    {
        std::ofstream out(path, std::ios::binary);
        out << "short\n" << std::string(kLongestListedName, 'x') << "\n" << std::string(1 << 20, 'y');
    }
    const auto names = readNameList(path.string(), LineFeed);
    std::filesystem::remove(path);
    ASSERT_FALSE(names.has_value());
    EXPECT_EQ(names.error().longName, 3u);
    EXPECT_EQ(nameListFailureText("names", names.error()), "names: name 3 is longer than 4096 bytes");
}

// The names of a list are read as the same paths given on the command line.
TEST(NameList, AListedPathIsListedAsTheSameCommandLinePath)
{
    const std::string icons = GB_FIXTURE_DIR;
    const auto listFile = std::filesystem::temp_directory_path() / "gb-listed-names";
    std::vector<std::string> given{"list"};
    {
        std::ofstream out(listFile, std::ios::binary);
        for (const auto& entry : std::filesystem::directory_iterator(icons)) {
            if (!entry.is_regular_file())
                continue;
            out << entry.path().string() << '\0';
            given.push_back(entry.path().string());
        }
    }
    std::ostringstream direct, directErr, listed, listedErr;
    const int directStatus = runCommandLine(given, direct, directErr);
    const std::vector<std::string> fromList{"list", "-0", "--files-from", listFile.string()};
    EXPECT_EQ(runCommandLine(fromList, listed, listedErr), directStatus);
    std::filesystem::remove(listFile);
    EXPECT_FALSE(direct.str().empty());
    EXPECT_EQ(listed.str(), direct.str());
    EXPECT_EQ(listedErr.str(), directErr.str());
}

} // namespace
} // namespace gb::cli
