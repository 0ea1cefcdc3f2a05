#pragma once
// For main window tests: a small tree of fixture files to search, controls
// found by their names, a search run to its end, and a watcher of the modal
// windows that come up.

#include "gui/main/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <string>
#include <vector>

namespace gb::test {

template <typename T> T* control(QWidget& window, const char* name)
{
    T* widget = window.findChild<T*>(name);
    if (widget == nullptr)
        qFatal("no control named %s", name);
    return widget;
}

// a.exe (an icon file) in the root, sub/b.exe (a PE32 with 7 icons),
// sub/deeper/c.exe, other/D.EXE, and a text file named like a program.
inline void makeSearchTree(const QString& root)
{
    const QString fixtures = QStringLiteral(GB_FIXTURE_DIR);
    QDir(root).mkpath("sub/deeper");
    QDir(root).mkpath("other");
    QFile::copy(fixtures + "/depth8.ico", root + "/a.exe");
    QFile::copy(fixtures + "/icons32.exe", root + "/sub/b.exe");
    QFile::copy(fixtures + "/icons64.dll", root + "/sub/deeper/c.exe");
    QFile::copy(fixtures + "/depth24.ico", root + "/other/D.EXE");
    QFile text(root + "/readme.exe");
    text.open(QIODevice::WriteOnly);
    text.write("not a program");
}

// The catalogue's keys below `root`, in row order.
inline std::vector<std::string> catalogueKeys(MainWindow& w, const QString& root)
{
    std::vector<std::string> out;
    for (const CatalogueRow& row : w.catalogue().rows())
        out.push_back(w.catalogue().image(row.icon).key().substr(root.toStdString().size()));
    return out;
}

// Searches `root` (with its subfolders when asked) and waits for the end.
inline bool searchTree(MainWindow& w, const QString& root, bool subfolders)
{
    control<QLineEdit>(w, "t2")->setText(root);
    control<QCheckBox>(w, "chkSub")->setChecked(subfolders);
    QSignalSpy finished(&w, &MainWindow::searchFinished);
    QTest::mouseClick(control<QToolButton>(w, "Command1_0"), Qt::LeftButton);
    return finished.wait(20000);
}

// Watches the modal windows: each one is remembered by its object name
// ("message" for a message box) with how many modal windows were open at
// that moment, and closed (a message box by OK, a dialog by rejecting it).
class ModalWatcher : public QObject {
public:
    ModalWatcher()
    {
        connect(&timer_, &QTimer::timeout, this, [this] { look(); });
        timer_.start(10);
    }

    QStringList seen;
    int mostAtOnce = 0;
    QString lastTitle, lastText;

private:
    void look()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last_)
            return;
        last_ = modal;
        int open = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->isModal())
                ++open;
        mostAtOnce = std::max(mostAtOnce, open);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << QStringLiteral("message");
            lastTitle = box->windowTitle();
            lastText = box->text();
            box->accept();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            seen << dialog->objectName();
            dialog->reject();
        } else {
            seen << modal->objectName();
            modal->close();
        }
    }

    QTimer timer_;
    QPointer<QWidget> last_;
};

} // namespace gb::test
