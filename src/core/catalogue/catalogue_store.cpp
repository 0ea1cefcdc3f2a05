#include "core/catalogue/catalogue_store.h"

#include <algorithm>

namespace gb {

namespace {

// FNV-1a over the size and the pixels: an icon is a few kilobytes, hashed
// once when it is added.
std::uint64_t contentHash(const RgbaImage& image)
{
    std::uint64_t h = 14695981039346656037ull;
    const auto mix = [&h](std::uint8_t byte) { h = (h ^ byte) * 1099511628211ull; };
    for (const int side : {image.width(), image.height()})
        for (int shift = 0; shift < 32; shift += 8)
            mix(static_cast<std::uint8_t>(static_cast<unsigned>(side) >> shift));
    for (const Rgba& p : image.pixels()) {
        mix(p.r);
        mix(p.g);
        mix(p.b);
        mix(p.a);
    }
    return h;
}

} // namespace

void CatalogueStore::reset()
{
    rows_.clear();
    images_.clear();
    keys_.clear();
    pool_.clear();
    distinct_ = 0;
}

SharedImage CatalogueStore::intern(RgbaImage image)
{
    const std::uint64_t hash = contentHash(image);
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
    if (!keys_.insert(origin.key()).second)
        return false;
    images_.push_back(CatalogueImage{std::move(origin), intern(std::move(large)), intern(std::move(small))});
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

std::string imageKey(std::string_view path, int index)
{
    return IconOrigin{std::string(path), index}.key();
}

std::string getkey(std::string_view key)
{
    const auto paren = key.rfind('(');
    std::string_view path = paren == std::string_view::npos ? key : key.substr(0, paren);
    while (!path.empty() && path.front() == ' ')
        path.remove_prefix(1);
    while (!path.empty() && path.back() == ' ')
        path.remove_suffix(1);
    return std::string(path);
}

std::string rowText(std::size_t position)
{
    return "Icon " + std::to_string(position + 1);
}

} // namespace gb
