#pragma once
// File patterns as the Windows file list takes them: "*" any run of
// characters, "?" one character, several patterns joined by ";", matched
// without regard to case, so "*.exe" finds SETUP.EXE.

#include <string>
#include <string_view>
#include <vector>

namespace gb {

class FilePattern {
public:
    // An empty text, or one of only separators, matches every name.
    explicit FilePattern(std::string_view text = "*.*");

    bool matches(std::string_view name) const;
    const std::string& text() const { return text_; }

private:
    std::string text_;
    std::vector<std::string> patterns_; // folded to lower case
};

// "*" alone means every file; the field turns it into "*.*".
std::string normalisePatternText(std::string_view text);

// A pattern that matches the one name (and, through "?", as few others as
// can be): the name itself, with "?" for each character a pattern cannot
// hold as it is: ";" (it joins patterns), a space at either end (trimmed
// from each pattern) and each byte that is not UTF-8. The result is UTF-8,
// so a text field can show it.
std::string patternForName(std::string_view name);

} // namespace gb
