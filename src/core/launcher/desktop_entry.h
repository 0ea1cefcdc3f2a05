#pragma once
// The text of a launcher in the freedesktop.org desktop entry format: its
// keys' values escaped as strings, and its Exec line quoted by that
// format's rules for Exec.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gb {

// A Windows command line's arguments split as programs built with
// Microsoft's C runtime split them (and as Wine joins them again):
// spaces and tabs between arguments outside quotes; 2n backslashes before
// a quote are n backslashes and the quote opens or closes a quoted part,
// 2n+1 of them are n backslashes and a literal quote; "" inside a quoted
// part is a literal quote; other backslashes are literal.
std::vector<std::string> splitWindowsArguments(std::string_view arguments);

// One argument of an Exec line, in double quotes when it holds a reserved
// character (or is empty, or `quoted` asks for it), with ", `, $ and the
// backslash escaped inside them. The field-code and string escapes come
// later.
std::string execArgument(std::string_view argument, bool quoted = false);

struct DesktopEntryFields {
    std::string name;                  // Name
    std::optional<std::string> prefix; // WINEPREFIX, when there is one
    std::string program;               // run by wine
    std::vector<std::string> arguments;
    std::string workingFolder; // Path
    std::string icon;          // Icon
    std::string windowClass;   // StartupWMClass
};

// The entry. Every value must be free of control characters (the caller
// checks with holdsControlCharacter).
std::string desktopEntryText(const DesktopEntryFields& fields);

} // namespace gb
