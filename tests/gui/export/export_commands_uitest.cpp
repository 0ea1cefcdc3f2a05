// The catalogue's menu and its commands, driven offscreen: the menu's items
// and states, single saves through the save dialog, copy, delete, and the
// colour and gray batches with their prompts and messages.

#include "core/icons/icon_image.h"
#include "core/icons/icon_source.h"
#include "gui/main/catalogue_view.h"
#include "gui/main/main_window.h"
#include "support/message_closer.h"
#include "support/own_output_folder.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

using namespace gb;

namespace {

RgbaImage solid(int side, Rgba colour)
{
    RgbaImage image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.at(x, y) = x < side / 4 ? Rgba{} : colour; // a transparent stripe on the left
    return image;
}

const Rgba kColours[] = {
    {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {200, 200, 0, 255}, {0, 200, 200, 255}};

// A catalogue of `rows` icons in distinct colours.
void fill(MainWindow& w, int rows)
{
    for (int i = 0; i < rows; ++i)
        w.catalogue().add({"/t/app.exe", i}, solid(32, kColours[i]), solid(16, kColours[i]));
    w.catalogue().buildRows();
    w.catalogueChanged();
}

void selectRows(MainWindow& w, std::initializer_list<int> rows)
{
    auto* selection = w.catalogueView().selectionModel();
    selection->clear();
    for (int row : rows)
        selection->select(w.catalogueView().iconView()->model()->index(row, 0), QItemSelectionModel::Select);
}

std::string readFile(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The one image of an ICO file, decoded.
RgbaImage icoImage(const QString& path)
{
    const std::string bytes = readFile(path);
    auto group = IconSource::fromBytes(ByteReader(std::as_bytes(std::span(bytes)))).group(0);
    if (!group || group->entries.empty() || !group->entries[0].image)
        return {};
    auto image = decodeIconImage(*group->entries[0].image);
    return image ? *image : RgbaImage{};
}

// Answers the next modal dialog of type T when it shows. A timer looks for
// it now and then instead of a waiting loop, since dialogs open inside each
// other's loops and a waiting loop would hold the ones below it.
template <typename T> void answerNext(std::function<void(T*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start();
}

struct Message {
    QString title, text;
};

// Closes the next message box, remembering it.
void catchMessage(Message& message)
{
    answerNext<QMessageBox>([&message](QMessageBox* box) {
        message = {box->windowTitle(), box->text()};
        box->accept();
    });
}

// Answers the next prompt; then, if asked, catches the message that follows.
// (One waiting loop at a time: two would nest and starve each other.)
void answerPrompt(const QString& text, QString* title = nullptr, Message* then = nullptr)
{
    answerNext<QInputDialog>([text, title, then](QInputDialog* prompt) {
        if (title)
            *title = prompt->windowTitle();
        prompt->setTextValue(text);
        prompt->accept();
        if (then)
            catchMessage(*then);
    });
}

void cancelPrompt(Message* then)
{
    answerNext<QInputDialog>([then](QInputDialog* prompt) {
        prompt->reject();
        catchMessage(*then);
    });
}

void answerSaveDialog(QFileDialog* dialog, const QString& file, const QString& filter,
                      QStringList* offered = nullptr)
{
    QTimer::singleShot(0, [=] {
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 20000);
        if (offered)
            *offered = dialog->selectedFiles();
        dialog->selectNameFilter(filter);
        dialog->selectFile(file);
        QTest::qWait(100); // the dialog's folder model settles, then the name is set for good
        dialog->selectFile(file);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

} // namespace

class ExportCommandsTest : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;

    QString iconsFolder(MainWindow& w) { return QString::fromStdString(w.outputFolder()) + "/icons/"; }
    QString bitmapsFolder(MainWindow& w) { return QString::fromStdString(w.outputFolder()) + "/bmps/"; }
    // The windows here write to this test's own output folder, not beside the
    // program, so a batch's last words say where its files went.
    QString savedIn(MainWindow& w, const char* folder)
    {
        return QStringLiteral("（保存在 %1/%2）").arg(QString::fromStdString(w.outputFolder()), folder);
    }

    void runBatch(MainWindow& w, ExportCommands::Batch batch, const QString& prefix)
    {
        QSignalSpy done(&w.exportCommands(), &ExportCommands::batchFinished);
        answerPrompt(prefix);
        w.exportCommands().runBatchCommand(batch);
        QVERIFY(done.wait(20000));
    }

private slots:
    void initTestCase()
    {
        // Qt's file dialog keeps its history in the user's settings; a
        // private folder keeps one test run from steering the next.
        qputenv("XDG_CONFIG_HOME", temp_.filePath("config").toUtf8());
    }

    void theMenuHoldsTheItemsInOrder()
    {
        MainWindow w(test::withOwnOutputFolder());
        QMenu* menu = w.exportCommands().menu();
        QStringList names, captions;
        for (QAction* a : menu->actions()) {
            names << a->objectName();
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QCOMPARE(names, QStringList({"saveico", "copyico", "delico", "savebmp", "plbc", "fg1", "hdbc"}));
        QCOMPARE(captions,
                 QStringList({"保存图标", "复制图标", "删除图标", "存为位图", "批量保存", "-", "灰度保存"}));
        for (const char* sub : {"plbc", "hdbc"}) {
            QStringList items;
            for (QAction* a : menu->findChild<QMenu*>(sub)->actions())
                items << (a->isSeparator() ? QStringLiteral("-") : a->text());
            QCOMPARE(items, QStringList({"图标ICO(32*32)", "图标ICO(16*16)", "-", "位图BMP(32*32)",
                                         "位图BMP(16*16)"}));
        }
    }

    void rightClickStatesFollowTheSelection()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        ExportCommands& commands = w.exportCommands();
        QMenu* menu = commands.menu();
        const auto enabled = [menu](const char* name) {
            return menu->findChild<QAction*>(name)->isEnabled();
        };

        commands.lv_MouseDown(Qt::RightButton); // empty catalogue: no menu
        QVERIFY(!menu->isVisible());
        fill(w, 5);
        commands.lv_MouseDown(Qt::LeftButton);
        commands.lv_MouseDown(Qt::MiddleButton);
        QVERIFY(!menu->isVisible());

        selectRows(w, {1, 3});
        commands.lv_MouseDown(Qt::RightButton);
        QVERIFY(menu->isVisible());
        QVERIFY(!enabled("saveico") && !enabled("copyico") && !enabled("savebmp"));
        QVERIFY(enabled("delico") && enabled("plbc") && enabled("hdbc"));
        menu->hide();

        for (auto rows : {std::initializer_list<int>{2}, std::initializer_list<int>{}}) {
            selectRows(w, rows);
            commands.lv_MouseDown(Qt::RightButton);
            QVERIFY(enabled("saveico") && enabled("copyico") && enabled("savebmp"));
            menu->hide();
        }
    }

    void saveIconWritesTheSizeOfTheChosenFilterAndRemembersTheName()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 3);
        selectRows(w, {1});
        w.catalogueView().selectionModel()->setCurrentIndex(
            w.catalogueView().iconView()->model()->index(1, 0), QItemSelectionModel::NoUpdate);
        const QString large = temp_.filePath("large.icon"), small = temp_.filePath("small.ico");
        answerSaveDialog(w.exportCommands().saveDialog(), large,
                         QStringLiteral("图标文件ICO（32*32） (*.ico)"));
        w.exportCommands().saveico_Click();
        RgbaImage image = icoImage(large); // an ICO whatever the extension
        QCOMPARE(image.width(), 32);
        QVERIFY(image.at(31, 0) == kColours[1]);
        QCOMPARE(image.at(0, 0).a, 0); // its own transparency

        QStringList offered;
        answerSaveDialog(w.exportCommands().saveDialog(), small,
                         QStringLiteral("图标文件ICO（16*16） (*.ico)"), &offered);
        w.exportCommands().saveico_Click();
        QVERIFY(
            offered.value(0).startsWith(temp_.filePath("large"))); // the name chosen last is offered again
        QCOMPARE(icoImage(small).width(), 16);

        const QString bitmap = temp_.filePath("pic.bmp");
        answerSaveDialog(w.exportCommands().saveDialog(), bitmap,
                         QStringLiteral("位图文件BMP（16*16） (*.bmp)"), &offered);
        w.exportCommands().savebmp_Click();
        QVERIFY(offered.value(0).startsWith(temp_.filePath("small")));
        QImage bmp(bitmap);
        QCOMPARE(bmp.size(), QSize(16, 16));
        QCOMPARE(bmp.pixelColor(0, 0), QColor(192, 192, 192)); // transparent parts on the button face
        QCOMPARE(bmp.pixelColor(15, 0), QColor(0, 200, 0));
    }

    void emptyCatalogueSaysSoForSaveAndCopy()
    {
        MainWindow w(test::withOwnOutputFolder());
        Message message;
        catchMessage(message);
        w.exportCommands().saveico_Click();
        QCOMPARE(message.title, QStringLiteral("保存："));
        QCOMPARE(message.text, QStringLiteral("没有可保存的图标文件！"));
        catchMessage(message);
        w.exportCommands().copyico_Click();
        QCOMPARE(message.title, QStringLiteral("复制："));
        QCOMPARE(message.text, QStringLiteral("没有可复制的图标对象！"));
    }

    void copyPutsTheLargeImageOnTheClipboardInEveryView()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 2);
        w.Option1_Click(1); // small icons shown
        selectRows(w, {1});
        w.exportCommands().copyico_Click();
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), QSize(32, 32));
        QCOMPARE(copied.pixelColor(31, 31), QColor(0, 200, 0));
    }

    void deletingRowsKeepsTheImagesAndTheOtherRowsOwnIcons()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 5);
        selectRows(w, {1, 3});
        w.exportCommands().delico_Click();
        const auto& rows = w.catalogue().rows();
        QCOMPARE(rows.size(), std::size_t{3});
        QCOMPARE(rows[0].icon, std::size_t{0});
        QCOMPARE(rows[1].icon, std::size_t{2});
        QCOMPARE(rows[2].icon, std::size_t{4});
        QCOMPARE(w.catalogue().imageCount(), std::size_t{5});
        QCOMPARE(w.catalogueView().iconView()->model()->index(1, 0).data().toString(),
                 QStringLiteral("Icon 3"));
    }

    void colourBatchesWriteNumberedFilesAndReplaceEarlierOnes()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 3);
        runBatch(w, ExportCommands::Batch::saveall, "a b");
        for (int n = 1; n <= 3; ++n)
            QCOMPARE(icoImage(iconsFolder(w) + QString("a b_Icon%1.ico").arg(n)).width(), 32);
        QVERIFY(icoImage(iconsFolder(w) + "a b_Icon3.ico").at(31, 31) == kColours[2]);
        runBatch(w, ExportCommands::Batch::tp16, "a b");
        QCOMPARE(icoImage(iconsFolder(w) + "a b_Icon2.ico").width(), 16);

        runBatch(w, ExportCommands::Batch::savebmpall, "x");
        QCOMPARE(QImage(bitmapsFolder(w) + "x_bmp3.bmp").size(), QSize(32, 32));
        QCOMPARE(QImage(bitmapsFolder(w) + "x_bmp3.bmp").pixelColor(0, 0), QColor(192, 192, 192));
        runBatch(w, ExportCommands::Batch::wt16, "x");
        QCOMPARE(QImage(bitmapsFolder(w) + "x_bmp1.bmp").size(), QSize(16, 16));
    }

    void afterDeletingARowTheNumbersCloseUp()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 5);
        selectRows(w, {1});
        w.exportCommands().delico_Click();
        QFile::remove(iconsFolder(w) + "gap_Icon5.ico");
        runBatch(w, ExportCommands::Batch::saveall, "gap");
        QVERIFY(QFileInfo::exists(iconsFolder(w) + "gap_Icon4.ico"));
        QVERIFY(!QFileInfo::exists(iconsFolder(w) + "gap_Icon5.ico"));
        QVERIFY(icoImage(iconsFolder(w) + "gap_Icon2.ico").at(31, 31) == kColours[2]);
    }

    void grayBatchesKeepTransparencyAndShowTheirStatus()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 3);
        runBatch(w, ExportCommands::Batch::hdico1, "A");
        const RgbaImage gray = icoImage(iconsFolder(w) + "A_Icon1.ico");
        QCOMPARE(gray.width(), 32);
        QVERIFY(gray.at(31, 31) == (Rgba{59, 59, 59, 255})); // cltogry(200, 0, 0)
        QCOMPARE(gray.at(0, 0).a, 0);
        QCOMPARE(w.statusText(), QStringLiteral("灰度图标保存完毕！已保存 3 个文件。") + savedIn(w, "icons"));

        runBatch(w, ExportCommands::Batch::hdbmp2, "A");
        QImage bmp(bitmapsFolder(w) + "A_bmp3.bmp");
        QCOMPARE(bmp.size(), QSize(16, 16));
        QCOMPARE(bmp.pixelColor(0, 0), QColor(192, 192, 192));
        QCOMPARE(w.statusText(), QStringLiteral("灰度位图保存完成！已保存 3 个文件。") + savedIn(w, "bmps"));
    }

    void cancelledOrEmptyPrefixShowsTheMessageWithEachCommandsTitle_data()
    {
        QTest::addColumn<int>("batch");
        QTest::addColumn<QString>("promptTitle");
        QTest::addColumn<QString>("messageTitle");
        using B = ExportCommands::Batch;
        QTest::newRow("saveall") << int(B::saveall) << "全部保存(32*32)："
                                 << "全部保存：";
        QTest::newRow("tp16") << int(B::tp16) << "全部保存(16*16)："
                              << "全部保存(16*16)：";
        QTest::newRow("savebmpall") << int(B::savebmpall) << "批量保存(32*32)："
                                    << "批量保存：";
        QTest::newRow("wt16") << int(B::wt16) << "批量保存(16*16)："
                              << "批量保存：";
        QTest::newRow("hdico1") << int(B::hdico1) << "灰度处理ICO(32*32)："
                                << "全部保存：";
        QTest::newRow("hdico2") << int(B::hdico2) << "灰度处理ICO(16*16)："
                                << "全部保存：";
        QTest::newRow("hdbmp1") << int(B::hdbmp1) << "灰度处理BMP(32*32)："
                                << "批量保存：";
        QTest::newRow("hdbmp2") << int(B::hdbmp2) << "灰度处理BMP(16*16)："
                                << "批量保存：";
    }

    void cancelledOrEmptyPrefixShowsTheMessageWithEachCommandsTitle()
    {
        QFETCH(int, batch);
        QFETCH(QString, promptTitle);
        QFETCH(QString, messageTitle);
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 1);
        QString seenTitle;
        Message message;
        answerPrompt(QString(), &seenTitle, &message);
        w.exportCommands().runBatchCommand(static_cast<ExportCommands::Batch>(batch));
        QCOMPARE(seenTitle, promptTitle);
        QTRY_COMPARE(message.title, messageTitle);
        QCOMPARE(message.text, QStringLiteral("未指定标记字母！\r\n保存不成功！"));

        message = {};
        cancelPrompt(&message);
        w.exportCommands().runBatchCommand(static_cast<ExportCommands::Batch>(batch));
        QTRY_COMPARE(message.title, messageTitle);
    }

    void aPrefixThatWouldLeaveTheFolderIsRefused()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 1);
        for (const QString prefix : {"../x", "..", "."}) {
            Message message;
            answerPrompt(prefix, nullptr, &message);
            w.exportCommands().runBatchCommand(ExportCommands::Batch::saveall);
            QTRY_VERIFY(message.text.startsWith(QStringLiteral("标记字母不能含有")));
        }
    }

    void filesThatCannotBeWrittenAreCountedAndReported()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 3);
        QDir(iconsFolder(w)).mkpath("fail_Icon2.ico"); // a folder in the way of the second file
        Message message;
        QSignalSpy done(&w.exportCommands(), &ExportCommands::batchFinished);
        answerPrompt("fail", nullptr, &message);
        w.exportCommands().runBatchCommand(ExportCommands::Batch::hdico1);
        QVERIFY(done.wait(20000));
        QDir(iconsFolder(w)).rmdir("fail_Icon2.ico");
        QTRY_VERIFY(message.text.startsWith(QStringLiteral("已保存 2 个文件，1 个文件保存失败。")));
        QVERIFY(message.text.contains("fail_Icon2.ico"));
        QCOMPARE(w.statusText(),
                 QStringLiteral("保存结束：已保存 2 个文件，1 个文件保存失败。") + savedIn(w, "icons"));
    }

    // When the program's folder could not be written, the batch's last
    // status line and its message say where the files went.
    void batchWrittenOutsideTheProgramsFolderSaysWhere_data()
    {
        QTest::addColumn<int>("batch");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("inTheWay"); // a folder where a file should go
        QTest::addColumn<QString>("status");
        QTest::newRow("all written") << int(ExportCommands::Batch::saveall) << "icons" << QString()
                                     << "保存完毕：已保存 3 个文件。";
        QTest::newRow("one failed") << int(ExportCommands::Batch::hdbmp1) << "bmps"
                                    << "w_bmp2.bmp"
                                    << "保存结束：已保存 2 个文件，1 个文件保存失败。";
    }

    void batchWrittenOutsideTheProgramsFolderSaysWhere()
    {
        QFETCH(int, batch);
        QFETCH(QString, folder);
        QFETCH(QString, inTheWay);
        QFETCH(QString, status);
        QTemporaryDir data;
        MainWindow::Services services;
        services.outputFolder = QFile::encodeName(data.path()).toStdString();
        MainWindow w(services);
        fill(w, 3);
        const QString written = data.filePath(folder);
        if (!inTheWay.isEmpty())
            QDir(written).mkpath(inTheWay);
        test::MessageCloser closer;
        runBatch(w, static_cast<ExportCommands::Batch>(batch), "w");
        const QString where = QStringLiteral("（保存在 %1）").arg(written);
        QCOMPARE(w.statusText(), status + where);
        QCOMPARE(QDir(written).entryList(QDir::Files).size(), 3 - int(!inTheWay.isEmpty()));
        if (!inTheWay.isEmpty()) {
            QTRY_COMPARE(closer.count, 1);
            QVERIFY2(closer.text.startsWith("已保存 2 个文件，1 个文件保存失败。" + where + "\r\n"),
                     qPrintable(closer.text));
        }
    }

    void colourBatchEndsWithItsOwnCountsInTheStatusLine()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 3);
        w.setStatusText(QStringLiteral("an earlier batch's word"));
        runBatch(w, ExportCommands::Batch::saveall, "c");
        QCOMPARE(w.statusText(), QStringLiteral("保存完毕：已保存 3 个文件。") + savedIn(w, "icons"));
    }

    void grayBatchWhoseFolderWasRemovedEndsWithTheCountsNotItsProgress()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 3);
        // The closer lives as long as this test, so no timer outlives it.
        test::MessageCloser closer;
        QSignalSpy done(&w.exportCommands(), &ExportCommands::batchFinished);
        answerPrompt("g");
        QDir(iconsFolder(w)).removeRecursively();
        w.exportCommands().runBatchCommand(ExportCommands::Batch::hdico1);
        const bool finished = done.wait(20000);
        QDir().mkpath(iconsFolder(w)); // back at once: the later tests write there too
        QVERIFY(finished);
        QCOMPARE(w.statusText(),
                 QStringLiteral("保存结束：已保存 0 个文件，3 个文件保存失败。") + savedIn(w, "icons"));
        QCOMPARE(closer.count, 1);
        QVERIFY(closer.text.startsWith(QStringLiteral("已保存 0 个文件，3 个文件保存失败。")));
        // In the user's words, naming the file; the system's reason only after.
        QVERIFY(closer.text.contains(QStringLiteral("g_Icon1.ico”：文件夹不存在。")));
    }

    void aBatchChosenWhileAnotherRunsIsRefusedAloudAndNoFailureIsLost()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 3);
        QDir(iconsFolder(w)).mkpath("busy_Icon2.ico"); // the first batch fails once
        test::MessageCloser closer;
        QSignalSpy done(&w.exportCommands(), &ExportCommands::batchFinished);
        answerPrompt("busy");
        w.exportCommands().runBatchCommand(ExportCommands::Batch::saveall);
        // Its end is reported from the event loop, so it still counts as running here.
        QVERIFY(w.exportCommands().batchRunning());
        w.exportCommands().runBatchCommand(ExportCommands::Batch::tp16);
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 20000);
        QDir(iconsFolder(w)).rmdir("busy_Icon2.ico");
        QTRY_COMPARE(closer.count, 2);
        QVERIFY(closer.texts.contains(QStringLiteral("正在批量保存，请等当前的保存结束后再试！")));
        QCOMPARE(closer.texts.filter(QStringLiteral("已保存 2 个文件，1 个文件保存失败。")).size(), 1);
        QCOMPARE(w.statusText(),
                 QStringLiteral("保存结束：已保存 2 个文件，1 个文件保存失败。") + savedIn(w, "icons"));
    }

    void closingTheWindowDuringABatchEndsItAtTheNextFileWithWholeFiles()
    {
        MainWindow w(test::withOwnOutputFolder());
        fill(w, 1);
        // Many rows of one icon: a batch long enough to be running when the window closes.
        for (int i = 0; i < 20000; ++i)
            w.catalogue().add({"/t/many.exe", i}, solid(32, kColours[0]), solid(16, kColours[0]));
        w.catalogue().buildRows();
        w.catalogueChanged();
        QSignalSpy done(&w.exportCommands(), &ExportCommands::batchFinished);
        answerPrompt("closing");
        w.exportCommands().runBatchCommand(ExportCommands::Batch::hdbmp1);
        w.close();
        QVERIFY(done.wait(60000));
        QVERIFY(w.statusText().startsWith(QStringLiteral("保存已中止：")));
        int files = 0;
        for (const QFileInfo& file :
             QDir(bitmapsFolder(w)).entryInfoList({"closing_bmp*.bmp"}, QDir::Files)) {
            ++files;
            QCOMPARE(file.size(), qint64{54 + 32 * 32 * 3});
        }
        QVERIFY(files < 20001);
        QCOMPARE(QDir(bitmapsFolder(w)).entryList({".glimmerbox-*"}, QDir::Files | QDir::Hidden).size(), 0);
    }
};

QTEST_MAIN(ExportCommandsTest)
#include "export_commands_uitest.moc"
