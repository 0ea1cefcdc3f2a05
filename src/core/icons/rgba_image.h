#pragma once
// A straight (not premultiplied) RGBA image, rows top to bottom, 4 bytes a
// pixel in the order R, G, B, A. The catalogue keeps icons in this form so
// that each icon's own transparency survives until a file is written.

#include <cstdint>
#include <memory>
#include <vector>

namespace gb {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

class RgbaImage {
public:
    RgbaImage() = default;
    // A fully transparent image; callers keep width and height within the
    // icon limits, so the size never overflows.
    RgbaImage(int width, int height)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    {
    }

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }

    Rgba& at(int x, int y) { return pixels_[index(x, y)]; }
    const Rgba& at(int x, int y) const { return pixels_[index(x, y)]; }

    std::vector<Rgba>& pixels() { return pixels_; }
    const std::vector<Rgba>& pixels() const { return pixels_; }

    friend bool operator==(const RgbaImage&, const RgbaImage&) = default;

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<Rgba> pixels_;
};

// An image shared by its holders, never changed once made.
using SharedImage = std::shared_ptr<const RgbaImage>;

// The classic button face, RGB(192,192,192): the background of every drawing
// surface and every BMP the program writes.
inline constexpr Rgba kButtonFace{192, 192, 192, 255};

} // namespace gb
