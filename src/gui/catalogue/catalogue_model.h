#pragma once
// The catalogue's rows for Qt's views: column 0 "图标图像" (the row text
// "Icon n" and the icon), column 1 "出自文件" (the source file). Pixmaps are
// made only for rows that are painted, so 100,000 icons cost their RGBA
// images and nothing more.

#include "core/catalogue/catalogue_store.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QPixmap>

namespace gb {

class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CatalogueModel(CatalogueStore& store, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Which image the views show: the 32x32 (large icons) or the 16x16.
    void setLargeIcons(bool large);
    // The device pixels to the pixel of the screen the views are on: each
    // icon is shown from the drawing that has the device pixels it covers
    // (drawingFor), its pixmap's ratio set so that it covers 32x32 or 16x16.
    void setDeviceRatio(double ratio);
    double deviceRatio() const { return deviceRatio_; }

    // The store changed wholesale (reset, rows removed).
    void reload();
    // The store's rows past those the views know are new and the ones before
    // them unchanged (rows built after a search): the views and the
    // accessibility bridge hear of them as one insertion, however many there
    // are, rather than a reset or a change per row.
    void appendNewRows();

    // The image position (from 1) of a row (from 0).
    std::size_t iconOf(int row) const;

    static QString displayPath(const std::string& bytes);

private:
    QPixmap pixmapFor(std::size_t icon) const;

    CatalogueStore& store_;
    // The rows the views were told of: the store's rows change before the
    // model says so, and a view never asks for a row it has not heard of.
    int shownRows_ = 0;
    bool large_ = true;
    double deviceRatio_ = 1.0;
    mutable QCache<quint64, QPixmap> pixmaps_;
};

} // namespace gb
