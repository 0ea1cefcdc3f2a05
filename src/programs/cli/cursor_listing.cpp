#include "programs/cli/cursor_listing.h"
#include "programs/cli/cli_commands.h"

#include "core/cursors/cursor_reader.h"
#include "core/cursors/cursor_sizes.h"
#include "core/icons/entry_choice.h"
#include "core/icons/icon_source.h"
#include "core/text/escaped_text.h"

#include <nlohmann/json.hpp>

namespace gb::cli {

namespace {

using Json = nlohmann::ordered_json;

// The image of the first frame Windows would draw for 32 pixels, labelled
// as the icons' entries are ("32x32@8", "48x48@png", "none").
std::string entry32(const Cursor& cursor)
{
    EntryInfo info;
    if (!cursor.frames.empty()) {
        std::vector<std::optional<ImageHeader>> headers;
        for (const CursorImage& image : cursor.frames[0].images)
            headers.push_back(
                ImageHeader{image.width, image.height, image.png ? 32 : image.bitCount, image.png});
        if (const auto chosen = chooseEntry(headers, kLargeIconSize)) {
            info.found = true;
            info.entry = *chosen;
            info.header = *headers[*chosen];
        }
    }
    return info.label();
}

// The sizes written for the cursor, each made (resampled) or stored in
// every frame.
Json sizesJson(const Cursor& cursor, const std::vector<int>& sizes)
{
    Json list = Json::array();
    const auto sized = cursorAtSizes(cursor, sizes);
    if (!sized)
        return list;
    for (std::size_t i = 0; i < sized->sizes.size(); ++i) {
        bool made = false;
        for (const auto& frame : sized->frames)
            made = made || (i < frame.size() && frame[i].made);
        list.push_back(Json{{"size", sized->sizes[i]}, {"made", made}});
    }
    return list;
}

Json cursorJson(const IconOrigin& origin, int index, const FoundCursor& found, const std::vector<int>& sizes)
{
    Json line{{"path", origin.memberPath()}, {"index", index}, {"key", keyOf(origin, index)}};
    if (found.resource) {
        line["resource"] = found.resource->id == 0 ? Json(found.resource->name) : Json(found.resource->id);
        line["resource_type"] = found.resourceType;
        line["language"] = found.resource->language;
    }
    if (!found.cursor) {
        line["error"] = describe(found.cursor.error());
        return line;
    }
    const Cursor& cursor = *found.cursor;
    const bool animated = cursor.kind == CursorKind::Animated;
    line["kind"] = animated ? "animated" : "cursor";
    Json images = Json::array();
    for (std::size_t f = 0; f < cursor.frames.size(); ++f)
        for (const CursorImage& image : cursor.frames[f].images)
            images.push_back(Json{{"frame", f},
                                  {"width", image.width},
                                  {"height", image.height},
                                  {"bits", image.png ? Json("png") : Json(image.bitCount)},
                                  {"hotspot", Json::array({image.hotspotX, image.hotspotY})}});
    line["images"] = std::move(images);
    line["sizes"] = sizesJson(cursor, sizes);
    if (animated) {
        line["frames"] = cursor.frames.size();
        line["steps"] = cursor.steps;
        line["delays_ms"] = cursor.delaysMs;
        if (!cursor.title.empty())
            line["title"] = cursor.title;
        if (!cursor.author.empty())
            line["author"] = cursor.author;
    }
    return line;
}

} // namespace

CursorListing listCursors(const IconOrigin& origin, const ByteSource& bytes, bool json,
                          const std::vector<int>& sizes)
{
    CursorListing listing;
    const auto found = readCursors(bytes);
    if (!found) {
        // Not a file that holds cursors at all; a broken one is a problem.
        if (found.error().read.reason != ReadError::NotIconSource)
            listing.problems.push_back(escapeText(origin.memberPath()) + ": " +
                                       escapeText(describe(found.error())));
        return listing;
    }
    for (std::size_t i = 0; i < found->size(); ++i) {
        const FoundCursor& one = (*found)[i];
        const int index = static_cast<int>(i);
        if (!one.cursor)
            listing.problems.push_back(escapeText(keyOf(origin, index)) + ": " +
                                       escapeText(describe(one.cursor.error())));
        if (json) {
            listing.lines +=
                cursorJson(origin, index, one, sizes).dump(-1, ' ', false, Json::error_handler_t::replace);
        } else {
            listing.lines += escapeText(keyOf(origin, index)) + '\t' +
                             (one.cursor ? entry32(*one.cursor) : "none") + '\t' +
                             std::to_string(one.cursor ? one.cursor->frames.size() : 0);
        }
        listing.lines += '\n';
        ++listing.cursors;
    }
    return listing;
}

} // namespace gb::cli
