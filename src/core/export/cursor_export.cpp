#include "core/export/cursor_export.h"

#include "core/cursors/ani_writer.h"
#include "core/cursors/cur_writer.h"
#include "core/cursors/cursor_png.h"
#include "core/cursors/cursor_sizes.h"
#include "core/cursors/xcursor_writer.h"
#include "core/export/batch_names.h"

namespace gb {

namespace {

std::string failureText(CursorWriteError error)
{
    return std::string("cannot write the cursor: ") + cursorWriteErrorName(error);
}

ExportContents contentsOf(std::expected<std::vector<std::byte>, CursorWriteError> bytes)
{
    if (!bytes)
        return std::unexpected(failureText(bytes.error()));
    return std::move(*bytes);
}

} // namespace

std::string cursorFileStem(std::string_view prefix, int n)
{
    return std::string(prefix) + "_cursor" + std::to_string(n);
}

std::vector<PreparedExportFile> cursorFiles(const Cursor& cursor, const CursorExportOptions& options, int n,
                                            const std::string& source)
{
    std::vector<PreparedExportFile> files;
    const std::string stem = joinPath(options.outDir, cursorFileStem(options.prefix, n));
    const auto add = [&](std::string path, ExportContents contents) {
        files.push_back(PreparedExportFile{ExportFile{std::move(path), static_cast<std::size_t>(n), source},
                                           std::move(contents)});
    };
    switch (options.format) {
    case CursorFileFormat::Cur:
        if (cursor.kind == CursorKind::Static && !cursor.frames.empty())
            add(stem + ".cur", contentsOf(encodeCur(cursor.frames.front())));
        else
            add(stem + ".ani", contentsOf(encodeAni(cursor)));
        return files;
    case CursorFileFormat::Ani: add(stem + ".ani", contentsOf(encodeAni(cursor))); return files;
    case CursorFileFormat::Xcursor:
    case CursorFileFormat::Png: break;
    }
    auto sized = cursorAtSizes(cursor, options.sizes);
    if (!sized) {
        add(stem, std::unexpected(failureText(sized.error())));
        return files;
    }
    if (options.format == CursorFileFormat::Xcursor) {
        add(stem, contentsOf(encodeXcursor(*sized)));
        return files;
    }
    const std::size_t first = static_cast<std::size_t>(sized->steps.front());
    for (std::size_t s = 0; s < sized->sizes.size(); ++s) {
        const RgbaImage& pixels = sized->frames[first][s].pixels;
        add(stem + "_" + std::to_string(pixels.width()) + "x" + std::to_string(pixels.height()) + ".png",
            encodeCursorPng(*sized, s));
    }
    return files;
}

} // namespace gb
