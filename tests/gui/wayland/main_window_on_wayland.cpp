// The main window as a native Wayland client: run by run-wayland-test.sh
// under a headless weston with Qt's wayland platform. The window shows at
// its fixed size, searches the fixture tree and the folder an "Open With"
// start names, opens its modal windows over itself and closes them, holds
// the single-instance lock, and copies an icon to the clipboard.
//
// weston's headless backend has no seat: no keyboard focus, no activation,
// and Qt's input method would crash on a key event without a seat. So the
// test types nothing, setting the fields' texts and clicking the buttons.

#include "gui/main/catalogue_view.h"
#include "gui/main/main_window.h"
#include "gui/main/main_window_driver.h"
#include "gui/main/single_instance.h"
#include "gui/main/start_path.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

using namespace gb;
using gb::test::control;

namespace {

// What one modal window was like while it was open.
struct ModalSeen {
    QString name; // "message" for a message box
    bool exposed = false;
    bool overTheWindow = false; // its transient parent is the main window
};

// Presses `button`, waits for the modal window it opens to be shown by the
// compositor, notes it, and closes it (a message box by OK, a dialog by
// rejecting it).
ModalSeen pressAndCloseModal(MainWindow& w, const char* button)
{
    ModalSeen seen;
    QElapsedTimer waited;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->windowHandle() == nullptr)
            return;
        if (!waited.isValid())
            waited.start();
        seen.exposed = modal->windowHandle()->isExposed();
        if (!seen.exposed && waited.elapsed() < 5000)
            return; // the compositor has not configured it yet
        seen.overTheWindow = modal->windowHandle()->transientParent() == w.windowHandle();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.name = QStringLiteral("message");
            box->accept();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            seen.name = dialog->objectName();
            dialog->reject();
        } else {
            seen.name = modal->objectName();
            modal->close();
        }
    });
    poll.start(10);
    QTest::mouseClick(control<QToolButton>(w, button), Qt::LeftButton);
    return seen;
}

// Set when Qt says it cannot set the clipboard for want of a seat.
bool noSeat = false;
QtMessageHandler qtHandler = nullptr;
void watchForNoSeat(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QLatin1String("no wl_seats")))
        noSeat = true;
    if (qtHandler != nullptr)
        qtHandler(type, context, text);
}

} // namespace

class MainWindowOnWaylandTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tree_;
    QString root_;

    // No seat: the window is shown but never activated.
    static bool showAndWait(MainWindow& w)
    {
        w.show();
        return QTest::qWaitForWindowExposed(&w);
    }

private slots:
    void initTestCase()
    {
        // Run on anything else this test would prove nothing.
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
        QVERIFY(tree_.isValid());
        root_ = tree_.path();
        test::makeSearchTree(root_);
    }

    void theWindowKeepsItsFixedSize()
    {
        MainWindow w;
        const QSize fixed = w.size();
        QCOMPARE(w.minimumSize(), fixed);
        QCOMPARE(w.maximumSize(), fixed);
        QVERIFY(showAndWait(w));
        // The fixed size goes to the compositor as the toplevel's least and
        // largest size, and its configure leaves the window as it was.
        QCOMPARE(w.windowHandle()->minimumSize(), fixed);
        QCOMPARE(w.windowHandle()->maximumSize(), fixed);
        QTest::qWait(200);
        QCOMPARE(w.size(), fixed);
        QVERIFY(w.isVisible());
    }

    void aSearchOverTheFixturesFillsTheCatalogue()
    {
        MainWindow w;
        QVERIFY(showAndWait(w));
        QVERIFY(test::searchTree(w, root_, true));
        const auto keys = test::catalogueKeys(w, root_);
        QCOMPARE(keys.front(), std::string("/sub/deeper/c.exe(0)"));
        QCOMPARE(keys.back(), std::string("/a.exe(0)"));
        QCOMPARE(w.statusText(), QStringLiteral("搜索结果：共计%1 个图标").arg(keys.size()));
        QCOMPARE(w.catalogueView().iconView()->model()->rowCount(), static_cast<int>(keys.size()));
    }

    void anOpenWithStartSearchesThatFile()
    {
        // glimmerbox PATH, as a file manager starts it.
        const auto start = startPathFor(QFile::encodeName(root_ + "/sub/b.exe"));
        QVERIFY(start);
        MainWindow w;
        w.setStartPath(*start);
        QVERIFY(showAndWait(w));
        QCOMPARE(control<QLineEdit>(w, "t2")->text(), root_ + "/sub");
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        QTest::mouseClick(control<QToolButton>(w, "Command1_0"), Qt::LeftButton);
        QVERIFY(finished.wait(20000));
        const auto keys = test::catalogueKeys(w, root_);
        QCOMPARE(keys.size(), std::size_t{7}); // b.exe's icons, not c.exe's below it
        QCOMPARE(keys.front(), std::string("/sub/b.exe(0)"));
        QCOMPARE(w.statusText(), QStringLiteral("搜索结果：共计7 个图标"));
    }

    void modalWindowsOpenOverTheWindowAndClose()
    {
        MainWindow w;
        QVERIFY(showAndWait(w));

        const ModalSeen about = pressAndCloseModal(w, "Command1_6");
        QCOMPARE(about.name, QStringLiteral("aboutfrm"));
        QVERIFY2(about.exposed, "the compositor never showed the about box");
        // On Wayland only the parent places a dialog: the compositor puts it
        // over the window it belongs to.
        QVERIFY(about.overTheWindow);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        control<QLineEdit>(w, "t2")->setText(root_ + "/no-such-folder");
        const ModalSeen message = pressAndCloseModal(w, "Command1_0");
        QCOMPARE(message.name, QStringLiteral("message"));
        QVERIFY2(message.exposed, "the compositor never showed the message box");
        QVERIFY(message.overTheWindow);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(!w.searching());

        QVERIFY(w.isVisible());
        QVERIFY(w.windowHandle()->isExposed());
    }

    void aSecondCopyFindsTheLockHeld()
    {
        const auto first = claimSingleInstance();
        QVERIFY(first);
        QVERIFY(!claimSingleInstance());
    }

    void copyPutsTheIconOnTheClipboard()
    {
        MainWindow w;
        QVERIFY(showAndWait(w));
        QVERIFY(test::searchTree(w, root_ + "/other", false));
        QListView* icons = w.catalogueView().iconView();
        icons->selectionModel()->setCurrentIndex(icons->model()->index(0, 0),
                                                 QItemSelectionModel::ClearAndSelect);

        // A Wayland selection belongs to a seat; Qt says so when there is none.
        qtHandler = qInstallMessageHandler(watchForNoSeat);
        w.exportCommands().copyico_Click();
        qInstallMessageHandler(qtHandler);
        if (noSeat)
            QSKIP("the compositor offers no seat (weston's headless backend), and a Wayland clipboard "
                  "belongs to a seat");

        QTRY_COMPARE(QGuiApplication::clipboard()->image().size(), QSize(32, 32));
    }
};

QTEST_MAIN(MainWindowOnWaylandTest)
#include "main_window_on_wayland.moc"
