#include "core/cursors/cursor_png.h"

#include "core/imagefiles/png_writer.h"

namespace gb {

std::expected<std::vector<std::byte>, std::string> encodeCursorPng(const SizedCursor& cursor,
                                                                   std::size_t sizeIndex)
{
    const std::size_t frame = cursor.steps.empty() ? 0 : static_cast<std::size_t>(cursor.steps.front());
    if (frame >= cursor.frames.size() || sizeIndex >= cursor.frames[frame].size())
        return std::unexpected("the cursor has no image at that size");
    return encodePng(cursor.frames[frame][sizeIndex].pixels);
}

} // namespace gb
