#include "core/catalogue/catalogue_store.h"

#include <algorithm>
#include <cmath>

namespace gb {

// The size and the pixels, a pixel at a time, mixed as in splitmix64: an
// icon is a few kilobytes, hashed once, by the extraction's worker.
std::uint64_t contentHash(const RgbaImage& image)
{
    const auto mix = [](std::uint64_t h, std::uint64_t word) {
        h = (h ^ word) * 0x9E3779B97F4A7C15ull;
        return h ^ (h >> 29);
    };
    std::uint64_t h = mix(static_cast<std::uint32_t>(image.width()),
                          std::uint64_t{static_cast<std::uint32_t>(image.height())} << 32);
    for (const Rgba& p : image.pixels())
        h = mix(h, std::uint64_t{p.r} | std::uint64_t{p.g} << 8 | std::uint64_t{p.b} << 16 |
                       std::uint64_t{p.a} << 24);
    return h;
}

void CatalogueStore::reset()
{
    rows_.clear();
    images_.clear();
    keys_.clear();
    pool_.clear();
    distinct_ = 0;
}

SharedImage CatalogueStore::intern(RgbaImage image, std::uint64_t hash)
{
    const auto [first, last] = pool_.equal_range(hash);
    for (auto it = first; it != last; ++it)
        if (*it->second == image)
            return it->second;
    auto shared = std::make_shared<const RgbaImage>(std::move(image));
    pool_.emplace(hash, shared);
    ++distinct_;
    return shared;
}

bool CatalogueStore::add(IconOrigin origin, RgbaImage large, RgbaImage small)
{
    return add(FoundIcon{std::move(origin), std::move(large), std::move(small), std::nullopt, std::nullopt,
                         std::nullopt, std::nullopt});
}

bool CatalogueStore::add(FoundIcon icon)
{
    if (!keys_.insert(icon.origin.key()).second)
        return false;
    const std::uint64_t largeHash = icon.largeHash ? *icon.largeHash : contentHash(icon.large);
    const std::uint64_t smallHash = icon.smallHash ? *icon.smallHash : contentHash(icon.small);
    SharedImage large2x;
    if (icon.large2x) {
        const std::uint64_t hash = icon.large2xHash ? *icon.large2xHash : contentHash(*icon.large2x);
        large2x = intern(std::move(*icon.large2x), hash);
    }
    images_.push_back(CatalogueImage{std::move(icon.origin), intern(std::move(icon.large), largeHash),
                                     intern(std::move(icon.small), smallHash), std::move(large2x)});
    return true;
}

void CatalogueStore::buildRows()
{
    rows_.clear();
    rows_.reserve(images_.size());
    for (std::size_t n = 0; n < images_.size(); ++n)
        rows_.push_back(CatalogueRow{n});
}

void CatalogueStore::removeRows(const std::vector<std::size_t>& positions)
{
    std::vector<bool> removed(rows_.size(), false);
    for (std::size_t p : positions)
        if (p < rows_.size())
            removed[p] = true;
    std::size_t position = 0;
    std::erase_if(rows_, [&](const CatalogueRow&) { return removed[position++]; });
}

const SharedImage& drawingFor(const CatalogueImage& image, int logicalSide, double deviceRatio)
{
    const double needed = std::round(logicalSide * deviceRatio); // a ratio a hair off 1 changes nothing
    const SharedImage* largest = &image.small;
    for (const SharedImage* drawing : {&image.small, &image.large, &image.large2x}) {
        if (!*drawing)
            continue;
        if ((*drawing)->width() >= needed)
            return *drawing;
        largest = drawing;
    }
    return *largest;
}

bool drawsLarge2x(double deviceRatio)
{
    return deviceRatio >= 1.5;
}

std::string rowText(std::size_t position)
{
    return "Icon " + std::to_string(position + 1);
}

} // namespace gb
