#include "core/launcher/launcher_images.h"

#include "core/export/native_sizes.h"
#include "core/icons/resample.h"
#include "core/imagefiles/png_writer.h"

#include <algorithm>

namespace gb {

namespace {

// A launcher whose icon stores no theme size of 48 or more gets one of 48
// made from its largest image: menus and docks draw at 48 and up.
constexpr int kScaledSize = 48;

// The image made a square of `size`, its proportions kept and centred.
RgbaImage squareOf(const RgbaImage& image, int size)
{
    const int longer = std::max(image.width(), image.height());
    const int width = std::max(1, (image.width() * size + longer / 2) / longer);
    const int height = std::max(1, (image.height() * size + longer / 2) / longer);
    const RgbaImage scaled = resampleImage(image, width, height);
    RgbaImage square(size, size);
    const int left = (size - width) / 2, top = (size - height) / 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            square.at(left + x, top + y) = scaled.at(x, y);
    return square;
}

// The theme sizes the icon stores, and 48 made from its largest image when
// none of them is 48 or more.
std::expected<std::vector<LauncherImage>, std::string> themeImages(const NativeImages& icon)
{
    std::vector<std::pair<int, RgbaImage>> chosen;
    for (const int size : kHicolorSizes)
        for (const NativeImage& image : icon.images)
            if (image.header.width == size && image.header.height == size) {
                chosen.emplace_back(size, image.pixels);
                break;
            }
    const bool large = std::ranges::any_of(chosen, [](const auto& c) { return c.first >= kScaledSize; });
    std::vector<LauncherImage> result;
    if (!large && !icon.images.empty()) {
        const auto largest = std::ranges::max_element(icon.images, {}, [](const NativeImage& i) {
            return static_cast<std::int64_t>(i.header.width) * i.header.height;
        });
        chosen.emplace_back(kScaledSize, squareOf(largest->pixels, kScaledSize));
        std::ranges::sort(chosen, {}, [](const auto& c) { return c.first; });
    }
    for (const auto& [size, pixels] : chosen) {
        auto png = encodePng(pixels);
        if (!png)
            return std::unexpected(png.error());
        const bool scaled =
            !large && size == kScaledSize && std::ranges::none_of(icon.images, [size](const NativeImage& i) {
                return i.header.width == size && i.header.height == size;
            });
        result.push_back(LauncherImage{size, scaled, std::move(*png)});
    }
    return result;
}

} // namespace

std::expected<std::vector<LauncherImage>, std::string> launcherImages(const IconSource& source, int position)
{
    const auto group = source.group(position);
    if (!group)
        return std::unexpected(describe(group.error()));
    auto images = themeImages(nativeImages(*group));
    if (images && images->empty())
        return std::unexpected(std::string("no image of it can be decoded"));
    return images;
}

} // namespace gb
