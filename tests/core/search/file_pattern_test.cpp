#include "core/search/file_pattern.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

struct PatternCase {
    const char* pattern;
    const char* name;
    bool matches;
};

class FilePatterns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FilePatterns, FollowWindowsWildcards)
{
    const PatternCase& c = GetParam();
    EXPECT_EQ(FilePattern(c.pattern).matches(c.name), c.matches) << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilePatterns,
    ::testing::Values(PatternCase{"*.exe", "setup.exe", true}, PatternCase{"*.exe", "SETUP.EXE", true},
                      PatternCase{"*.EXE", "setup.exe", true}, PatternCase{"*.exe", "setup.dll", false},
                      PatternCase{"*.exe", "setup.exe.bak", false}, PatternCase{"*.exe", ".exe", true},
                      PatternCase{"*.*", "README", true}, PatternCase{"*.*", "a.b.c", true},
                      PatternCase{"*", "anything", true}, PatternCase{"a?c.dll", "abc.dll", true},
                      PatternCase{"a?c.dll", "ac.dll", false},
                      PatternCase{"a?c.dll",
                                  "a\xc3\xa9"
                                  "c.dll",
                                  true},
                      PatternCase{"*.dll;*.exe", "x.dll", true}, PatternCase{"*.dll;*.exe", "x.exe", true},
                      PatternCase{"*.dll; *.exe", "x.exe", true}, PatternCase{"*.dll;*.exe", "x.ocx", false},
                      PatternCase{"", "x.ocx", true}, PatternCase{"setup.*", "setup", true},
                      PatternCase{"*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
                      PatternCase{"*.exe", "caf\xe9.exe", true}));

TEST(FilePatternText, StarAloneBecomesStarDotStar)
{
    EXPECT_EQ(normalisePatternText("*"), "*.*");
    EXPECT_EQ(normalisePatternText("*.exe"), "*.exe");
    EXPECT_EQ(normalisePatternText("**"), "**");
}

} // namespace
} // namespace gb
