#pragma once
// The text of a launcher in the freedesktop.org desktop entry format: its
// keys' values escaped as strings, and its Exec line quoted by that
// format's rules for Exec.

#include <map>
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

// What an entry starts: a Windows program run by wine, a document or
// script opened by Wine's start (as Explorer opens it, by its type), or a
// web or mail address opened by the desktop.
enum class EntryKind { Program, Document, Link };

struct DesktopEntryFields {
    EntryKind kind = EntryKind::Program;
    std::string name;                  // Name
    std::string comment;               // Comment, when not empty
    std::optional<std::string> prefix; // WINEPREFIX, when there is one
    std::string program;               // Program: run by wine; Document: opened by start /unix
    std::vector<std::string> arguments;
    std::string workingFolder; // Path
    std::string icon;          // Icon
    std::string windowClass;   // StartupWMClass, when not empty
    std::string url;           // Link: URL
    // What the entry was made from, so that this tool finds its own.
    std::string source;                   // X-Glimmerbox-Source
    std::optional<std::string> startMenu; // X-Glimmerbox-Menu: the Start Menu folder, "/" between names
};

// The entry. Every value must be free of control characters (the caller
// checks with holdsControlCharacter).
std::string desktopEntryText(const DesktopEntryFields& fields);

// The keys of an entry's [Desktop Entry] group and their values, string
// escapes (\s, \n, \t, \r, \\) undone; the first of a repeated key
// counts. Other groups, comments and lines without "=" are passed over.
std::map<std::string, std::string, std::less<>> desktopEntryValues(std::string_view text);

} // namespace gb
