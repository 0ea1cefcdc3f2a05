#pragma once
// Cursors built in memory for the writers' tests: each image a DIB made by
// dib_builder.h, drawn by the engine's own decoder, with its hot spot.

#include "core/cursors/cursor.h"
#include "core/icons/icon_image.h"
#include "support/dib_builder.h"

#include <cstdint>
#include <vector>

namespace gb::test {

// A 32-bit image of side `side` whose colours tell its pixels apart (and
// one image from another, by `seed`), half transparent along a diagonal band.
inline DibRecipe patternRecipe(int side, std::uint8_t seed, int bitCount = 32)
{
    DibRecipe recipe;
    recipe.width = side;
    recipe.height = side;
    recipe.bitCount = bitCount;
    recipe.pixel = [side, seed](int x, int y) {
        const auto alpha = static_cast<std::uint8_t>(x == y ? 128 : (x + y < side ? 255 : 0));
        return argb(alpha, static_cast<std::uint8_t>(x * 7 + seed), static_cast<std::uint8_t>(y * 5),
                    static_cast<std::uint8_t>(seed * 3 + x + y));
    };
    return recipe;
}

inline CursorImage cursorImageOf(const DibRecipe& recipe, int hotspotX, int hotspotY)
{
    CursorImage image;
    image.width = recipe.width;
    image.height = recipe.height;
    image.hotspotX = hotspotX;
    image.hotspotY = hotspotY;
    image.bitCount = recipe.bitCount;
    image.stored = buildDib(recipe);
    image.pixels = decodeIconImage(ByteReader(image.stored)).value();
    return image;
}

inline CursorImage patternImage(int side, int hotspotX, int hotspotY, std::uint8_t seed = 0)
{
    return cursorImageOf(patternRecipe(side, seed), hotspotX, hotspotY);
}

inline Cursor staticCursor(std::vector<CursorImage> images)
{
    Cursor cursor;
    cursor.frames.push_back(CursorFrame{std::move(images)});
    cursor.steps = {0};
    cursor.delaysMs = {0};
    return cursor;
}

inline Cursor animatedCursor(std::vector<CursorFrame> frames, std::vector<int> steps,
                             std::vector<int> delaysMs)
{
    Cursor cursor;
    cursor.kind = CursorKind::Animated;
    cursor.frames = std::move(frames);
    cursor.steps = std::move(steps);
    cursor.delaysMs = std::move(delaysMs);
    return cursor;
}

} // namespace gb::test
