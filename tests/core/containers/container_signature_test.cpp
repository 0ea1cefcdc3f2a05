#include "core/containers/container_signature.h"
#include "core/containers/container_walk.h"
#include "core/containers/member_name.h"

#include <gtest/gtest.h>

#include <string>

namespace gb {
namespace {

ContainerKind kindOf(const std::string& start, std::size_t at = 0)
{
    std::vector<std::byte> bytes(at + start.size() + 512);
    for (std::size_t i = 0; i < start.size(); ++i)
        bytes[at + i] = static_cast<std::byte>(start[i]);
    return sniffContainer(MemorySource(ByteReader(bytes)));
}

TEST(ContainerSniff, KnowsContainersByTheirContent)
{
    EXPECT_EQ(kindOf("PK\3\4"), ContainerKind::Archive);
    EXPECT_EQ(kindOf("PK\5\6"), ContainerKind::Archive);
    EXPECT_EQ(kindOf("7z\xbc\xaf\x27\x1c"), ContainerKind::Archive);
    EXPECT_EQ(kindOf(std::string("MSCF\0\0\0\0", 8)), ContainerKind::Archive);
    EXPECT_EQ(kindOf(std::string("Rar!\x1a\x07\x01\x00", 8)), ContainerKind::Archive);
    EXPECT_EQ(kindOf("\x1f\x8b"), ContainerKind::Archive);
    EXPECT_EQ(kindOf("ustar", 257), ContainerKind::Archive);
    EXPECT_EQ(kindOf("CD001", 32769), ContainerKind::Archive);
    EXPECT_EQ(kindOf("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"), ContainerKind::Installer);
    EXPECT_EQ(kindOf("MZ"), ContainerKind::None);
    EXPECT_EQ(kindOf("PK"), ContainerKind::None);
}

TEST(ContainerSniff, NamesAreOnlyAHint)
{
    EXPECT_TRUE(hasContainerName("DISK1/DATA.CAB"));
    EXPECT_TRUE(hasContainerName("src.tar.zst"));
    EXPECT_FALSE(hasContainerName("setup.exe"));
    EXPECT_FALSE(hasContainerName("zip"));
}

TEST(MemberNames, LoseLeadingAndDoubledSlashes)
{
    EXPECT_EQ(normaliseMemberName("./SETUP//APP.EXE"), "SETUP/APP.EXE");
    EXPECT_EQ(normaliseMemberName("/./a"), "a");
    EXPECT_EQ(normaliseMemberName("a/./b"), "a/./b");
    EXPECT_EQ(lastComponent("SETUP/APP.EXE"), "APP.EXE");
}

} // namespace
} // namespace gb
