#pragma once
// The names --files-from reads: one a line, or with -0 one per NUL byte, as
// `find -print0` writes them. A name is the bytes between two separators,
// exactly (no blank is trimmed: a name may end in one); empty ones are
// passed over, and the last may lack its separator.

#include <expected>
#include <string>
#include <vector>

namespace gb::cli {

// Longer than this, a name names no file Linux can open (PATH_MAX): a file
// of other bytes is refused before it fills memory as one name.
inline constexpr std::size_t kLongestListedName = 4096;

enum class NameSeparator { LineFeed, Nul };

struct NameListFailure {
    int error = 0;            // errno of an open or read that failed, else 0
    std::size_t longName = 0; // the number of the name too long, from 1
};

std::expected<std::vector<std::string>, NameListFailure> readNameList(int fd, NameSeparator separator);

// FILE, or standard input for "-".
std::expected<std::vector<std::string>, NameListFailure> readNameList(const std::string& file,
                                                                      NameSeparator separator);

// "cannot read the list of names FILE: REASON", "FILE: name N is longer than 4096 bytes"
std::string nameListFailureText(const std::string& file, const NameListFailure& failure);

} // namespace gb::cli
