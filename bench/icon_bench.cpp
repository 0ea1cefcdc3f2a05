// Speed of the icon reader, on a corpus of real Windows files and on single
// images made here.
//
//   icon_bench [--corpus=PATH] [Google Benchmark flags]
//
// PATH (or $GLIMMERBOX_CORPUS) is a folder, read through its files.txt when
// it has one (as bench/gather-corpus.sh leaves it) and walked otherwise, or
// a list file with one path a line, relative to the list's folder. Without
// either, a few icon files made at start-up stand in, so the program always
// runs; its numbers then say little.

#include "core/icons/icon_image.h"
#include "core/icons/icon_source.h"
#include "core/imagefiles/png_writer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <span>
#include <stdlib.h> // mkdtemp
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// ---- Images made here ------------------------------------------------------

void putU16(std::vector<std::byte>& out, unsigned value)
{
    out.push_back(static_cast<std::byte>(value & 0xffu));
    out.push_back(static_cast<std::byte>((value >> 8) & 0xffu));
}

void putU32(std::vector<std::byte>& out, std::uint32_t value)
{
    putU16(out, value & 0xffffu);
    putU16(out, value >> 16);
}

void putU8(std::vector<std::byte>& out, unsigned value)
{
    out.push_back(static_cast<std::byte>(value & 0xffu));
}

// An icon-like picture: colour gradients in a disc with a soft edge, the
// corners transparent.
gb::RgbaImage picture(int side)
{
    gb::RgbaImage image(side, side);
    const float centre = static_cast<float>(side) / 2.0f;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - centre;
            const float dy = static_cast<float>(y) + 0.5f - centre;
            const float edge = centre - std::sqrt(dx * dx + dy * dy);
            const float alpha = std::clamp(edge * 64.0f, 0.0f, 255.0f);
            if (alpha <= 0.0f)
                continue;
            image.at(x, y) =
                gb::Rgba{static_cast<std::uint8_t>(x * 255 / side), static_cast<std::uint8_t>(y * 255 / side),
                         static_cast<std::uint8_t>((x ^ y) & 0xff), static_cast<std::uint8_t>(alpha)};
        }
    return image;
}

std::vector<std::byte> pngEntry(int side)
{
    auto png = gb::encodePng(picture(side));
    if (!png) {
        std::cerr << "icon_bench: cannot make a PNG entry: " << png.error() << '\n';
        std::exit(1);
    }
    return std::move(*png);
}

// An icon DIB: BITMAPINFOHEADER with the doubled height, palette (8-bit),
// colour rows and AND mask rows, both bottom-up.
std::vector<std::byte> dibEntry(int side, int bitCount)
{
    const gb::RgbaImage image = picture(side);
    const auto uside = static_cast<std::uint32_t>(side);
    std::vector<std::byte> out;
    putU32(out, 40);
    putU32(out, uside);
    putU32(out, uside * 2);
    putU16(out, 1);
    putU16(out, static_cast<unsigned>(bitCount));
    for (int i = 0; i < 6; ++i)
        putU32(out, 0); // compression, image size, resolution, colours used, important
    if (bitCount == 8)
        for (unsigned i = 0; i < 256; ++i) { // a 3-3-2 colour cube
            putU8(out, (i & 3u) * 85u);
            putU8(out, ((i >> 2) & 7u) * 36u);
            putU8(out, (i >> 5) * 36u);
            putU8(out, 0);
        }
    for (int y = side - 1; y >= 0; --y) {
        for (int x = 0; x < side; ++x) {
            const gb::Rgba p = image.at(x, y);
            if (bitCount == 32) {
                putU8(out, p.b);
                putU8(out, p.g);
                putU8(out, p.r);
                putU8(out, p.a);
            } else {
                putU8(out, (p.r >> 5u) << 5u | (p.g >> 5u) << 2u | p.b >> 6u);
            }
        }
        while (out.size() % 4 != 0)
            putU8(out, 0);
    }
    const int maskStride = (side + 31) / 32 * 4;
    for (int y = side - 1; y >= 0; --y)
        for (int byte = 0; byte < maskStride; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = byte * 8 + bit;
                if (x < side && image.at(x, y).a < 128)
                    bits |= 0x80u >> bit;
            }
            putU8(out, bits);
        }
    return out;
}

// An ICO file holding the given images.
std::vector<std::byte> icoFile(const std::vector<std::vector<std::byte>>& images,
                               const std::vector<int>& sides, const std::vector<int>& depths)
{
    std::vector<std::byte> out;
    putU16(out, 0);
    putU16(out, 1);
    putU16(out, static_cast<unsigned>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const unsigned side = sides[i] >= 256 ? 0u : static_cast<unsigned>(sides[i]);
        putU8(out, side);
        putU8(out, side);
        putU8(out, 0);
        putU8(out, 0);
        putU16(out, 1);
        putU16(out, static_cast<unsigned>(depths[i]));
        putU32(out, static_cast<std::uint32_t>(images[i].size()));
        putU32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

gb::IconGroup groupOf(const std::vector<std::byte>& image)
{
    gb::IconGroup group;
    gb::GroupEntry entry;
    entry.image = gb::ByteReader(std::span(image));
    group.entries.push_back(entry);
    return group;
}

// ---- The corpus ------------------------------------------------------------

struct Corpus {
    std::vector<std::string> files;
    std::string description;
    fs::path madeHere; // removed at exit
};

Corpus& corpus()
{
    static Corpus instance;
    return instance;
}

std::vector<std::string> readList(const fs::path& list)
{
    std::vector<std::string> files;
    std::ifstream in(list);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        const fs::path path(line);
        files.push_back(path.is_absolute() ? line : (list.parent_path() / path).string());
    }
    return files;
}

std::vector<std::string> walk(const fs::path& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
            files.push_back(entry.path().string());
    std::ranges::sort(files);
    return files;
}

void writeFile(const fs::path& path, const std::vector<std::byte>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The stand-in set: icon files as a program's installer might carry them.
void makeBuiltInSet(Corpus& c)
{
    std::string pattern = (fs::temp_directory_path() / "glimmerbox-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::cerr << "icon_bench: cannot make a temporary folder\n";
        std::exit(1);
    }
    c.madeHere = pattern;
    const auto add = [&](const std::string& name, const std::vector<std::byte>& bytes) {
        writeFile(c.madeHere / name, bytes);
        c.files.push_back((c.madeHere / name).string());
    };
    add("classic.ico", icoFile({dibEntry(32, 8), dibEntry(16, 8)}, {32, 16}, {8, 8}));
    add("xp.ico",
        icoFile({dibEntry(48, 32), dibEntry(32, 32), dibEntry(16, 32)}, {48, 32, 16}, {32, 32, 32}));
    add("vista.ico", icoFile({pngEntry(256), dibEntry(48, 32), dibEntry(32, 32), dibEntry(16, 32)},
                             {256, 48, 32, 16}, {32, 32, 32, 32}));
    add("png-only.ico", icoFile({pngEntry(256)}, {256}, {32}));
    c.description = "built-in set of " + std::to_string(c.files.size()) + " ICO files";
}

void loadCorpus(const std::string& where)
{
    Corpus& c = corpus();
    if (!where.empty()) {
        std::error_code error;
        const fs::path path(where);
        if (fs::is_directory(path, error))
            c.files = fs::exists(path / "files.txt") ? readList(path / "files.txt") : walk(path);
        else if (fs::is_regular_file(path, error))
            c.files = readList(path);
        if (!c.files.empty()) {
            c.description = std::to_string(c.files.size()) + " files from " + where;
            return;
        }
        std::cerr << "icon_bench: no files in " << where << "; using the built-in set\n";
    }
    makeBuiltInSet(c);
}

// ---- Benchmarks over the corpus ------------------------------------------

void reportRates(benchmark::State& state, std::int64_t files, std::int64_t icons)
{
    state.SetItemsProcessed(files); // items = files
    state.counters["files"] = benchmark::Counter(static_cast<double>(files), benchmark::Counter::kIsRate);
    state.counters["icons"] = benchmark::Counter(static_cast<double>(icons), benchmark::Counter::kIsRate);
}

// Open and count only: what a folder listing costs before anything is drawn.
void CorpusOpenCount(benchmark::State& state)
{
    std::int64_t files = 0, icons = 0;
    for (auto _ : state) {
        for (const std::string& path : corpus().files) {
            auto source = gb::IconSource::open(path);
            if (source)
                icons += source->count();
            ++files;
        }
    }
    reportRates(state, files, icons);
}

// Open, count and draw every icon at 32x32 and at 16x16 (what `list` does).
void CorpusExtractAll(benchmark::State& state)
{
    std::int64_t files = 0, icons = 0;
    for (auto _ : state) {
        for (const std::string& path : corpus().files) {
            auto source = gb::IconSource::open(path);
            ++files;
            if (!source)
                continue;
            for (int i = 0; i < source->count(); ++i) {
                auto icon = source->icon(i);
                benchmark::DoNotOptimize(icon);
                ++icons;
            }
        }
    }
    reportRates(state, files, icons);
}

// Open, draw each icon at 32x32 and encode it as PNG: `export --size 32
// --format png` without the file writes.
void CorpusExport32Png(benchmark::State& state)
{
    std::int64_t files = 0, icons = 0;
    for (auto _ : state) {
        for (const std::string& path : corpus().files) {
            auto source = gb::IconSource::open(path);
            ++files;
            if (!source)
                continue;
            for (int i = 0; i < source->count(); ++i) {
                auto group = source->group(i);
                if (!group)
                    continue;
                auto png = gb::encodePng(gb::renderGroup(*group, gb::kLargeIconSize));
                benchmark::DoNotOptimize(png);
                ++icons;
            }
        }
    }
    reportRates(state, files, icons);
}

// ---- Single images -----------------------------------------------------------

void decodeLoop(benchmark::State& state, const std::vector<std::byte>& entry)
{
    const gb::ByteReader reader{std::span(entry)};
    for (auto _ : state) {
        auto image = gb::decodeIconImage(reader);
        if (!image)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(entry.size()));
}

void renderLoop(benchmark::State& state, const std::vector<std::byte>& entry, int size)
{
    const gb::IconGroup group = groupOf(entry);
    for (auto _ : state) {
        auto image = gb::renderGroup(group, size);
        benchmark::DoNotOptimize(image);
    }
    state.SetItemsProcessed(state.iterations());
}

void DecodePng256(benchmark::State& state)
{
    static const auto entry = pngEntry(256);
    decodeLoop(state, entry);
}

void DecodeDib32x32x32(benchmark::State& state)
{
    static const auto entry = dibEntry(32, 32);
    decodeLoop(state, entry);
}

void DecodeDib32x32x8(benchmark::State& state)
{
    static const auto entry = dibEntry(32, 8);
    decodeLoop(state, entry);
}

// A group whose only image is 256x256 PNG, drawn at 32: decode and shrink.
void RenderPng256To32(benchmark::State& state)
{
    static const auto entry = pngEntry(256);
    renderLoop(state, entry, gb::kLargeIconSize);
}

void RenderDib32To32(benchmark::State& state)
{
    static const auto entry = dibEntry(32, 32);
    renderLoop(state, entry, gb::kLargeIconSize);
}

void RenderDib32To16(benchmark::State& state)
{
    static const auto entry = dibEntry(32, 32);
    renderLoop(state, entry, gb::kSmallIconSize);
}

void EncodePng32(benchmark::State& state)
{
    static const auto image = picture(32);
    for (auto _ : state) {
        auto png = gb::encodePng(image);
        benchmark::DoNotOptimize(png);
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char** argv)
{
    // --corpus=PATH is ours; everything else goes to Google Benchmark.
    std::string where;
    if (const char* env = std::getenv("GLIMMERBOX_CORPUS"))
        where = env;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i > 0 && arg.starts_with("--corpus="))
            where = std::string(arg.substr(9));
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());

    loadCorpus(where);
    benchmark::AddCustomContext("corpus", corpus().description);

    benchmark::RegisterBenchmark("Corpus/OpenCount", CorpusOpenCount)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Corpus/ExtractAll", CorpusExtractAll)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Corpus/Export32Png", CorpusExport32Png)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Decode/Png256", DecodePng256)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Decode/Dib32x32x32", DecodeDib32x32x32)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Decode/Dib32x32x8", DecodeDib32x32x8)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Render/Png256To32", RenderPng256To32)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Render/Dib32To32", RenderDib32To32)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Render/Dib32To16", RenderDib32To16)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Encode/Png32", EncodePng32)->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (!corpus().madeHere.empty()) {
        std::error_code ignored;
        fs::remove_all(corpus().madeHere, ignored);
    }
    return 0;
}
