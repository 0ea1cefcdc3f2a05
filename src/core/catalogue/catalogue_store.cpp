#include "core/catalogue/catalogue_store.h"

#include <algorithm>

namespace gb {

void CatalogueStore::reset()
{
    rows_.clear();
    images_.clear();
    keys_.clear();
}

bool CatalogueStore::add(std::string key, RgbaImage large, RgbaImage small)
{
    if (!keys_.insert(key).second)
        return false;
    images_.push_back(CatalogueImage{std::move(key), std::move(large), std::move(small)});
    return true;
}

void CatalogueStore::buildRows()
{
    rows_.clear();
    rows_.reserve(images_.size());
    for (std::size_t n = 1; n <= images_.size(); ++n)
        rows_.push_back(CatalogueRow{n});
}

void CatalogueStore::removeRows(const std::vector<std::size_t>& positions)
{
    std::vector<bool> removed(rows_.size() + 1, false);
    for (std::size_t p : positions)
        if (p >= 1 && p <= rows_.size())
            removed[p] = true;
    std::size_t position = 0;
    std::erase_if(rows_, [&](const CatalogueRow&) { return removed[++position]; });
}

std::string imageKey(std::string_view path, int index)
{
    return std::string(path) + "(" + std::to_string(index) + ")";
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

std::string rowText(std::size_t n)
{
    return "Icon " + std::to_string(n);
}

} // namespace gb
