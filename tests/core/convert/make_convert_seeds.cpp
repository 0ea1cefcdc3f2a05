// Builds the seed corpora of the BMP and JPEG fuzz targets: a BMP of every
// form the reader knows, and JPEGs of every kind the encoder can make, from
// small images so the fuzzer mutates them quickly.
//   make_convert_seeds OUT_DIR

#include "core/convert/bmp_decoder.h"
#include "core/convert/bmp_samples.h"
#include "core/convert/jpeg_codec.h"

#include <turbojpeg.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, std::span<const std::byte> bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::pair<std::string, gb::test::BmpRecipe>> bmpRecipes()
{
    using gb::test::BmpRecipe;
    std::vector<std::pair<std::string, BmpRecipe>> recipes;
    for (int bits : {1, 4, 8}) {
        BmpRecipe r;
        r.bitCount = bits;
        r.palette = gb::test::colourPalette(1 << bits);
        r.pixel = gb::test::indexPattern(1 << bits);
        recipes.emplace_back("pal" + std::to_string(bits), r);
        r.headerSize = 12;
        recipes.emplace_back("core" + std::to_string(bits), r);
    }
    for (int bits : {16, 24, 32}) {
        BmpRecipe r;
        r.bitCount = bits;
        recipes.emplace_back("rgb" + std::to_string(bits), r);
        r.topDown = true;
        recipes.emplace_back("topdown" + std::to_string(bits), r);
    }
    BmpRecipe b565;
    b565.bitCount = 16;
    b565.compression = 3;
    b565.masks = {0xF800, 0x07E0, 0x001F, 0};
    recipes.emplace_back("bitfields565", b565);
    BmpRecipe v5 = b565;
    v5.bitCount = 32;
    v5.headerSize = 124;
    v5.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
    recipes.emplace_back("v5_1010102", v5);
    for (std::uint32_t compression : {1u, 2u}) {
        BmpRecipe r;
        r.width = 23;
        r.bitCount = compression == 1 ? 8 : 4;
        r.compression = compression;
        r.palette = gb::test::colourPalette(compression == 1 ? 40 : 16);
        r.pixel = gb::test::indexPattern(compression == 1 ? 40 : 16);
        recipes.emplace_back(compression == 1 ? "rle8" : "rle4", r);
    }
    return recipes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_convert_seeds OUT_DIR\n");
        return 2;
    }
    const fs::path out(argv[1]);
    fs::create_directories(out / "bmp");
    fs::create_directories(out / "jpeg");

    int seeds = 0;
    for (const auto& [name, recipe] : bmpRecipes()) {
        auto bytes = gb::test::buildBmp(recipe);
        write(out / "bmp" / (name + ".bmp"), bytes);
        ++seeds;
        if (name == "rle8") {
            // The same few runs claiming 16384 x 16384: refused without the gigabyte.
            for (std::size_t at : {18u, 22u})
                for (std::size_t i = 0; i < 4; ++i)
                    bytes[at + i] = static_cast<std::byte>((16384u >> (8 * i)) & 0xFFu);
            write(out / "bmp" / "rle8_huge_claim.bmp", bytes);
            ++seeds;
        }
    }

    // JPEGs from a 24-bit BMP: colour at several samplings, gray, CMYK,
    // progressive, with restart markers.
    gb::test::BmpRecipe recipe;
    recipe.width = 19;
    recipe.height = 13;
    const auto bmp = gb::test::buildBmp(recipe);
    const auto decoded = gb::convert::decodeBmp(bmp);
    if (!decoded)
        return 1;
    const auto& rows = decoded->rows;
    std::vector<std::uint8_t> cmyk;
    for (int y = 0; y < rows.height; ++y)
        for (int x = 0; x < rows.width; ++x)
            for (int c = 0; c < 4; ++c)
                cmyk.push_back(static_cast<std::uint8_t>(c == 3 ? 255 - y * 9 : rows.row(y)[x * 3 + c % 3]));

    struct Kind {
        const char* name;
        int format;
        int sampling;
        int flags;
    };
    const Kind kinds[] = {
        {"444", TJPF_BGR, TJSAMP_444, 0},
        {"422", TJPF_BGR, TJSAMP_422, 0},
        {"420", TJPF_BGR, TJSAMP_420, 0},
        {"gray", TJPF_BGR, TJSAMP_GRAY, 0},
        {"progressive", TJPF_BGR, TJSAMP_420, TJFLAG_PROGRESSIVE},
        {"cmyk", TJPF_CMYK, TJSAMP_444, 0},
    };
    for (const Kind& kind : kinds) {
        // A fresh encoder each time: one that has written a progressive
        // file keeps its scan script for the next.
        tjhandle handle = tjInitCompress();
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        const unsigned char* source = kind.format == TJPF_CMYK ? cmyk.data() : rows.first;
        const int pitch = kind.format == TJPF_CMYK ? rows.width * 4 : static_cast<int>(rows.stride);
        if (tjCompress2(handle, source, rows.width, pitch, rows.height, kind.format, &jpeg, &size,
                        kind.sampling, 80,
                        kind.flags | TJFLAG_BOTTOMUP * (kind.format != TJPF_CMYK && rows.bottomUp)) == 0) {
            write(out / "jpeg" / (std::string(kind.name) + ".jpg"),
                  std::as_bytes(std::span(jpeg, static_cast<std::size_t>(size))));
            ++seeds;
        }
        tjFree(jpeg);
        tjDestroy(handle);
    }
    std::printf("seeded %d BMP and JPEG files\n", seeds);
    return 0;
}
