#include "core/catalogue/file_icons.h"
#include "core/icons/icon_source.h"

#include "support/hostile_builders.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace gb {
namespace {

std::string fixture(const char* name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

TEST(ProgramVersion, TheUsEnglishTableOfBothPeKinds)
{
    for (const char* name : {"icons32.exe", "icons64.dll"}) {
        SCOPED_TRACE(name);
        const auto source = IconSource::open(fixture(name));
        ASSERT_TRUE(source);
        const auto version = source->versionInfo();
        ASSERT_TRUE(version);
        EXPECT_EQ(version->text("FileDescription"), "Fixture Catalogue");
        EXPECT_EQ(version->text("ProductName"), "Icon Catalogue");
        EXPECT_EQ(version->text("CompanyName"), "Glimmerbox Fixtures");
        EXPECT_EQ(version->version(), "1.2.3.4");
    }
    for (const char* name : {"odd32.exe", "depth8.ico", "icons16.exe"}) {
        const auto source = IconSource::open(fixture(name));
        ASSERT_TRUE(source) << name;
        EXPECT_FALSE(source->versionInfo()) << name;
    }
}

// A Windows 10 partition: System32/imageres.dll holds code only, its icons
// are in SystemResources/imageres.dll.mun.
TEST(SystemResources, ALibraryWithoutIconsGivesThoseOfItsMunFile)
{
    test::TempFolder temp;
    namespace fs = std::filesystem;
    const test::Bytes codeOnly = test::buildPe({});
    struct Case {
        const char* library; // under the partition
        const char* mun;     // where the .mun lies, or nullptr
        int icons;           // what a search of the library finds
    };
    const Case cases[] = {
        {"Windows/System32/imageres.dll", "Windows/SystemResources/imageres.dll.mun", 7},
        {"WINDOWS/syswow64/Shell32.dll", "WINDOWS/systemresources/SHELL32.DLL.MUN", 7},
        {"Windows/Temp/imageres.dll", "Windows/SystemResources/imageres.dll.mun", 0}, // not a system folder
        {"Windows/System32/other.dll", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        fs::create_directories(fs::path(temp.file(c.library)).parent_path());
        temp.write(c.library, codeOnly);
        if (c.mun != nullptr) {
            fs::create_directories(fs::path(temp.file(c.mun)).parent_path());
            fs::copy_file(fixture("icons64.dll"), temp.file(c.mun), fs::copy_options::overwrite_existing);
        }
        const auto found = extractFileIcons(temp.file(c.library));
        ASSERT_EQ(found.size(), static_cast<std::size_t>(c.icons));
        const auto original = extractFileIcons(fixture("icons64.dll"));
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].origin.key(), temp.file(c.library) + "(" + std::to_string(i) + ")");
            EXPECT_EQ(found[i].large.pixels(), original[i].large.pixels());
        }
    }
}

} // namespace
} // namespace gb
