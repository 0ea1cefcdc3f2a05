#pragma once
// Cursor files for tests and fixtures, written after the published formats:
// CUR files (an ICO directory of type 2 whose planes and bit count hold the
// hot spot), cursor resources (the hot spot, then the DIB), and animated
// cursors (RIFF ACON) in every form real packs take, the malformed ones
// included (see malformedAniFiles).

#include "support/dib_builder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace gb::test {

using CursorBytes = std::vector<std::byte>;

// A square DIB of one palette colour (8 bits) with the given AND mask.
inline CursorBytes cursorDib(
    int side, Rgba colour, std::function<bool(int, int)> masked = [](int, int) { return false; })
{
    DibRecipe recipe;
    recipe.width = side;
    recipe.height = side;
    recipe.bitCount = 8;
    recipe.palette = {Rgba{0, 0, 0, 255}, colour};
    recipe.pixel = [](int, int) { return 1u; };
    recipe.masked = std::move(masked);
    return buildDib(recipe);
}

struct CurImage {
    int width = 0, height = 0;
    int hotspotX = 0, hotspotY = 0; // a cursor's; unused for an icon
    CursorBytes image;              // a DIB or a PNG
};

// An ICO (type 1) or CUR (type 2) file of the images, in order.
inline CursorBytes curFile(const std::vector<CurImage>& images, bool cursor = true)
{
    CursorBytes out;
    put16(out, 0);
    put16(out, cursor ? 2 : 1);
    put16(out, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const CurImage& image : images) {
        out.push_back(static_cast<std::byte>(image.width & 0xff));
        out.push_back(static_cast<std::byte>(image.height & 0xff));
        out.push_back(std::byte{0});
        out.push_back(std::byte{0});
        put16(out, static_cast<std::uint16_t>(cursor ? image.hotspotX : 1));
        put16(out, static_cast<std::uint16_t>(cursor ? image.hotspotY : 8));
        put32(out, static_cast<std::uint32_t>(image.image.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(image.image.size());
    }
    for (const CurImage& image : images)
        out.insert(out.end(), image.image.begin(), image.image.end());
    return out;
}

// One square cursor of one colour with its hot spot.
inline CursorBytes simpleCur(int side, Rgba colour, int hotspotX, int hotspotY)
{
    return curFile({{side, side, hotspotX, hotspotY, cursorDib(side, colour)}});
}

// An RT_CURSOR resource: the hot spot's x and y, then the image.
inline CursorBytes cursorResource(int hotspotX, int hotspotY, const CursorBytes& image)
{
    CursorBytes out;
    put16(out, static_cast<std::uint16_t>(hotspotX));
    put16(out, static_cast<std::uint16_t>(hotspotY));
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

inline void putId(CursorBytes& out, const std::string& id)
{
    for (char c : id)
        out.push_back(static_cast<std::byte>(c));
}

struct AniRecipe {
    std::vector<CursorBytes> frames; // ICO/CUR files, or raw DIBs when !iconFrames
    bool iconFrames = true;          // the anih flag bit 0
    std::optional<std::vector<std::uint32_t>> sequence;
    std::optional<std::vector<std::uint32_t>> rates; // jiffies
    std::uint32_t defaultRate = 6;
    std::optional<std::uint32_t> declaredFrames, declaredSteps; // else counted
    std::string title, author;
    bool infoFirst = false;           // LIST INFO before anih and the frames
    bool unknownBeforeHeader = false; // chunks of unknown ids before anih
    bool frameListFirst = false;      // LIST fram before anih
    int riffSizeDelta = 0;            // added to the RIFF size (-8: the common short size)
    bool padOddChunks = true;         // false: odd chunks are followed directly by the next
};

inline void putChunk(CursorBytes& out, const std::string& id, const CursorBytes& body, bool pad)
{
    putId(out, id);
    put32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (pad && body.size() % 2 == 1)
        out.push_back(std::byte{0});
}

inline CursorBytes textBody(const std::string& text)
{
    CursorBytes body;
    putId(body, text);
    body.push_back(std::byte{0});
    return body;
}

inline CursorBytes buildAniFile(const AniRecipe& r)
{
    const bool pad = r.padOddChunks;
    CursorBytes header;
    const auto frames = static_cast<std::uint32_t>(r.frames.size());
    const auto steps = r.sequence ? static_cast<std::uint32_t>(r.sequence->size()) : frames;
    put32(header, 36);
    put32(header, r.declaredFrames.value_or(frames));
    put32(header, r.declaredSteps.value_or(steps));
    for (int i = 0; i < 4; ++i)
        put32(header, 0); // cx, cy, bit count, planes
    put32(header, r.defaultRate);
    put32(header, (r.iconFrames ? 1u : 0u) | (r.sequence ? 2u : 0u));

    CursorBytes info;
    putId(info, "INFO");
    if (!r.title.empty())
        putChunk(info, "INAM", textBody(r.title), pad);
    if (!r.author.empty())
        putChunk(info, "IART", textBody(r.author), pad);

    CursorBytes list;
    putId(list, "fram");
    for (const CursorBytes& frame : r.frames)
        putChunk(list, "icon", frame, pad);

    CursorBytes form;
    putId(form, "ACON");
    if (r.infoFirst && info.size() > 4)
        putChunk(form, "LIST", info, pad);
    if (r.unknownBeforeHeader) {
        putChunk(form, "junk", textBody("odd"), pad);   // 4 bytes
        putChunk(form, "fact", textBody("xyzzy"), pad); // 6 bytes
        putChunk(form, "odd1", textBody("ab"), pad);    // 3 bytes: odd
    }
    if (r.frameListFirst)
        putChunk(form, "LIST", list, pad);
    putChunk(form, "anih", header, pad);
    if (r.rates) {
        CursorBytes body;
        for (std::uint32_t v : *r.rates)
            put32(body, v);
        putChunk(form, "rate", body, pad);
    }
    if (r.sequence) {
        CursorBytes body;
        for (std::uint32_t v : *r.sequence)
            put32(body, v);
        putChunk(form, "seq ", body, pad);
    }
    if (!r.infoFirst && info.size() > 4)
        putChunk(form, "LIST", info, pad);
    if (!r.frameListFirst)
        putChunk(form, "LIST", list, pad);

    CursorBytes file;
    putId(file, "RIFF");
    put32(file, static_cast<std::uint32_t>(static_cast<std::int64_t>(form.size()) + r.riffSizeDelta));
    file.insert(file.end(), form.begin(), form.end());
    return file;
}

// Two CUR frames (red 32x32, hot spot 3,4; blue 32x32, hot spot 10,12).
inline std::vector<CursorBytes> twoCursorFrames()
{
    return {simpleCur(32, Rgba{255, 0, 0, 255}, 3, 4), simpleCur(32, Rgba{0, 0, 255, 255}, 10, 12)};
}

// Every named form of animated cursor the readers are tested on; the
// fixture generator writes each as NAME.ani.
inline std::vector<std::pair<std::string, CursorBytes>> namedAniFiles()
{
    std::vector<std::pair<std::string, CursorBytes>> files;
    const auto add = [&](std::string name, AniRecipe recipe) {
        if (recipe.frames.empty())
            recipe.frames = twoCursorFrames();
        files.emplace_back(std::move(name), buildAniFile(recipe));
    };
    AniRecipe plain;
    add("plain", plain);
    AniRecipe sequenced;
    sequenced.sequence = std::vector<std::uint32_t>{0, 1, 0, 0};
    sequenced.rates = std::vector<std::uint32_t>{1, 2, 3, 10};
    sequenced.title = "Spinner";
    sequenced.author = "Glimmerbox tests";
    add("sequenced", sequenced);
    AniRecipe shortSize;
    shortSize.riffSizeDelta = -8;
    add("riff_size_short", shortSize);
    AniRecipe longSize;
    longSize.riffSizeDelta = 4096;
    add("riff_size_long", longSize);
    AniRecipe infoFirst;
    infoFirst.infoFirst = true;
    infoFirst.title = "Busy";
    infoFirst.author = "Someone";
    add("info_first", infoFirst);
    AniRecipe unknown;
    unknown.unknownBeforeHeader = true;
    add("unknown_chunks_first", unknown);
    AniRecipe oddPadded;
    oddPadded.title = "Odd"; // INAM of 4 bytes with its NUL: even; the author makes it odd
    oddPadded.author = "Abcd";
    oddPadded.unknownBeforeHeader = true;
    add("odd_chunks_padded", oddPadded);
    AniRecipe oddUnpadded = oddPadded;
    oddUnpadded.padOddChunks = false;
    add("odd_chunks_unpadded", oddUnpadded);
    AniRecipe iconFrames;
    iconFrames.frames = {curFile({{32, 32, 0, 0, cursorDib(32, Rgba{0, 255, 0, 255})}}, false),
                         curFile({{16, 16, 0, 0, cursorDib(16, Rgba{0, 255, 0, 255})}}, false)};
    add("icon_frames", iconFrames);
    AniRecipe raw;
    raw.iconFrames = false;
    raw.frames = {cursorDib(32, Rgba{255, 255, 0, 255}), cursorDib(32, Rgba{0, 255, 255, 255})};
    add("raw_frames", raw);
    AniRecipe badSequence;
    badSequence.sequence = std::vector<std::uint32_t>{0, 1, 2};
    add("sequence_past_frames", badSequence);
    return files;
}

inline CursorBytes namedAniFile(const std::string& name)
{
    for (auto& [n, bytes] : namedAniFiles())
        if (n == name)
            return bytes;
    return {};
}

} // namespace gb::test
