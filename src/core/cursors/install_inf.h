#pragma once
// The cursor scheme an install.inf installs, as Windows' setup reads it:
// the registry lines of the AddReg sections its install section names that
// write HKCU\Control Panel\Cursors — the scheme's value under "Schemes"
// (the seventeen roles' files by position) and the named values (Arrow,
// IBeam, ...; a named value wins over the position) — with the %names% of
// [Strings] put in. Section and key names are matched without regard to
// case; the text is UTF-16 (with its byte order mark) or 8-bit
// (Windows-1252).

#include "core/cursors/cursor_roles.h"

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>

namespace gb {

// An INF is a few kilobytes; larger input is read no further than this.
inline constexpr std::size_t kMaxInfBytes = 1 << 20;

struct CursorScheme {
    std::string name;                        // the scheme's name, when it has one
    std::map<CursorRole, std::string> files; // each role's file name (its last path component)
};

// The scheme; none when the INF writes no cursor.
std::optional<CursorScheme> readCursorScheme(std::span<const std::byte> bytes);

// The INF's text as UTF-8.
std::string infText(std::span<const std::byte> bytes);

} // namespace gb
