// The main window's start and browse buttons against the path field and a
// search that is still winding down: a command acts on the path shown or
// not at all, one modal window at a time, and no start click is lost.

#include "core/catalogue/file_icons.h"
#include "gui/main/main_window.h"
#include "gui/main/main_window_driver.h"
#include "support/own_output_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <atomic>
#include <chrono>
#include <thread>

using namespace gb;
using gb::test::control;

class MainWindowStartTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tree_;
    QString root_;

    // A path whose longest existing prefix is a folder with icons in it,
    // typed into t2 while it has the focus.
    QLineEdit* typeMissingPath(MainWindow& w)
    {
        auto* t2 = control<QLineEdit>(w, "t2");
        t2->setFocus();
        t2->setText(root_);
        t2->setText(root_ + "/no-such-folder");
        return t2;
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    static MainWindow::Services slowExtraction(std::atomic<int>& extracted)
    {
        MainWindow::Services services;
        services.extractor = [&extracted](const std::string& path) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            ++extracted;
            return extractFileIcons(path);
        };
        return services;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tree_.isValid());
        root_ = tree_.path();
        test::makeSearchTree(root_);
    }

    void StartWithAMissingPathSearchesNothingAndReportsOnce()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QLineEdit* t2 = typeMissingPath(w);
        test::ModalWatcher modals;
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        QTest::mouseClick(control<QToolButton>(w, "Command1_0"), Qt::LeftButton);
        settle();
        QCOMPARE(modals.seen, QStringList{"message"});
        QCOMPARE(modals.lastTitle, QStringLiteral("无效路径："));
        QCOMPARE(modals.lastText, QStringLiteral("搜索路径设置错误，重新设置！"));
        // No search of the last folder the field named on the way.
        QVERIFY(!w.searching());
        QCOMPARE(finished.count(), 0);
        QCOMPARE(control<QToolButton>(w, "Command1_0")->text(), QStringLiteral("开始搜索"));
        QVERIFY(w.catalogue().rows().empty());
        QCOMPARE(t2->text(), QDir::currentPath());
        QCOMPARE(w.focusWidget(), t2);
    }

    void StartWithTheFocusStillInAMissingPathSearchesNothing()
    {
        // The start is pressed without the focus leaving the field (a key
        // or the accessibility bus): the path is checked all the same.
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        typeMissingPath(w);
        test::ModalWatcher modals;
        control<QToolButton>(w, "Command1_0")->click();
        settle();
        QCOMPARE(modals.seen, QStringList{"message"});
        QVERIFY(!w.searching());
        QVERIFY(w.catalogue().rows().empty());
    }

    void StartAfterLeavingAGoodPathSearchesThatPath()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* t2 = control<QLineEdit>(w, "t2");
        t2->setFocus();
        t2->setText(root_ + "/other");
        test::ModalWatcher modals;
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        QTest::mouseClick(control<QToolButton>(w, "Command1_0"), Qt::LeftButton);
        QVERIFY(finished.wait(20000));
        QVERIFY(modals.seen.isEmpty());
        QCOMPARE(test::catalogueKeys(w, root_ + "/other"), (std::vector<std::string>{"/D.EXE(0)"}));
    }

    void BrowseWithAMissingPathShowsTheMessageAlone()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QLineEdit* t2 = typeMissingPath(w);
        test::ModalWatcher modals;
        QTest::mouseClick(control<QToolButton>(w, "cmdDir"), Qt::LeftButton);
        settle();
        // The chooser does not open on top of the message, nor after it.
        QCOMPARE(modals.seen, QStringList{"message"});
        QCOMPARE(modals.mostAtOnce, 1);
        QCOMPARE(t2->text(), QDir::currentPath());
        QCOMPARE(w.focusWidget(), t2);
    }

    void BrowseAfterAGoodPathOpensTheChooserAlone()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* t2 = control<QLineEdit>(w, "t2");
        t2->setFocus();
        t2->setText(root_);
        test::ModalWatcher modals;
        QTest::mouseClick(control<QToolButton>(w, "cmdDir"), Qt::LeftButton);
        settle();
        QCOMPARE(modals.seen, QStringList{"dirfrm"});
        QCOMPARE(modals.mostAtOnce, 1);
    }

    void AboutWithAMissingPathShowsTheMessageAlone()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        typeMissingPath(w);
        test::ModalWatcher modals;
        QTest::mouseClick(control<QToolButton>(w, "Command1_6"), Qt::LeftButton);
        settle();
        QCOMPARE(modals.seen, QStringList{"message"});
        QCOMPARE(modals.mostAtOnce, 1);
    }

    void StartWhileAStoppedSearchWindsDownRunsWhenItEnds()
    {
        MainWindow reference(test::withOwnOutputFolder());
        QVERIFY(test::searchTree(reference, root_, true));
        const auto everything = test::catalogueKeys(reference, root_);

        std::atomic<int> extracted{0};
        MainWindow w(test::withOwnOutputFolder(slowExtraction(extracted)));
        control<QLineEdit>(w, "t2")->setText(root_);
        control<QCheckBox>(w, "chkSub")->setChecked(true);
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        auto* start = control<QToolButton>(w, "Command1_0");
        QTest::mouseClick(start, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(extracted.load() >= 1, 5000);
        QTest::mouseClick(start, Qt::LeftButton); // stop
        QCOMPARE(start->text(), QStringLiteral("开始搜索"));
        QTest::mouseClick(start, Qt::LeftButton); // start again before the wind-down ends
        // The click is taken: the button offers to stop the search it waits for.
        QCOMPARE(start->text(), QStringLiteral("停止搜索"));
        QVERIFY(finished.wait(10000)); // the stopped search
        QVERIFY(w.searching());        // the waiting one has started at once
        QCOMPARE(start->text(), QStringLiteral("停止搜索"));
        QVERIFY(finished.wait(20000));
        QCOMPARE(test::catalogueKeys(w, root_), everything);
        QCOMPARE(start->text(), QStringLiteral("开始搜索"));
        QCOMPARE(w.statusText(), QStringLiteral("搜索结果：共计%1 个图标").arg(everything.size()));
    }

    void StartQueuedDuringAWindDownSearchesWhatTheFieldsHeldAtTheClick()
    {
        MainWindow reference(test::withOwnOutputFolder());
        reference.findChild<QLineEdit*>("t1")->setText("*.exe");
        QVERIFY(test::searchTree(reference, root_ + "/sub", false));
        const auto subOnly = test::catalogueKeys(reference, root_);
        QVERIFY(!subOnly.empty());

        std::atomic<int> extracted{0};
        MainWindow w(test::withOwnOutputFolder(slowExtraction(extracted)));
        auto* t1 = control<QLineEdit>(w, "t1");
        auto* t2 = control<QLineEdit>(w, "t2");
        auto* chkSub = control<QCheckBox>(w, "chkSub");
        t2->setText(root_);
        chkSub->setChecked(true);
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        auto* start = control<QToolButton>(w, "Command1_0");
        QTest::mouseClick(start, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(extracted.load() >= 1, 5000);
        QTest::mouseClick(start, Qt::LeftButton); // stop
        // The fields at the second click: the subfolder alone, programs only.
        t1->setText("*.exe");
        t2->setText(root_ + "/sub");
        chkSub->setChecked(false);
        QTest::mouseClick(start, Qt::LeftButton); // waits for the wind-down
        // Everything changed while the start waits: the walk does not see it.
        t1->setText("*.ico");
        t2->setText(root_);
        chkSub->setChecked(true);
        QVERIFY(finished.wait(10000)); // the stopped search
        QVERIFY(w.searching());
        QCOMPARE(w.statusText(), QStringLiteral("稍后，正在搜索... ") + root_ + "/sub");
        QVERIFY(finished.wait(20000));
        QCOMPARE(test::catalogueKeys(w, root_), subOnly);
    }

    void StopWhileAStartWaitsDropsThatStart()
    {
        std::atomic<int> extracted{0};
        MainWindow w(test::withOwnOutputFolder(slowExtraction(extracted)));
        control<QLineEdit>(w, "t2")->setText(root_);
        control<QCheckBox>(w, "chkSub")->setChecked(true);
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        auto* start = control<QToolButton>(w, "Command1_0");
        QTest::mouseClick(start, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(extracted.load() >= 1, 5000);
        QTest::mouseClick(start, Qt::LeftButton); // stop
        QTest::mouseClick(start, Qt::LeftButton); // start, waiting
        QTest::mouseClick(start, Qt::LeftButton); // stop again: the waiting start is dropped
        QCOMPARE(start->text(), QStringLiteral("开始搜索"));
        QVERIFY(finished.wait(10000));
        QVERIFY(!w.searching());
        QCOMPARE(start->text(), QStringLiteral("开始搜索"));
        QVERIFY(extracted.load() < 5);
    }
};

QTEST_MAIN(MainWindowStartTest)
#include "main_window_start_uitest.moc"
