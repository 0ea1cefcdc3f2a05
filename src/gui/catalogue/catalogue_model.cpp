#include "gui/catalogue/catalogue_model.h"

#include "core/icons/icon_source.h"
#include "gui/common/image_conversion.h"
#include "gui/common/path_text.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdint>

namespace gb {

namespace {
// Enough for several screens of icons in every view.
constexpr int kCachedPixmaps = 4096;
} // namespace

CatalogueModel::CatalogueModel(CatalogueStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store), shownRows_(static_cast<int>(store.rows().size())),
      pixmaps_(kCachedPixmaps)
{
}

int CatalogueModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int CatalogueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

std::size_t CatalogueModel::iconOf(int row) const
{
    return store_.rows().at(static_cast<std::size_t>(row)).icon;
}

QString CatalogueModel::displayPath(const std::string& bytes)
{
    // Names that are not valid UTF-8 are shown as well as they decode; the
    // catalogue keeps their bytes.
    return ui::pathText(bytes);
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() ||
        static_cast<std::size_t>(index.row()) >= store_.rows().size())
        return {};
    const std::size_t icon = iconOf(index.row());
    if (index.column() == 0) {
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return QString::fromStdString(rowText(icon)); // rows keep the text they were made with
        if (role == Qt::DecorationRole)
            return pixmapFor(icon);
        // The icon views show only this column: a screen reader hears the
        // row's source file with its name.
        if (role == Qt::AccessibleDescriptionRole)
            return displayPath(store_.image(icon).origin.shownPath());
    } else if (index.column() == 1 && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)) {
        return displayPath(store_.image(icon).origin.shownPath());
    }
    if (role == Qt::ToolTipRole)
        return displayPath(store_.image(icon).origin.shownPath());
    return {};
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QCoreApplication::translate("Catalogue", "图标图像")
                        : QCoreApplication::translate("Catalogue", "出自文件");
}

void CatalogueModel::setLargeIcons(bool large)
{
    if (large == large_)
        return;
    large_ = large;
    pixmaps_.clear();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void CatalogueModel::setDeviceRatio(double ratio)
{
    if (ratio == deviceRatio_ || ratio <= 0)
        return;
    deviceRatio_ = ratio;
    pixmaps_.clear();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void CatalogueModel::reload()
{
    beginResetModel();
    pixmaps_.clear();
    shownRows_ = static_cast<int>(store_.rows().size());
    endResetModel();
}

void CatalogueModel::appendNewRows()
{
    const int rows = static_cast<int>(store_.rows().size());
    if (rows < shownRows_) {
        reload(); // rows went away meanwhile: not an append
        return;
    }
    if (rows == shownRows_)
        return;
    beginInsertRows({}, shownRows_, rows - 1);
    shownRows_ = rows;
    endInsertRows();
}

QPixmap CatalogueModel::pixmapFor(std::size_t icon) const
{
    // Keyed by the stored image, so rows that share one share its pixmap.
    // Which image a row shows, and so its pixmap's ratio, changes only with
    // the view or the screen, and either empties the cache.
    const int side = large_ ? kLargeIconSize : kSmallIconSize;
    const RgbaImage& shown = *drawingFor(store_.image(icon), side, deviceRatio_);
    const auto key = static_cast<quint64>(reinterpret_cast<std::uintptr_t>(&shown));
    if (const QPixmap* cached = pixmaps_.object(key))
        return *cached;
    auto* pixmap = new QPixmap(QPixmap::fromImage(ui::toQImage(shown)));
    // A 64x64 drawing covers a 32x32 view: two device pixels to the pixel.
    pixmap->setDevicePixelRatio(static_cast<qreal>(shown.width()) / side);
    const QPixmap copy = *pixmap;
    pixmaps_.insert(key, pixmap);
    return copy;
}

} // namespace gb
