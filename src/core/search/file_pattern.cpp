#include "core/search/file_pattern.h"

#include "core/text/ascii.h"
#include "core/text/utf8_text.h"

namespace gb {

namespace {

std::string_view trimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Wildcard match with backtracking on the last "*" only: linear in practice,
// never exponential. "?" takes one character, a UTF-8 sequence counting as one.
bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            ++n;
            while (n < name.size() && isUtf8Continuation(name[n]))
                ++n;
        } else if (p < pattern.size() && pattern[p] == asciiLower(name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

FilePattern::FilePattern(std::string_view text) : text_(text)
{
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto semicolon = rest.find(';');
        const std::string_view part = trimSpaces(rest.substr(0, semicolon));
        if (!part.empty()) {
            patterns_.push_back(asciiLowered(part));
        }
        if (semicolon == std::string_view::npos)
            break;
        rest.remove_prefix(semicolon + 1);
    }
    if (patterns_.empty())
        patterns_.emplace_back("*");
}

bool FilePattern::matches(std::string_view name) const
{
    for (const std::string& pattern : patterns_) {
        if (wildcardMatch(pattern, name))
            return true;
        // Windows lets "name.*" (and so "*.*") match names without any dot.
        if (pattern.size() >= 2 && pattern.ends_with(".*") && name.find('.') == std::string_view::npos &&
            wildcardMatch(std::string_view(pattern).substr(0, pattern.size() - 2), name))
            return true;
    }
    return false;
}

std::string normalisePatternText(std::string_view text)
{
    return text == "*" ? std::string("*.*") : std::string(text);
}

std::string patternForName(std::string_view name)
{
    std::string pattern;
    std::size_t at = 0;
    while (at < name.size()) {
        const std::string_view rest = name.substr(at);
        const std::size_t length = utf8SequenceLength(rest);
        const bool edgeSpace = rest.front() == ' ' && (at == 0 || rest.size() == 1);
        if (length == 0 || rest.front() == ';' || edgeSpace) {
            // "?" takes a byte and the continuation bytes after it, as the
            // matcher does, so the next character starts where it expects.
            pattern += '?';
            ++at;
            while (at < name.size() && isUtf8Continuation(name[at]))
                ++at;
            continue;
        }
        pattern.append(rest.substr(0, length));
        at += length;
    }
    return pattern;
}

} // namespace gb
