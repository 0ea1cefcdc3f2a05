#include "core/icons/resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace gb {

namespace {

struct Tap {
    int index;
    float weight;
};
// The source taps of each target pixel, in one list: those of target i
// are all[start[i]] up to all[start[i + 1]].
struct Taps {
    std::vector<Tap> all;
    std::vector<std::size_t> start{0};

    void endTarget() { start.push_back(all.size()); }
    std::span<const Tap> of(int i) const
    {
        const auto at = static_cast<std::size_t>(i);
        return std::span(all).subspan(start[at], start[at + 1] - start[at]);
    }
};

// Shrinking: each target pixel averages the source area it covers,
// partial pixels weighted by the part covered.
Taps areaTaps(int from, int to)
{
    Taps taps;
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double start = i * scale, end = (i + 1) * scale;
        for (int j = static_cast<int>(start); j < from && j < end; ++j) {
            const double cover = std::min<double>(end, j + 1) - std::max<double>(start, j);
            if (cover > 0)
                taps.all.push_back(Tap{j, static_cast<float>(cover / scale)});
        }
        taps.endTarget();
    }
    return taps;
}

// Growing: bilinear between the two nearest source pixel centres.
Taps bilinearTaps(int from, int to)
{
    Taps taps;
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double s = std::clamp((i + 0.5) * scale - 0.5, 0.0, static_cast<double>(from - 1));
        const int j = static_cast<int>(s);
        const auto f = static_cast<float>(s - j);
        taps.all.push_back(Tap{j, 1.0f - f});
        if (f > 0 && j + 1 < from)
            taps.all.push_back(Tap{j + 1, f});
        taps.endTarget();
    }
    return taps;
}

Taps tapsFor(int from, int to)
{
    if (to < from)
        return areaTaps(from, to);
    return bilinearTaps(from, to); // equal sizes give weight 1 on the same pixel
}

using Pixel = std::array<float, 4>; // premultiplied r, g, b and alpha

// Half up, for values already clamped to 0..255: std::lround is a library
// call, and made most of the time a cursor theme's made sizes took. On
// values that are never negative, adding a half and truncating rounds half
// up as std::lround does (only the float just below a half may go up).
std::uint8_t roundByte(float v)
{
    return static_cast<std::uint8_t>(v + 0.5f); // NOLINT(bugprone-incorrect-roundings)
}

// Where pixel (x, y) of a row-major image `width` pixels wide is, computed
// in size_t so no product is formed in int.
std::size_t pixelIndex(int x, int y, int width)
{
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

} // namespace

bool BlockShrinker::fits(int sourceWidth, int sourceHeight, int width, int height)
{
    return width > 0 && height > 0 && width <= sourceWidth && height <= sourceHeight &&
           sourceWidth % width == 0 && sourceHeight % height == 0;
}

BlockShrinker::BlockShrinker(int sourceWidth, int width, int height, int rowsPerBlock)
    : across_(sourceWidth / width), rowsPerBlock_(rowsPerBlock), sums_(static_cast<std::size_t>(width) * 4),
      out_(width, height)
{
}

void BlockShrinker::addRow(std::span<const Rgba> row)
{
    const int width = out_.width();
    const int y = rowsIn_ / rowsPerBlock_;
    if (y >= out_.height() ||
        row.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(across_))
        return;
    const Rgba* p = row.data();
    for (int x = 0; x < width; ++x) {
        std::uint64_t* sum = &sums_[static_cast<std::size_t>(x) * 4];
        for (int k = 0; k < across_; ++k, ++p) {
            sum[0] += static_cast<std::uint64_t>(p->r) * p->a;
            sum[1] += static_cast<std::uint64_t>(p->g) * p->a;
            sum[2] += static_cast<std::uint64_t>(p->b) * p->a;
            sum[3] += p->a;
        }
    }
    if (++rowsIn_ % rowsPerBlock_ != 0)
        return;
    const auto count = static_cast<std::uint64_t>(across_) * static_cast<std::uint64_t>(rowsPerBlock_);
    for (int x = 0; x < width; ++x) {
        std::uint64_t* sum = &sums_[static_cast<std::size_t>(x) * 4];
        const std::uint64_t a = sum[3];
        const auto alpha = static_cast<std::uint8_t>((2 * a + count) / (2 * count));
        if (alpha != 0) { // a transparent pixel carries no colour
            const auto channel = [a](std::uint64_t v) {
                return static_cast<std::uint8_t>((2 * v + a) / (2 * a));
            };
            out_.at(x, y) = Rgba{channel(sum[0]), channel(sum[1]), channel(sum[2]), alpha};
        }
        std::fill(sum, sum + 4, 0);
    }
}

RgbaImage resampleImage(const RgbaImage& source, int width, int height)
{
    if (source.width() == width && source.height() == height)
        return source;
    RgbaImage out(width, height);
    if (source.empty() || width <= 0 || height <= 0)
        return out;

    const int sw = source.width(), sh = source.height();
    if (BlockShrinker::fits(sw, sh, width, height)) {
        BlockShrinker shrinker(sw, width, height, sh / height);
        for (int y = 0; y < sh; ++y)
            shrinker.addRow(std::span(source.pixels())
                                .subspan(static_cast<std::size_t>(y) * static_cast<std::size_t>(sw),
                                         static_cast<std::size_t>(sw)));
        return shrinker.take();
    }
    // Premultiplied, so that transparent pixels lend no colour: one source
    // row at a time rather than the whole image, since a 256x256 source
    // would need a megabyte of fresh memory, whose page faults cost more
    // than the arithmetic.
    const Taps across = tapsFor(sw, width), down = tapsFor(sh, height);
    std::vector<Pixel> sourceRow(static_cast<std::size_t>(sw));
    std::vector<Pixel> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(sh));
    for (int y = 0; y < sh; ++y) {
        for (int x = 0; x < sw; ++x) {
            const Rgba& p = source.pixels()[pixelIndex(x, y, sw)];
            const float a = static_cast<float>(p.a) / 255.0f;
            sourceRow[static_cast<std::size_t>(x)] =
                Pixel{static_cast<float>(p.r) * a, static_cast<float>(p.g) * a, static_cast<float>(p.b) * a,
                      static_cast<float>(p.a)};
        }
        for (int x = 0; x < width; ++x) {
            Pixel sum{};
            for (const Tap& t : across.of(x)) {
                const Pixel& p = sourceRow[static_cast<std::size_t>(t.index)];
                for (std::size_t c = 0; c < 4; ++c)
                    sum[c] += p[c] * t.weight;
            }
            rows[pixelIndex(x, y, width)] = sum;
        }
    }

    // Down a whole row at a time, each tap's row added in turn: the same
    // sums in the same order as pixel by pixel, in loops the compiler
    // vectorises.
    std::vector<Pixel> sums(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), Pixel{});
        for (const Tap& t : down.of(y)) {
            const Pixel* row = &rows[pixelIndex(0, t.index, width)];
            for (std::size_t x = 0; x < sums.size(); ++x)
                for (std::size_t c = 0; c < 4; ++c)
                    sums[x][c] += row[x][c] * t.weight;
        }
        for (int x = 0; x < width; ++x) {
            const Pixel& sum = sums[static_cast<std::size_t>(x)];
            const float alpha = std::clamp(sum[3], 0.0f, 255.0f);
            const auto channel = [&](float v) {
                return roundByte(std::clamp(v * 255.0f / alpha, 0.0f, 255.0f));
            };
            const auto a = roundByte(alpha);
            out.at(x, y) = a == 0 ? Rgba{} : Rgba{channel(sum[0]), channel(sum[1]), channel(sum[2]), a};
        }
    }
    return out;
}

} // namespace gb
