#pragma once
// install.inf texts as cursor packs write them, in 8-bit text or UTF-16:
// for the tests and the INF reader's fuzz seeds.

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace gb::test {

inline std::vector<std::byte> textBytes(std::string_view text)
{
    const auto bytes = std::as_bytes(std::span(text.data(), text.size()));
    return {bytes.begin(), bytes.end()};
}

// The text as UTF-16 with its byte order mark, as Windows' Notepad saves it.
inline std::vector<std::byte> utf16Bytes(std::string_view ascii)
{
    std::vector<std::byte> bytes{std::byte{0xFF}, std::byte{0xFE}};
    for (const char c : ascii) {
        bytes.push_back(static_cast<std::byte>(c));
        bytes.push_back(std::byte{0});
    }
    return bytes;
}

// A scheme naming Normal Select.cur (Arrow, by position), Help Select.cur
// (Help, by position, which the pack lacks), Busy.ani (Wait) and, by a
// named value, Link Select.cur (Hand).
inline constexpr std::string_view kPackInf = R"([Version]
signature="$CHICAGO$"

[DefaultInstall]
CopyFiles = Scheme.Cur
AddReg    = Scheme.Reg, Wsettings

[Scheme.Reg]
HKCU,"Control Panel\Cursors\Schemes","%SCHEME_NAME%",,"%10%\%CUR_DIR%\%pointer%,%10%\%CUR_DIR%\%help%,,%10%\%CUR_DIR%\%busy%"

[Wsettings]
HKCU,"Control Panel\Cursors",Hand,0x00020000,"%10%\%CUR_DIR%\%link%"

[Strings]
CUR_DIR     = "Cursors\Glass"
SCHEME_NAME = "Glass"
pointer     = "Normal Select.cur"
help        = "Help Select.cur"
busy        = "Busy.ani"
link        = "Link Select.cur"
)";

} // namespace gb::test
