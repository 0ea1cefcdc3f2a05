#include "core/catalogue/icon_origin.h"

#include "core/catalogue/catalogue_store.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

TEST(IconOrigin, KeyLeadsBackToPathBytesAndIndex)
{
    const std::string path = " /tmp/Program Files (x86)/app\xff.exe ";
    const auto origin = iconOrigin(imageKey(path, 12));
    ASSERT_TRUE(origin);
    EXPECT_EQ(origin->path, path);
    EXPECT_EQ(origin->index, 12);
}

TEST(IconOrigin, TextThatIsNoKeyGivesNone)
{
    for (const char* text : {"", "/tmp/a.exe", "/tmp/a.exe()", "/tmp/a.exe(x)", "/tmp/a.exe(-1)", "a(1"})
        EXPECT_FALSE(iconOrigin(text)) << text;
}

} // namespace
} // namespace gb
