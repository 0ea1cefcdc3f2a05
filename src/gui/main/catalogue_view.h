#pragma once
// The catalogue list "lv" in its three views: large icons, small icons, and
// the report with the columns "图标图像" and "出自文件". One model and one
// selection serve all three, so switching views keeps the selection.

#include "gui/catalogue/catalogue_model.h"

#include <QListView>
#include <QStackedWidget>
#include <QTreeView>

namespace gb {

class CatalogueView : public QStackedWidget {
    Q_OBJECT
public:
    enum View { LargeIcons = 0, SmallIcons = 1, Report = 3 };

    explicit CatalogueView(CatalogueModel& model, QWidget* parent = nullptr);

    void setView(View view);
    View view() const { return view_; }

    QAbstractItemView* activeView() const;
    QItemSelectionModel* selectionModel() const { return selection_; }
    QListView* iconView() const { return icons_; }
    QTreeView* reportView() const { return report_; }

    // Rows (from 0) that are selected, ascending.
    std::vector<int> selectedRows() const;
    int currentRow() const;

signals:
    void itemClicked(int row);
    // The current row moved by a key (arrows, Home, Page Down, ...).
    void currentMovedByKey(int row);
    void rightPressed(QPoint globalPosition);
    // The menu key or Shift+F10: the menu belongs at the current row.
    void menuKeyPressed(QPoint globalPosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isView(QObject* object) const { return object == icons_ || object == report_; }
    QPoint currentRowPoint() const;

    CatalogueModel& model_;
    QListView* icons_;
    QTreeView* report_;
    QItemSelectionModel* selection_;
    View view_ = LargeIcons;
    bool keyPressing_ = false; // a key press is being handled by a view
};

} // namespace gb
