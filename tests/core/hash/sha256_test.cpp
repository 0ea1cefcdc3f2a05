#include "core/hash/sha256.h"

#include <gtest/gtest.h>

#include <string_view>

namespace gb {
namespace {

// The test vectors of FIPS 180-2.
TEST(Sha256, GivesTheStandardDigestsAsLowercaseHex)
{
    const auto digest = [](std::string_view text) {
        return sha256Hex(ByteReader(std::as_bytes(std::span(text))));
    };
    EXPECT_EQ(digest(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(digest("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

} // namespace
} // namespace gb
