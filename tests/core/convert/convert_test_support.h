#pragma once
// Shared by the converter's tests: outside tools (ImageMagick, djpeg,
// cjpeg) as independent readers and writers, and images as RGB pixels.

#include "core/convert/bmp_decoder.h"
#include "core/convert/bmp_samples.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace gb::test {

// The first of `names` found on PATH, as a full path; empty when none is.
inline std::string findTool(std::initializer_list<const char*> names)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::vector<std::string> list;
    for (std::string folder; std::getline(folders, folder, ':');)
        list.push_back(folder);
    for (const char* name : names)
        for (const std::string& folder : list) {
            const std::filesystem::path candidate = std::filesystem::path(folder) / name;
            if (::access(candidate.c_str(), X_OK) == 0)
                return candidate.string();
        }
    return {};
}

// ImageMagick's convert; the versioned name first, as a plain "convert" may
// be something else on PATH.
inline std::string imageMagick()
{
    return findTool({"convert-im6.q16", "magick", "convert"});
}

inline std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline bool run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::vector<std::byte> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> out(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i)
        out[i] = static_cast<std::byte>(chars[i]);
    return out;
}

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // top-down
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Our own reading of a BMP file, as RGB.
inline std::optional<RgbImage> decodeToRgb(std::span<const std::byte> file)
{
    const auto decoded = convert::decodeBmp(file);
    if (!decoded)
        return std::nullopt;
    const convert::PixelRows& rows = decoded->rows;
    RgbImage image{rows.width, rows.height, {}};
    for (int y = 0; y < rows.height; ++y)
        for (int x = 0; x < rows.width; ++x) {
            const std::uint8_t* row = rows.row(y);
            const auto ux = static_cast<std::size_t>(x);
            switch (rows.layout) {
            case convert::PixelLayout::Gray: image.pixels.push_back({row[ux], row[ux], row[ux]}); break;
            case convert::PixelLayout::Bgr:
                image.pixels.push_back({row[ux * 3 + 2], row[ux * 3 + 1], row[ux * 3]});
                break;
            case convert::PixelLayout::Bgrx:
                image.pixels.push_back({row[ux * 4 + 2], row[ux * 4 + 1], row[ux * 4]});
                break;
            }
        }
    return image;
}

// ImageMagick's reading of any image file, as 8-bit RGB.
inline std::optional<RgbImage> imageMagickRgb(const std::string& tool, const std::string& file, int width,
                                              int height)
{
    TempFolder folder;
    const std::string raw = folder.file("out.rgb");
    if (!run(quoted(tool) + " " + quoted(file) + " -alpha off -depth 8 rgb:" + quoted(raw)))
        return std::nullopt;
    const auto bytes = readBytes(raw);
    if (bytes.size() != static_cast<std::size_t>(width * height * 3))
        return std::nullopt;
    RgbImage image{width, height, {}};
    for (std::size_t i = 0; i < bytes.size(); i += 3)
        image.pixels.push_back({std::to_integer<std::uint8_t>(bytes[i]),
                                std::to_integer<std::uint8_t>(bytes[i + 1]),
                                std::to_integer<std::uint8_t>(bytes[i + 2])});
    return image;
}

// The largest difference of any channel of any pixel, and the mean.
struct Difference {
    int largest = 0;
    double mean = 0;
};

inline Difference difference(const RgbImage& a, const RgbImage& b)
{
    Difference d;
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        for (auto [p, q] : {std::pair{a.pixels[i].r, b.pixels[i].r}, std::pair{a.pixels[i].g, b.pixels[i].g},
                            std::pair{a.pixels[i].b, b.pixels[i].b}}) {
            const int delta = std::abs(int{p} - int{q});
            d.largest = std::max(d.largest, delta);
            sum += delta;
        }
    d.mean = sum / static_cast<double>(std::max<std::size_t>(1, a.pixels.size() * 3));
    return d;
}

// A smooth picture with some detail, like a photo: what JPEG is made for.
inline BmpRecipe photoLike(int width, int height)
{
    BmpRecipe r;
    r.width = width;
    r.height = height;
    r.pixel = [width, height](int x, int y) {
        const int grain = (x * 7 + y * 13) % 9; // a little texture, as in a photo
        const int red = x * 240 / width + grain;
        const int green = y * 240 / height + grain;
        const int blue = (x + 2 * y) * 240 / (width + 2 * height) + grain;
        return static_cast<std::uint32_t>(red << 16 | green << 8 | blue);
    };
    return r;
}

} // namespace gb::test
