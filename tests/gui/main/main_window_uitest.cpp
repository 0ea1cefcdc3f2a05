// The main window driven as a user drives it, offscreen, by its controls'
// names: searches over a tree of fixture files, stop, views, status texts
// and the two option fields.

#include "core/catalogue/file_icons.h"
#include "core/search/file_pattern.h"
#include "gui/main/catalogue_view.h"
#include "gui/main/main_window.h"
#include "support/own_output_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeView>

#include <atomic>
#include <chrono>
#include <thread>

using namespace gb;

namespace {

class CountingOpener : public ui::UrlOpener {
public:
    void open(const QUrl& url) override { opened.append(url); }
    QList<QUrl> opened;
};

// Closes the next modal message box and remembers its title and text.
struct MessageCatcher {
    QString title, text;
    void arm()
    {
        QTimer::singleShot(50, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                box->accept();
            }
        });
    }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tree_;
    QString root_;

    template <typename T> T* find(MainWindow& w, const char* name)
    {
        T* widget = w.findChild<T*>(name);
        if (widget == nullptr)
            qFatal("no control named %s", name);
        return widget;
    }

    // a.ico in the root, sub/b.exe (a PE32 with 7 icons), sub/deeper/c.dll,
    // other/d.ico, a text file named like a program, and a zip holding
    // SETUP/APP.EXE (the PE32 again) and icons/mixed.ico.
    void makeTree()
    {
        const QString fixtures = QStringLiteral(GB_FIXTURE_DIR);
        QDir(root_).mkpath("sub/deeper");
        QDir(root_).mkpath("other");
        QFile::copy(fixtures + "/depth8.ico", root_ + "/a.exe");
        QFile::copy(fixtures + "/icons32.exe", root_ + "/sub/b.exe");
        QFile::copy(fixtures + "/icons64.dll", root_ + "/sub/deeper/c.exe");
        QFile::copy(fixtures + "/depth24.ico", root_ + "/other/D.EXE");
        QFile::copy(fixtures + "/containers/setup.zip", root_ + "/setup.zip");
        QFile text(root_ + "/readme.exe");
        text.open(QIODevice::WriteOnly);
        text.write("not a program");
    }

    std::vector<std::string> keys(MainWindow& w)
    {
        std::vector<std::string> out;
        for (const CatalogueRow& row : w.catalogue().rows())
            out.push_back(w.catalogue().image(row.icon).key().substr(root_.toStdString().size()));
        return out;
    }

    void search(MainWindow& w, bool subfolders)
    {
        find<QLineEdit>(w, "t2")->setText(root_);
        find<QCheckBox>(w, "chkSub")->setChecked(subfolders);
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        QTest::mouseClick(find<QToolButton>(w, "Command1_0"), Qt::LeftButton);
        QVERIFY(finished.wait(20000));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tree_.isValid());
        root_ = tree_.path();
        makeTree();
    }

    void startsWithTheHintAndTheCurrentFolder()
    {
        MainWindow w(test::withOwnOutputFolder());
        QCOMPARE(w.windowTitle(), QStringLiteral("Glimmerbox（6.02）"));
        QCOMPARE(w.statusText(), QStringLiteral("点击“开始搜索”按钮提取图标！"));
        QCOMPARE(find<QLineEdit>(w, "t2")->text(), QDir::currentPath());
        QCOMPARE(find<QLineEdit>(w, "t1")->text(), QStringLiteral("*.exe"));
        QCOMPARE(find<QToolButton>(w, "Command1_0")->text(), QStringLiteral("开始搜索"));
        QCOMPARE(find<QWidget>(w, "lv")->geometry(), QRect(3, 88, 521, 265));
        QVERIFY(QFileInfo(QString::fromStdString(w.outputFolder()) + "/icons").isDir());
        QVERIFY(QFileInfo(QString::fromStdString(w.outputFolder()) + "/bmps").isDir());
    }

    void searchWithoutSubfoldersTakesTheStartFolderOnly()
    {
        MainWindow w(test::withOwnOutputFolder());
        search(w, false);
        QCOMPARE(keys(w), (std::vector<std::string>{"/a.exe(0)"}));
        QCOMPARE(w.statusText(), QStringLiteral("搜索结果：共计1 个图标"));
        // The start adds one, each file one, written with a leading space.
        QCOMPARE(find<QLabel>(w, "lblCount")->text(), QStringLiteral(" 3"));
        QCOMPARE(find<QToolButton>(w, "Command1_0")->text(), QStringLiteral("开始搜索"));
    }

    void searchWithSubfoldersWalksLastToFirstThenOwnFiles()
    {
        MainWindow w(test::withOwnOutputFolder());
        search(w, true);
        const auto k = keys(w);
        // sub/ (last by name) first, its subfolder before its own file, then
        // other/, then the root's own files.
        QCOMPARE(k.front(), std::string("/sub/deeper/c.exe(0)"));
        QCOMPARE(k.at(7), std::string("/sub/b.exe(0)"));
        QCOMPARE(k.at(k.size() - 2), std::string("/other/D.EXE(0)"));
        QCOMPARE(k.back(), std::string("/a.exe(0)"));
        QCOMPARE(w.catalogue().rows().size(), w.catalogue().imageCount());
        QCOMPARE(w.statusText(), QStringLiteral("搜索结果：共计%1 个图标").arg(k.size()));
        QCOMPARE(find<QLabel>(w, "lblCount")->text(), QStringLiteral(" 6"));
    }

    // A search hands its rows to the views, and so to the accessibility
    // bridge, as one insertion of them all, however many: never a change per
    // row, and not a reset that forgets the views' state.
    void searchShowsItsRowsAsOneInsertion()
    {
        MainWindow w(test::withOwnOutputFolder());
        QAbstractItemModel* model = w.catalogueView().iconView()->model();
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        search(w, true);
        QVERIFY(model->rowCount() > 2);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 0);
        QCOMPARE(inserted.at(0).at(2).toInt(), model->rowCount() - 1);
        QCOMPARE(static_cast<std::size_t>(model->rowCount()), w.catalogue().rows().size());
    }

    void containersAreLookedInsideOnlyWhenChecked()
    {
        MainWindow w(test::withOwnOutputFolder());
        auto* containers = find<QCheckBox>(w, "chkContainers");
        QVERIFY(!containers->isChecked());
        QCOMPARE(containers->text(), QStringLiteral("搜索压缩包"));
        containers->setChecked(true);
        search(w, false);
        const auto k = keys(w);
        QCOMPARE(k.size(), std::size_t{8});
        QCOMPARE(k.front(), std::string("/a.exe(0)"));
        QCOMPARE(k.at(1), std::string("/setup.zip//SETUP/APP.EXE(0)"));
        QCOMPARE(w.statusText(), QStringLiteral("搜索结果：共计8 个图标"));
        // The zip's member counts as a file; the zip itself does not.
        QCOMPARE(find<QLabel>(w, "lblCount")->text(), QStringLiteral(" 4"));
    }

    void aNewSearchReplacesTheCatalogue()
    {
        MainWindow w(test::withOwnOutputFolder());
        search(w, true);
        search(w, false);
        QCOMPARE(w.catalogue().rows().size(), std::size_t{1});
    }

    void stopLeavesRowsForWhatWasExtractedAndTheCaptionReturnsAtOnce()
    {
        std::atomic<int> extracted{0};
        MainWindow::Services services;
        services.extractor = [&](const std::string& path) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            ++extracted;
            return extractFileIcons(path);
        };
        MainWindow w(test::withOwnOutputFolder(services));
        find<QLineEdit>(w, "t2")->setText(root_);
        find<QCheckBox>(w, "chkSub")->setChecked(true);
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        auto* start = find<QToolButton>(w, "Command1_0");
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(start->text(), QStringLiteral("停止搜索"));
        QTRY_VERIFY_WITH_TIMEOUT(extracted.load() >= 1, 5000);
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(start->text(), QStringLiteral("开始搜索"));
        QCOMPARE(w.statusText(), QStringLiteral("搜索结果：共计0 个图标")); // rows come only at the end
        QVERIFY(finished.wait(10000));
        QVERIFY(w.catalogue().rows().size() >= 1);
        QVERIFY(extracted.load() < 5);
    }

    void theWindowAnswersWhileASearchRuns()
    {
        MainWindow::Services services;
        services.extractor = [](const std::string& path) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return extractFileIcons(path);
        };
        MainWindow w(test::withOwnOutputFolder(services));
        find<QLineEdit>(w, "t2")->setText(root_);
        find<QCheckBox>(w, "chkSub")->setChecked(true);
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        QTest::mouseClick(find<QToolButton>(w, "Command1_0"), Qt::LeftButton);
        // The view switch and the status hover are handled mid-search.
        QTest::mouseClick(find<QToolButton>(w, "Option1_2"), Qt::LeftButton);
        QCOMPARE(w.catalogueView().view(), CatalogueView::Report);
        QTest::mouseMove(find<QWidget>(w, "statusbar1"));
        QVERIFY(!w.statusText().startsWith(QStringLiteral("显示结果")));
        QVERIFY(finished.wait(20000));
    }

    void theThreeViews()
    {
        MainWindow w(test::withOwnOutputFolder());
        search(w, true);
        auto& lv = w.catalogueView();
        QTest::mouseClick(find<QToolButton>(w, "Option1_1"), Qt::LeftButton);
        QCOMPARE(lv.view(), CatalogueView::SmallIcons);
        QCOMPARE(lv.iconView()->iconSize(), QSize(16, 16));
        QTest::mouseClick(find<QToolButton>(w, "Option1_2"), Qt::LeftButton);
        QCOMPARE(lv.view(), CatalogueView::Report);
        QCOMPARE(lv.reportView()->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("图标图像"));
        QCOMPARE(lv.reportView()->model()->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("出自文件"));
        QCOMPARE(lv.reportView()->model()->index(0, 1).data().toString(), root_ + "/sub/deeper/c.exe");
        QTest::mouseClick(find<QToolButton>(w, "Option1_0"), Qt::LeftButton);
        QCOMPARE(lv.view(), CatalogueView::LargeIcons);
        QCOMPARE(lv.iconView()->iconSize(), QSize(32, 32));
    }

    void iconViewsFillRowsLeftToRight_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("large icons") << "Option1_0";
        QTest::newRow("small icons") << "Option1_1";
    }

    void iconViewsFillRowsLeftToRight()
    {
        QFETCH(QString, option);
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        search(w, true);
        QTest::mouseClick(find<QToolButton>(w, option.toLatin1().constData()), Qt::LeftButton);
        QListView* icons = w.catalogueView().iconView();
        QTRY_VERIFY(icons->visualRect(icons->model()->index(1, 0)).isValid());
        const QRect first = icons->visualRect(icons->model()->index(0, 0));
        const QRect second = icons->visualRect(icons->model()->index(1, 0));
        QCOMPARE(second.top(), first.top());
        QVERIFY(second.left() > first.left());
        // A full row wraps to the next one, under the first: no sideways scrolling.
        const int last = icons->model()->rowCount() - 1;
        QVERIFY(icons->visualRect(icons->model()->index(last, 0)).top() > first.top());
        QCOMPARE(icons->horizontalScrollBar()->maximum(), 0);
    }

    void hoverShowsTheCountAndAClickShowsTheSource()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        search(w, true);
        QTest::mouseMove(find<QWidget>(w, "statusbar1"), QPoint(5, 5));
        QTest::mouseMove(find<QWidget>(w, "statusbar1"), QPoint(9, 6));
        QCOMPARE(w.statusText(), QStringLiteral("显示结果：共计%1 个图标").arg(w.catalogue().rows().size()));
        w.Option1_Click(2);
        auto* report = w.catalogueView().reportView();
        const QRect third = report->visualRect(report->model()->index(2, 0));
        QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, third.center());
        QCOMPARE(w.statusText(), QStringLiteral("Icon 3图标取自文件： ") + root_ + "/sub/deeper/c.exe");
    }

    // GB_SCREENSHOT=file.png saves the window after a search with
    // subfolders, for the README.
    void screenshotAfterASearch()
    {
        const QString file = qEnvironmentVariable("GB_SCREENSHOT");
        if (file.isEmpty())
            QSKIP("set GB_SCREENSHOT to save a picture of the window");
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        search(w, true);
        w.catalogueView().selectionModel()->select(w.catalogueView().iconView()->model()->index(2, 0),
                                                   QItemSelectionModel::Select);
        QVERIFY(w.grab().save(file));
    }

    void starAloneBecomesStarDotStar()
    {
        MainWindow w(test::withOwnOutputFolder());
        auto* t1 = find<QLineEdit>(w, "t1");
        t1->setText("*");
        QCOMPARE(t1->text(), QStringLiteral("*.*"));
        find<QLineEdit>(w, "t2")->setText(root_);
        search(w, false);
        QCOMPARE(w.catalogue().rows().size(), std::size_t{1}); // readme.exe and a.exe: one holds an icon
    }

    void typingAfterALoneStarReplacesTheOfferedDotStar_data()
    {
        QTest::addColumn<QString>("keys"); // "\b" is Backspace
        QTest::addColumn<QString>("pattern");
        QTest::newRow("star alone") << "*"
                                    << "*.*";
        QTest::newRow("a pattern typed on") << "*.dll"
                                            << "*.dll";
        QTest::newRow("a name typed on") << "*setup*"
                                         << "*setup*";
        QTest::newRow("the offer taken back") << "*\b"
                                              << "*";
        QTest::newRow("and the star too") << "*\b\b"
                                          << "";
    }

    void typingAfterALoneStarReplacesTheOfferedDotStar()
    {
        QFETCH(QString, keys);
        QFETCH(QString, pattern);
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* t1 = find<QLineEdit>(w, "t1");
        t1->setFocus();
        QCoreApplication::processEvents(); // entering the field selects its text
        t1->clear();
        for (const QChar key : keys)
            if (key == u'\b')
                QTest::keyClick(t1, Qt::Key_Backspace);
            else
                QTest::keyClicks(t1, QString(key));
        QCOMPARE(t1->text(), pattern);
        // What is shown is what the search takes.
        find<QLineEdit>(w, "t2")->setText(root_);
        search(w, false);
        QCOMPARE(w.catalogue().rows().empty(), !FilePattern(pattern.toStdString()).matches("a.exe"));
    }

    void twoPatternsJoinedBySemicolon()
    {
        MainWindow w(test::withOwnOutputFolder());
        find<QLineEdit>(w, "t1")->setText("*.ico;*.exe");
        QFile::copy(QStringLiteral(GB_FIXTURE_DIR) + "/depth4.ico", root_ + "/z.ico");
        search(w, false);
        QFile::remove(root_ + "/z.ico");
        QCOMPARE(keys(w), (std::vector<std::string>{"/a.exe(0)", "/z.ico(0)"}));
    }

    void leavingAWrongPathShowsTheMessageAndResetsTheField()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* t2 = find<QLineEdit>(w, "t2");
        t2->setFocus();
        t2->setText("/no/such/folder");
        MessageCatcher catcher;
        catcher.arm();
        find<QLineEdit>(w, "t1")->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(catcher.title, QStringLiteral("无效路径："));
        QCOMPARE(catcher.text, QStringLiteral("搜索路径设置错误，重新设置！"));
        QCOMPARE(t2->text(), QDir::currentPath());
        QTRY_COMPARE(w.focusWidget(), t2); // the focus stays in the field
    }

    void typingAPathMovesTheFolderListAtEachFolder()
    {
        MainWindow w(test::withOwnOutputFolder());
        auto* t2 = find<QLineEdit>(w, "t2");
        t2->setText(root_);
        QCOMPARE(QString::fromStdString(w.searchFolder()), root_);
        t2->setText(root_ + "/su"); // not a folder: the list stays
        QCOMPARE(QString::fromStdString(w.searchFolder()), root_);
        t2->setText(root_ + "/sub");
        QCOMPARE(QString::fromStdString(w.searchFolder()), root_ + "/sub");
    }

    void enterInThePatternStartsAndStops()
    {
        MainWindow::Services services;
        services.extractor = [](const std::string& path) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return extractFileIcons(path);
        };
        MainWindow w(test::withOwnOutputFolder(services));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        find<QLineEdit>(w, "t2")->setText(root_);
        find<QCheckBox>(w, "chkSub")->setChecked(true);
        auto* t1 = find<QLineEdit>(w, "t1");
        t1->setFocus();
        QSignalSpy finished(&w, &MainWindow::searchFinished);
        QTest::keyClick(t1, Qt::Key_Return);
        QCOMPARE(find<QToolButton>(w, "Command1_0")->text(), QStringLiteral("停止搜索"));
        QTest::keyClick(t1, Qt::Key_Return);
        QCOMPARE(find<QToolButton>(w, "Command1_0")->text(), QStringLiteral("开始搜索"));
        QVERIFY(finished.wait(10000));
    }

    void webPaneSpeaksChineseFirst()
    {
        MainWindow w(test::withOwnOutputFolder());
        const QString page = find<QTextBrowser>(w, "web1")->toPlainText();
        const qsizetype chinese = page.indexOf(QStringLiteral("可以从 Windows 程序"));
        QVERIFY(chinese >= 0);
        QVERIFY(chinese < page.indexOf(QStringLiteral("finds the icons")));
        QVERIFY(page.contains(QStringLiteral("单击右键")));
    }

    void aboutOpensModallyAndMailGoesThroughTheOpener()
    {
        CountingOpener opener;
        MainWindow::Services services;
        services.opener = &opener;
        MainWindow w(test::withOwnOutputFolder(services));
        QTimer::singleShot(100, [] {
            QWidget* about = QApplication::activeModalWidget();
            QVERIFY(about != nullptr);
            QCOMPARE(about->objectName(), QStringLiteral("aboutfrm"));
            about->close();
        });
        w.Command1_Click(6);
    }

    void theConverterOpensModally()
    {
        MainWindow w(test::withOwnOutputFolder());
        QString seen;
        QTimer::singleShot(100, [&seen] {
            if (QWidget* converter = QApplication::activeModalWidget()) {
                seen = converter->objectName();
                converter->close();
            }
        });
        QTest::mouseClick(find<QToolButton>(w, "Command2"), Qt::LeftButton);
        QCOMPARE(seen, QStringLiteral("converfrm"));
    }

    void theGrabberHidesTheMainWindowUntilItCloses()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(find<QToolButton>(w, "Command1_1"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QWidget* grabber = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QStringLiteral("picpfrm") && top->isVisible())
                grabber = top;
        QVERIFY(grabber != nullptr);
        grabber->close();
        QVERIFY(w.isVisible());
    }

    void exitClosesTheWindow()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(find<QToolButton>(w, "Command1_5"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_uitest.moc"
