#include "gui/main/catalogue_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

namespace gb {

CatalogueView::CatalogueView(CatalogueModel& model, QWidget* parent)
    : QStackedWidget(parent), model_(model), icons_(new QListView(this)), report_(new QTreeView(this)),
      selection_(new QItemSelectionModel(&model, this))
{
    icons_->setObjectName("lvIcons");
    report_->setObjectName("lvReport");
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(icons_), static_cast<QAbstractItemView*>(report_)}) {
        view->setModel(&model);
        view->setSelectionModel(selection_);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
            if (index.isValid())
                emit itemClicked(index.row());
        });
    }
    // A row reached by the keyboard shows its source as a click does; a row
    // made current by a click or by the focus arriving does not count here.
    connect(selection_, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (keyPressing_ && current.isValid())
            emit currentMovedByKey(current.row());
    });
    icons_->setModelColumn(0);
    icons_->setUniformItemSizes(true); // 100,000 rows lay out without measuring each
    icons_->setResizeMode(QListView::Adjust);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(2000);
    icons_->setMovement(QListView::Static);
    report_->setRootIsDecorated(false);
    report_->setSelectionBehavior(QAbstractItemView::SelectRows);
    report_->setUniformRowHeights(true);
    report_->setIconSize(QSize(16, 16));
    report_->header()->setStretchLastSection(true);
    report_->header()->resizeSection(0, 110);
    addWidget(icons_);
    addWidget(report_);
    setView(LargeIcons);
}

void CatalogueView::setView(View view)
{
    view_ = view;
    if (view == Report) {
        model_.setLargeIcons(false);
        setCurrentWidget(report_);
        return;
    }
    const bool large = view == LargeIcons;
    model_.setLargeIcons(large);
    // Both icon views fill rows left to right and scroll down, the small
    // icons with their captions beside them, the large ones beneath.
    icons_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    icons_->setFlow(QListView::LeftToRight);
    icons_->setWrapping(true);
    icons_->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    icons_->setGridSize(large ? QSize(76, 58) : QSize(110, 20));
    setCurrentWidget(icons_);
}

QAbstractItemView* CatalogueView::activeView() const
{
    return view_ == Report ? static_cast<QAbstractItemView*>(report_) : icons_;
}

std::vector<int> CatalogueView::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : selection_->selectedIndexes())
        if (index.column() == 0)
            rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CatalogueView::currentRow() const
{
    const QModelIndex current = selection_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

QPoint CatalogueView::currentRowPoint() const
{
    QAbstractItemView* view = activeView();
    QRect row = view->visualRect(selection_->currentIndex());
    if (!row.isValid() || !view->viewport()->rect().intersects(row))
        row = QRect(QPoint(0, 0), QSize(1, 1)); // no current row in sight: the list's corner
    return view->viewport()->mapToGlobal(row.center());
}

bool CatalogueView::eventFilter(QObject* watched, QEvent* event)
{
    if (isView(watched) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (menuKey || shiftF10) {
            emit menuKeyPressed(currentRowPoint());
            return true;
        }
        // The view handles the key right after this filter; a current row
        // that moves meanwhile moved by this key.
        keyPressing_ = true;
        QTimer::singleShot(0, this, [this] { keyPressing_ = false; });
    } else if (isView(watched) && event->type() == QEvent::ContextMenu &&
               static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        // Some platforms turn the menu key into this event as well as the
        // key press above; the menu opened by the key press is then open.
        if (QApplication::activePopupWidget() == nullptr)
            emit menuKeyPressed(currentRowPoint());
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // The right button alone opens the catalogue's menu.
        if (mouse->button() == Qt::RightButton && mouse->buttons() == Qt::RightButton)
            emit rightPressed(mouse->globalPosition().toPoint());
    }
    return QStackedWidget::eventFilter(watched, event);
}

} // namespace gb
