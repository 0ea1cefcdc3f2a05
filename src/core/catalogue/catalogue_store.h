#pragma once
// The catalogue: the 32x32 and 16x16 image lists, kept in step under equal
// keys (source path + "(" + icon index + ")"), and the rows that show them.
// Images are only appended during a search and only removed all at once;
// rows refer to images by position, so removing rows leaves the images and
// the other rows' references intact. A key already present is refused: that
// is what stops a file from being catalogued twice in one search.

#include "core/icons/rgba_image.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace gb {

struct CatalogueImage {
    std::string key;
    RgbaImage large; // 32x32
    RgbaImage small; // 16x16
};

struct CatalogueRow {
    std::size_t icon = 0; // position of the row's image, from 1
};

class CatalogueStore {
public:
    void reset();

    // Appends one icon to both lists; false (and nothing added) when the key is there already.
    bool add(std::string key, RgbaImage large, RgbaImage small);

    std::size_t imageCount() const { return images_.size(); }
    const CatalogueImage& image(std::size_t position) const { return images_.at(position - 1); }

    // One row per image, "Icon n" showing image n.
    void buildRows();
    const std::vector<CatalogueRow>& rows() const { return rows_; }
    // Removes the rows at the given positions (from 1); others keep their images.
    void removeRows(const std::vector<std::size_t>& positions);

private:
    std::vector<CatalogueImage> images_;
    std::unordered_set<std::string> keys_;
    std::vector<CatalogueRow> rows_;
};

// The image key of icon `index` of the file at `path`.
std::string imageKey(std::string_view path, int index);

// The source path of an image key: the text before its last "(", without
// leading and trailing spaces. A text without "(" is returned trimmed.
std::string getkey(std::string_view key);

// "Icon " + n: the text of row n at its creation.
std::string rowText(std::size_t n);

} // namespace gb
