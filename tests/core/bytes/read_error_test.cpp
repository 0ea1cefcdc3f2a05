#include "core/bytes/read_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace gb {
namespace {

TEST(ReadErrorText, OpenFailureCarriesTheSystemsText)
{
    EXPECT_EQ(describe(ReadFailure{ReadError::OpenFailed, 0, ENOENT}),
              "cannot open: No such file or directory");
    EXPECT_EQ(describe(ReadFailure{ReadError::OpenFailed, 0, EACCES}), "cannot open: Permission denied");
}

// glibc writes the text of an errno it does not know into the caller's
// buffer rather than returning one of its own.
TEST(ReadErrorText, UnknownSystemErrorIsStillDescribed)
{
    EXPECT_EQ(describe(ReadFailure{ReadError::OpenFailed, 0, 54321}), "cannot open: Unknown error 54321");
}

TEST(ReadErrorText, OtherFailuresGiveTheirOffset)
{
    EXPECT_EQ(describe(ReadFailure{ReadError::Truncated, 0x1f4, 0}), "truncated at offset 0x1f4");
    EXPECT_EQ(describe(ReadFailure{ReadError::NotIconSource, 12, 0}), "not an icon source");
}

} // namespace
} // namespace gb
