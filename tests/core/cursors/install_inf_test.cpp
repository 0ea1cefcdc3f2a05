#include "core/cursors/install_inf.h"

#include "support/inf_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gb {
namespace {

using test::textBytes;
using test::utf16Bytes;

// The scheme of a pack's INF as packs write it: the seventeen files by
// position in the Schemes value, from [Strings].
constexpr std::string_view kSchemeInf = R"([Version]
signature="$CHICAGO$"

[DefaultInstall]
CopyFiles = Scheme.Cur
AddReg    = Scheme.Reg, Wsettings

[Scheme.Reg]
HKCU,"Control Panel\Cursors\Schemes","%SCHEME_NAME%",,"%10%\%CUR_DIR%\%pointer%,%10%\%CUR_DIR%\%help%,%10%\%CUR_DIR%\%work%,%10%\%CUR_DIR%\%busy%,,%10%\%CUR_DIR%\%text%"

[Wsettings]
HKCU,"Control Panel\Cursors",IBeam,0x00020000,"%10%\%CUR_DIR%\%beam2%" ; a named value wins
hkcu,"control panel\cursors",Hand,0x00020000,"%10%\%CUR_DIR%\%link%"

[Strings]
CUR_DIR     = "Cursors\Glass"
SCHEME_NAME = "Glass"
pointer     = "Normal Select.ani"
help        = "Help Select.cur"
work        = "Working in Background.ani"
busy        = "Busy.ani"
text        = "Text Select.cur"
beam2       = "beam.cur"
link        = "Link Select.cur"
)";

TEST(InstallInf, TheSchemeTakesItsFilesByPositionAndByName)
{
    for (const auto& bytes : {textBytes(kSchemeInf), utf16Bytes(kSchemeInf)}) {
        const auto scheme = readCursorScheme(bytes);
        ASSERT_TRUE(scheme);
        EXPECT_EQ(scheme->name, "Glass");
        const std::map<CursorRole, std::string> expected{
            {CursorRole::Arrow, "Normal Select.ani"},
            {CursorRole::Help, "Help Select.cur"},
            {CursorRole::AppStarting, "Working in Background.ani"},
            {CursorRole::Wait, "Busy.ani"},
            {CursorRole::IBeam, "beam.cur"},
            {CursorRole::Hand, "Link Select.cur"},
        };
        EXPECT_EQ(scheme->files, expected);
    }
}

TEST(InstallInf, WritingNoCursorIsNoScheme)
{
    const std::string_view texts[] = {
        "[DefaultInstall]\nAddReg=R\n[R]\nHKCU,\"Software\\x\",a,,\"b\"\n",
        "[Strings]\nx=1\n",
        "",
        // A registry section no install section names is not installed.
        "[R]\nHKCU,\"Control Panel\\Cursors\",Arrow,0x00020000,\"a.cur\"\n",
    };
    for (const std::string_view text : texts)
        EXPECT_FALSE(readCursorScheme(textBytes(text))) << text;
}

TEST(InstallInf, EightBitTextIsWindows1252)
{
    const std::string text =
        "[DefaultInstall]\nAddReg=R\n[R]\nHKCU,\"Control Panel\\Cursors\",Arrow,,\"Fl\xE8"
        "che.cur\"\n";
    const auto scheme = readCursorScheme(textBytes(text));
    ASSERT_TRUE(scheme);
    EXPECT_EQ(scheme->files.at(CursorRole::Arrow), "Fl\xC3\xA8"
                                                   "che.cur");
}

} // namespace
} // namespace gb
