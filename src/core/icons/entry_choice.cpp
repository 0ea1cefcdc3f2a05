#include "core/icons/entry_choice.h"

#include <cstdlib>

namespace gb {

namespace {

int distance(const ImageHeader& h, int size)
{
    return std::abs(h.width - size) + std::abs(h.height - size);
}

// True when candidate beats best for the given size.
bool better(const ImageHeader& candidate, const ImageHeader& best, int size)
{
    const int dc = distance(candidate, size), db = distance(best, size);
    if (dc != db)
        return dc < db;
    const int sc = candidate.width + candidate.height, sb = best.width + best.height;
    if (sc != sb)
        return sc > sb; // equally near: the larger image scales down better
    if (candidate.width != best.width)
        return candidate.width > best.width;
    return candidate.bitDepth > best.bitDepth; // strict: the first wins a full tie
}

} // namespace

std::optional<std::size_t> chooseEntry(std::span<const std::optional<ImageHeader>> headers, int size)
{
    std::optional<std::size_t> chosen;
    for (std::size_t i = 0; i < headers.size(); ++i) {
        if (!headers[i])
            continue;
        if (!chosen || better(*headers[i], *headers[*chosen], size))
            chosen = i;
    }
    return chosen;
}

} // namespace gb
