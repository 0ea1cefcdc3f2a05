#pragma once
// The chooser's folder list, as the Windows folder list behaves: the open
// folder's ancestors from the root down, the open folder itself, then its
// subfolders in list order. A click only highlights an entry; a double click
// or Enter opens it. Paths are the bytes the file system uses, exactly as
// the user walked them: a link to a folder is listed and opened under its
// own name, never resolved.

#include <QByteArray>
#include <QListWidget>

namespace gb::dialogs {

class FolderList : public QListWidget {
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);

    // Opens `folder`. False, with the list unchanged, when the folder cannot
    // be listed (missing, not a folder, no permission): the caller decides
    // what the user is told. Emits pathChanged when the open folder changed.
    bool setPath(const QByteArray& folder);

    // The open folder (not the highlighted entry).
    QByteArray path() const { return path_; }

    // The full path an entry stands for.
    static QByteArray entryPath(const QListWidgetItem* item);

signals:
    void pathChanged(const QByteArray& folder);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openEntry(const QListWidgetItem* item);

    QByteArray path_;
};

} // namespace gb::dialogs
