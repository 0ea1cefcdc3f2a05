#include "core/export/batch_names.h"

namespace gb {

std::optional<PrefixProblem> checkPrefix(std::string_view prefix)
{
    if (prefix.empty())
        return PrefixProblem::Empty;
    // A separator or a NUL would move the file elsewhere; "." and ".." read
    // as folders to every user, so they are refused too.
    if (prefix.find('/') != std::string_view::npos || prefix.find('\0') != std::string_view::npos ||
        prefix == "." || prefix == "..")
        return PrefixProblem::LeavesFolder;
    return std::nullopt;
}

std::string batchFileName(std::string_view prefix, BatchKind kind, int n)
{
    const char* part = "_Icon";
    const char* extension = ".ico";
    switch (kind) {
    case BatchKind::Ico: break;
    case BatchKind::Bmp:
        part = "_bmp";
        extension = ".bmp";
        break;
    case BatchKind::Png:
        part = "_png";
        extension = ".png";
        break;
    case BatchKind::OriginalGroup:
        part = "_group";
        extension = ".ico";
        break;
    }
    return std::string(prefix) + part + std::to_string(n) + extension;
}

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + std::string(name);
}

} // namespace gb
