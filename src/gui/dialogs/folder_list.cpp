#include "gui/dialogs/folder_list.h"
#include "gui/common/path_text.h"

#include "core/search/folder_listing.h"

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <string>
#include <vector>

namespace gb::dialogs {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;

// Each step down the chain of folders moves an entry this far to the right,
// as the Windows list indents them.
constexpr int IndentPixels = 8;

// Doubled and trailing separators dropped, so "/a//b/" and "/a/b" are the
// one folder; nothing else is touched (no link is resolved).
std::string tidy(const std::string& path)
{
    std::string out;
    for (const char c : path) {
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out.push_back(c);
    }
    if (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

// "/a/b" gives "/", "/a", "/a/b": the chain the list shows above the
// subfolders, each with the name it is shown under.
std::vector<std::pair<std::string, std::string>> chainOf(const std::string& path)
{
    std::vector<std::pair<std::string, std::string>> chain;
    std::string sofar;
    std::size_t start = 0;
    if (!path.empty() && path.front() == '/') {
        sofar = "/";
        chain.emplace_back("/", "/");
        start = 1;
    }
    while (start < path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string name = path.substr(start, end - start);
        sofar = sofar.empty() ? name : childPath(sofar, name);
        chain.emplace_back(name, sofar);
        start = end + 1;
    }
    return chain;
}

class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem moved = option;
        moved.rect.adjust(indentOf(index), 0, 0, 0);
        QStyledItemDelegate::paint(painter, moved, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indentOf(index), 0);
    }

private:
    static int indentOf(const QModelIndex& index) { return index.data(LevelRole).toInt() * IndentPixels; }
};

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(false);
}

QByteArray FolderList::entryPath(const QListWidgetItem* item)
{
    return item ? item->data(PathRole).toByteArray() : QByteArray();
}

bool FolderList::setPath(const QByteArray& folder)
{
    const std::string wanted = tidy(folder.toStdString());
    if (wanted.empty())
        return false;
    const auto subfolders = listSubfolders(wanted);
    if (!subfolders)
        return false;

    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon linkIcon = style()->standardIcon(QStyle::SP_DirLinkIcon);

    int level = 0;
    QListWidgetItem* openItem = nullptr;
    for (const auto& [name, path] : chainOf(wanted)) {
        openItem = new QListWidgetItem(openIcon, ui::pathText(name), this);
        openItem->setData(PathRole, QByteArray::fromStdString(path));
        openItem->setData(LevelRole, level++);
    }
    for (const Subfolder& sub : *subfolders) {
        auto* item = new QListWidgetItem(sub.viaLink ? linkIcon : closedIcon, ui::pathText(sub.name), this);
        item->setData(PathRole, QByteArray::fromStdString(childPath(wanted, sub.name)));
        item->setData(LevelRole, level);
    }
    // As in the Windows list, the open folder is the highlighted entry until
    // the user moves the highlight.
    setCurrentItem(openItem);
    scrollToItem(openItem);

    const QByteArray opened = QByteArray::fromStdString(wanted);
    if (opened == path_)
        return true;
    path_ = opened;
    emit pathChanged(path_);
    return true;
}

void FolderList::openEntry(const QListWidgetItem* item)
{
    if (!item)
        return;
    // A folder that vanished or cannot be read since the list was made stays
    // shut; listing the open folder again drops what is gone.
    if (!setPath(entryPath(item)))
        setPath(path_);
}

void FolderList::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QListWidgetItem* item = itemAt(event->position().toPoint());
    QListWidget::mouseDoubleClickEvent(event);
    // Opened only after the view is done with the event: opening remakes
    // every entry.
    if (event->button() == Qt::LeftButton)
        openEntry(item);
}

void FolderList::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        openEntry(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace gb::dialogs
