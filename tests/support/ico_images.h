#pragma once
// ICO files of several images for tests: each image written as the program
// writes a one-image ICO (encodeIco), the entries then gathered under one
// directory in the order given.

#include "core/icons/rgba_image.h"
#include "core/imagefiles/ico_writer.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace gb::test {

// A square image of one colour.
inline RgbaImage solidImage(int side, Rgba colour)
{
    RgbaImage image(side, side);
    for (Rgba& pixel : image.pixels())
        pixel = colour;
    return image;
}

inline std::vector<std::byte> icoOfImages(std::initializer_list<RgbaImage> images)
{
    constexpr std::size_t kHeader = 6, kEntry = 16;
    const auto put32 = [](std::vector<std::byte>& out, std::size_t at, std::size_t value) {
        for (std::size_t i = 0; i < 4; ++i)
            out[at + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
    };
    std::vector<std::byte> file(kHeader + kEntry * images.size());
    file[2] = std::byte{1}; // type: icon
    file[4] = static_cast<std::byte>(images.size());
    std::size_t entry = kHeader;
    for (const RgbaImage& image : images) {
        const std::vector<std::byte> one = encodeIco(image);
        const std::vector<std::byte> bits(one.begin() + kHeader + kEntry, one.end());
        std::copy(one.begin() + kHeader, one.begin() + kHeader + kEntry,
                  file.begin() + static_cast<std::ptrdiff_t>(entry));
        put32(file, entry + 8, bits.size());
        put32(file, entry + 12, file.size());
        file.insert(file.end(), bits.begin(), bits.end());
        entry += kEntry;
    }
    return file;
}

} // namespace gb::test
