#include "gui/main/details_opener.h"

#include "core/catalogue/catalogue_store.h"
#include "gui/details/icon_details_window.h"
#include "gui/main/catalogue_view.h"

namespace gb {

void openIconDetails(const CatalogueStore& store, int row, QWidget* parent)
{
    if (row < 0 || static_cast<std::size_t>(row) >= store.rows().size())
        return;
    const std::size_t icon = store.rows()[static_cast<std::size_t>(row)].icon;
    auto* window =
        new details::IconDetailsWindow(store.image(icon).origin, parent); // deletes itself on close
    window->show();
}

void openDetailsOnDoubleClick(CatalogueView& view, const CatalogueStore& store, QWidget* parent)
{
    for (QAbstractItemView* shown : {static_cast<QAbstractItemView*>(view.iconView()),
                                     static_cast<QAbstractItemView*>(view.reportView())})
        QObject::connect(
            shown, &QAbstractItemView::doubleClicked, parent,
            [&store, parent](const QModelIndex& index) { openIconDetails(store, index.row(), parent); });
}

} // namespace gb
