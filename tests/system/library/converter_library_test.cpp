// The window's way to libconvert.so: dlopen at first use, dlsym by name.
#include "core/convert/convert_test_support.h"
#include "libconvert/libconvert.h"
#include "system/library/converter_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace gb::convert {
namespace {

// The libconvert.so this test program is linked with, by its full path.
std::string builtLibrary()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&bmptojpg), &info) == 0 || !info.dli_fname)
        return {};
    return info.dli_fname;
}

TEST(ConverterLibrary, OpensTheLibraryAndConverts)
{
    const std::string library = builtLibrary();
    ASSERT_NE(library.find("libconvert.so"), std::string::npos) << library;
    LibraryConverter converter({"/nonexistent/libconvert.so", library});
    test::TempFolder folder;
    const std::string bmp = folder.write("in.bmp", test::buildBmp(test::photoLike(40, 30)));
    ASSERT_TRUE(converter.bmptojpg(bmp, folder.file("out.jpg"), 80));
    ASSERT_TRUE(converter.jpgtobmp(folder.file("out.jpg"), folder.file("back.bmp")));
    ASSERT_TRUE(converter.jpgtojpg(folder.file("out.jpg"), folder.file("again.jpg"), 0));
    EXPECT_TRUE(std::filesystem::exists(folder.file("back.bmp")));
    EXPECT_TRUE(std::filesystem::exists(folder.file("again.jpg")));
}

TEST(ConverterLibrary, TheLibrarysStatusComesBack)
{
    LibraryConverter converter({builtLibrary()});
    test::TempFolder folder;
    const auto result = converter.jpgtobmp(folder.file("missing.jpg"), folder.file("out.bmp"));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, CallFailure::Kind::Status);
    EXPECT_EQ(result.error().status, ConvertStatus::SourceMissing);
}

TEST(ConverterLibrary, MissingLibraryIsReportedNotFatal)
{
    LibraryConverter converter({"/nonexistent/libconvert.so", "libglimmerbox-no-such-library.so"});
    const auto result = converter.bmptojpg("a.bmp", "b.jpg", 75);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, CallFailure::Kind::LibraryMissing);
    EXPECT_NE(result.error().detail.find("libglimmerbox-no-such-library.so"), std::string::npos);
    // Asking again tries again, and fails the same way.
    EXPECT_EQ(converter.jpgtobmp("a.jpg", "b.bmp").error().kind, CallFailure::Kind::LibraryMissing);
}

TEST(ConverterLibrary, LibraryWithoutTheFunctionIsReportedByName)
{
    LibraryConverter converter({"libm.so.6"});
    const auto result = converter.jpgtojpg("a.jpg", "b.jpg", 75);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, CallFailure::Kind::FunctionMissing);
    EXPECT_EQ(result.error().detail, "jpgtojpg");
}

TEST(ConverterLibrary, ProgramFolderComesFirstThenTheInstalledLibraryFolderThenTheSearchPath)
{
    const auto candidates = LibraryConverter::defaultCandidates();
    ASSERT_GE(candidates.size(), 2u);
    char exe[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    const std::string folder = std::filesystem::path(exe).parent_path().string();
    EXPECT_EQ(candidates.front(), folder + "/libconvert.so");
    EXPECT_EQ(candidates.back(), "libconvert.so");
    if (candidates.size() == 3) {
        EXPECT_TRUE(candidates[1].starts_with(folder + "/")) << candidates[1];
    }
}

} // namespace
} // namespace gb::convert
