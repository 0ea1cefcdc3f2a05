#pragma once
// File names of batch saves: prefix + "_Icon" + n + ".ico", prefix + "_bmp"
// + n + ".bmp" (and for the command-line tool "_png" and "_group"), with n
// counting from 1, no padding. The prefix is used exactly as typed.

#include <optional>
#include <string>
#include <string_view>

namespace gb {

enum class BatchKind { Ico, Bmp, Png, OriginalGroup };

enum class PrefixProblem {
    Empty,        // nothing typed: the batch cannot be named
    LeavesFolder, // a "/" or NUL, or "." or "..": names outside the output folder
};

// nullopt when the prefix can name files inside the output folder.
std::optional<PrefixProblem> checkPrefix(std::string_view prefix);

std::string batchFileName(std::string_view prefix, BatchKind kind, int n);

// folder + "/" + name, without doubling a "/" that ends the folder.
std::string joinPath(std::string_view folder, std::string_view name);

} // namespace gb
