// converfrm, driven as the user drives it: a converter that records the
// calls stands in for libconvert.so, message boxes and the file dialog are
// answered by timers inside their event loops. One test converts for real
// through the built libconvert.so.

#include "gui/convert/converter_window.h"
#include "libconvert/libconvert.h"
#include "support/message_closer.h"
#include "system/library/converter_library.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using gb::convert::CallFailure;
using gb::convert::CallResult;
using gb::convert::ConverterWindow;

namespace {

struct Call {
    std::string function;
    std::string src;
    std::string dst;
    std::optional<std::int32_t> rate;
};

class RecordingConverter : public gb::convert::Converter {
public:
    std::vector<Call> calls;
    CallResult answer; // what every call returns

    CallResult bmptojpg(const std::string& src, const std::string& dst, std::int32_t rate) override
    {
        calls.push_back({"bmptojpg", src, dst, rate});
        return answer;
    }
    CallResult jpgtobmp(const std::string& src, const std::string& dst) override
    {
        calls.push_back({"jpgtobmp", src, dst, std::nullopt});
        return answer;
    }
    CallResult jpgtojpg(const std::string& src, const std::string& dst, std::int32_t rate) override
    {
        calls.push_back({"jpgtojpg", src, dst, rate});
        return answer;
    }
};

using gb::test::MessageCloser;

// Runs `act` on the file dialog once it is shown modally.
void whenDialogShows(std::function<void(QFileDialog*)> act)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start(10);
}

template <typename T> T* child(QWidget& window, const char* name)
{
    auto* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("converfrm has no %s", name);
    return widget;
}

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// Holds every call until released, as a conversion of a large image would.
class HeldConverter : public gb::convert::Converter {
public:
    std::atomic<int> calls{0};
    std::atomic<bool> released{false};

    CallResult bmptojpg(const std::string&, const std::string&, std::int32_t) override { return hold(); }
    CallResult jpgtobmp(const std::string&, const std::string&) override { return hold(); }
    CallResult jpgtojpg(const std::string&, const std::string&, std::int32_t) override { return hold(); }

private:
    CallResult hold()
    {
        ++calls;
        while (!released)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return {};
    }
};

struct Window {
    RecordingConverter converter;
    ConverterWindow window{converter};

    QLineEdit* source() { return child<QLineEdit>(window, "Text2"); }
    QLineEdit* destination() { return child<QLineEdit>(window, "Text3"); }
    QLineEdit* rate() { return child<QLineEdit>(window, "Text1"); }
    QRadioButton* option(int i)
    {
        return child<QRadioButton>(window, qPrintable(QStringLiteral("Option1_%1").arg(i)));
    }
    QPushButton* run() { return child<QPushButton>(window, "Command1_0"); }

    // Fills the boxes as the user types and presses "运行".
    void convert(int direction, const QString& src, const QString& dst, const QString& rateText = {})
    {
        option(direction)->click();
        source()->setText(src);
        destination()->setText(dst);
        if (rate()->isEnabled())
            rate()->setText(rateText);
        runAndWait(window);
    }

    // Presses "运行" and, when a conversion started, waits for its end.
    static void runAndWait(ConverterWindow& window)
    {
        QSignalSpy done(&window, &ConverterWindow::conversionFinished);
        child<QPushButton>(window, "Command1_0")->click();
        if (window.converting())
            QVERIFY(done.wait(20000));
    }
};

} // namespace

class ConverterWindowTest : public QObject {
    Q_OBJECT

private slots:
    void windowShowsItsControlsWithTheirTexts()
    {
        Window w;
        QCOMPARE(w.window.objectName(), QStringLiteral("converfrm"));
        QCOMPARE(w.window.windowTitle(), u8("图形转换压缩工具"));
        QCOMPARE(child<QLabel>(w.window, "Label2")->text(), u8("指定源图："));
        QCOMPARE(child<QLabel>(w.window, "Label3")->text(), u8("保存路径："));
        QCOMPARE(child<QLabel>(w.window, "Label1")->text(), u8("压缩率（1-100）："));
        QCOMPARE(child<QPushButton>(w.window, "Command2")->text(), QStringLiteral(":"));
        QCOMPARE(child<QPushButton>(w.window, "Command3")->text(), QStringLiteral(":"));
        QCOMPARE(w.option(0)->text(), QStringLiteral("BMP=>JPEG"));
        QCOMPARE(w.option(1)->text(), QStringLiteral("JPEG=>BMP"));
        QCOMPARE(w.option(2)->text(), QStringLiteral("JPEG=>JPEG"));
        QCOMPARE(w.run()->text(), u8("运行"));
        QCOMPARE(child<QPushButton>(w.window, "Command1_1")->text(), u8("退出"));
        child<QGroupBox>(w.window, "Frame1");
        child<QGroupBox>(w.window, "Frame2");
        QVERIFY(w.source()->text().isEmpty());
        QVERIFY(w.destination()->text().isEmpty());
        QVERIFY(w.rate()->text().isEmpty());
        // "BMP=>JPEG" takes the focus first, and so is selected.
        QVERIFY(w.option(0)->isChecked());
        QVERIFY(w.rate()->isEnabled());
        QCOMPARE(w.window.focusWidget(), w.option(0));
    }

    void rateBoxIsEnabledForTheJpegOutputsOnly()
    {
        Window w;
        w.option(1)->click();
        QVERIFY(!w.rate()->isEnabled());
        w.option(2)->click();
        QVERIFY(w.rate()->isEnabled());
        w.option(1)->click();
        w.option(0)->click();
        QVERIFY(w.rate()->isEnabled());
    }

    void bmpToJpegGetsBothPathsAndTheRateThenSaysDone()
    {
        Window w;
        MessageCloser messages;
        w.convert(0, QStringLiteral("/a/pic.bmp"), QStringLiteral("/b/out"), QStringLiteral("75"));
        QCOMPARE(w.converter.calls.size(), 1u);
        const Call& call = w.converter.calls[0];
        QCOMPARE(call.function, std::string("bmptojpg"));
        QCOMPARE(call.src, std::string("/a/pic.bmp"));
        QCOMPARE(call.dst, std::string("/b/out.jpg"));
        QCOMPARE(call.rate, std::optional<std::int32_t>(75));
        QCOMPARE(messages.count, 1);
        QCOMPARE(messages.text, u8("转换完成！"));
        QCOMPARE(messages.title, u8("完成"));
        QCOMPARE(messages.icon, QMessageBox::NoIcon);
        QVERIFY(w.source()->text().isEmpty());
        QCOMPARE(w.destination()->text(), QStringLiteral("/b/out")); // kept for the next run
    }

    void extensionIsAppendedEvenAfterOne()
    {
        Window w;
        MessageCloser messages;
        w.convert(2, QStringLiteral("/a/in.jpg"), QStringLiteral("/b/out.jpg"), QStringLiteral("50"));
        w.convert(1, QStringLiteral("/a/in.jpg"), QStringLiteral("/b/out.jpg"));
        QCOMPARE(w.converter.calls.size(), 2u);
        QCOMPARE(w.converter.calls[0].function, std::string("jpgtojpg"));
        QCOMPARE(w.converter.calls[0].dst, std::string("/b/out.jpg.jpg"));
        QCOMPARE(w.converter.calls[1].function, std::string("jpgtobmp"));
        QCOMPARE(w.converter.calls[1].dst, std::string("/b/out.jpg.bmp"));
    }

    void rateTextIsReadAsItsLeadingNumberRoundedHalfToEven_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rate");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("80abc") << QStringLiteral("80abc") << 80;
        QTest::newRow("12.5") << QStringLiteral("12.5") << 12;
        QTest::newRow("13.5") << QStringLiteral("13.5") << 14;
        QTest::newRow("full-width digits") << u8("８０") << 0;
        QTest::newRow("beyond 32 bits") << QStringLiteral("99999999999") << std::numeric_limits<int>::max();
        QTest::newRow("far below") << QStringLiteral("-1e30") << std::numeric_limits<int>::min();
    }

    void rateTextIsReadAsItsLeadingNumberRoundedHalfToEven()
    {
        QFETCH(QString, text);
        QFETCH(int, rate);
        for (int direction : {0, 2}) {
            Window w;
            MessageCloser messages;
            w.convert(direction, QStringLiteral("/a/in"), QStringLiteral("/b/out"), text);
            QCOMPARE(w.converter.calls.size(), 1u);
            QCOMPARE(w.converter.calls[0].rate, std::optional<std::int32_t>(rate));
        }
    }

    void jpegToBmpPassesNoRate()
    {
        Window w;
        MessageCloser messages;
        w.rate()->setText(QStringLiteral("80"));
        w.convert(1, QStringLiteral("/a/in.jpg"), QStringLiteral("/b/out"));
        QCOMPARE(w.converter.calls.size(), 1u);
        QCOMPARE(w.converter.calls[0].function, std::string("jpgtobmp"));
        QVERIFY(!w.converter.calls[0].rate.has_value());
    }

    void destinationKeepsItsSpacesOnlyForBmpToJpeg()
    {
        Window w;
        MessageCloser messages;
        const QString spaced = QStringLiteral(" /b/out ");
        w.convert(0, QStringLiteral("  /a/in.bmp "), spaced, QStringLiteral("75"));
        w.convert(1, QStringLiteral("  /a/in.jpg "), spaced);
        w.convert(2, QStringLiteral("  /a/in.jpg "), spaced, QStringLiteral("75"));
        QCOMPARE(w.converter.calls.size(), 3u);
        QCOMPARE(w.converter.calls[0].dst, std::string(" /b/out .jpg"));
        QCOMPARE(w.converter.calls[1].dst, std::string("/b/out.bmp"));
        QCOMPARE(w.converter.calls[2].dst, std::string("/b/out.jpg"));
        // The source is trimmed in every direction; spaces only, not tabs.
        QCOMPARE(w.converter.calls[0].src, std::string("/a/in.bmp"));
        QCOMPARE(w.converter.calls[1].src, std::string("/a/in.jpg"));
        w.convert(0, QStringLiteral("\t/a/in.bmp "), QStringLiteral("/b/out"), QStringLiteral("75"));
        QCOMPARE(w.converter.calls[3].src, std::string("\t/a/in.bmp"));
    }

    void emptyPathBoxesStopTheRunWithAMessage()
    {
        for (auto [src, dst] :
             {std::pair{QString(), QStringLiteral("/b/out")},
              std::pair{QStringLiteral("/a/in.bmp"), QString()}, std::pair{QString(), QString()}}) {
            Window w;
            MessageCloser messages;
            w.convert(0, src, dst, QStringLiteral("75"));
            QVERIFY(w.converter.calls.empty());
            QCOMPARE(messages.count, 1);
            QCOMPARE(messages.title, u8("错误："));
            QCOMPARE(messages.text, u8("未指定源图或保存路径！"));
            QCOMPARE(messages.icon, QMessageBox::Information);
        }
    }

    void pathBoxOfSpacesOnlyPassesTheEmptyCheck()
    {
        Window w;
        MessageCloser messages;
        w.convert(0, QStringLiteral("   "), QStringLiteral("/b/out"), QStringLiteral("75"));
        QCOMPARE(w.converter.calls.size(), 1u);
        QCOMPARE(w.converter.calls[0].src, std::string());
    }

    void noDirectionSelectedCallsNothingAndSaysSo()
    {
        Window w;
        MessageCloser messages;
        auto* options = child<QButtonGroup>(w.window, "Option1");
        options->setExclusive(false);
        w.option(0)->setChecked(false);
        options->setExclusive(true);
        QCOMPARE(options->checkedId(), -1);
        w.source()->setText(QStringLiteral("/a/in.bmp"));
        w.destination()->setText(QStringLiteral("/b/out"));
        w.run()->click();
        QVERIFY(w.converter.calls.empty());
        QCOMPARE(messages.count, 1);
        QCOMPARE(messages.text, u8("未选择转换方式！"));
        QCOMPARE(w.source()->text(), QStringLiteral("/a/in.bmp"));
    }

    void failureIsReportedWithItsReasonAndThePathsStay_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        const int status = static_cast<int>(CallFailure::Kind::Status);
        QTest::newRow("missing source")
            << status << int{CONVERT_SOURCE_MISSING} << u8("转换失败：找不到源图“/a/x.bmp”。");
        QTest::newRow("not a BMP") << status << int{CONVERT_NOT_BMP}
                                   << u8("转换失败：源图“/a/x.bmp”不是BMP图像。");
        QTest::newRow("damaged") << status << int{CONVERT_DAMAGED} << u8("转换失败：源图“/a/x.bmp”已损坏。");
        QTest::newRow("no folder") << status << int{CONVERT_DESTINATION_NO_FOLDER}
                                   << u8("转换失败：保存路径“/b/out.jpg”所在的文件夹不存在。");
        QTest::newRow("denied") << status << int{CONVERT_DESTINATION_DENIED}
                                << u8("转换失败：没有写入“/b/out.jpg”的权限。");
        QTest::newRow("unknown") << status << 99 << u8("转换失败：转换库出错（错误码99）。");
        QTest::newRow("no library") << static_cast<int>(CallFailure::Kind::LibraryMissing) << 0
                                    << u8("转换失败：找不到转换库libconvert.so。");
        QTest::newRow("no function") << static_cast<int>(CallFailure::Kind::FunctionMissing) << 0
                                     << u8("转换失败：转换库libconvert.so中没有函数bmptojpg。");
    }

    void failureIsReportedWithItsReasonAndThePathsStay()
    {
        QFETCH(int, kind);
        QFETCH(int, status);
        QFETCH(QString, text);
        Window w;
        w.converter.answer =
            std::unexpected(CallFailure{static_cast<CallFailure::Kind>(kind),
                                        static_cast<gb::convert::ConvertStatus>(status), "bmptojpg"});
        MessageCloser messages;
        w.convert(0, QStringLiteral("/a/x.bmp"), QStringLiteral("/b/out"), QStringLiteral("75"));
        QCOMPARE(messages.count, 1);
        QCOMPARE(messages.title, u8("错误："));
        QCOMPARE(messages.text, text);
        QCOMPARE(messages.icon, QMessageBox::Critical);
        QCOMPARE(w.source()->text(), QStringLiteral("/a/x.bmp"));
    }

    void browseButtonsShareOneDialogAndItsFileName()
    {
        QTemporaryDir folder;
        const QString picked = folder.filePath(QStringLiteral("pic.bmp"));
        // An open dialog takes only a file that is there.
        QFile pickedFile(picked);
        QVERIFY(pickedFile.open(QIODevice::WriteOnly));
        pickedFile.close();
        Window w;

        // The source: an open dialog with the two filters; OK.
        QString title;
        QStringList filterLabels;
        bool openMode = false;
        whenDialogShows([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            openMode = dialog->acceptMode() == QFileDialog::AcceptOpen;
            if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
                for (int i = 0; i < types->count(); ++i)
                    filterLabels << types->itemText(i);
            dialog->selectFile(picked);
            // The dialog's folder model fills in the background and may not
            // know the file yet; the name box is what Open reads.
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(picked);
            QMetaObject::invokeMethod(dialog, "accept"); // as the Open button does
        });
        child<QPushButton>(w.window, "Command2")->click();
        QCOMPARE(title, u8("指定用于转换的源图"));
        QVERIFY(openMode);
        QCOMPARE(filterLabels, (QStringList{u8("图像格式(*.bmp)"), u8("图像格式(*.jpg)")}));
        QCOMPARE(w.source()->text(), picked);

        // The destination: a save dialog with its one filter; Cancel still
        // fills the box, with the name the shared dialog holds.
        filterLabels.clear();
        bool saveMode = false;
        whenDialogShows([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            saveMode = dialog->acceptMode() == QFileDialog::AcceptSave;
            if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
                for (int i = 0; i < types->count(); ++i)
                    filterLabels << types->itemText(i);
            dialog->reject();
        });
        child<QPushButton>(w.window, "Command3")->click();
        QCOMPARE(title, u8("指定图像保存路径"));
        QVERIFY(saveMode);
        QCOMPARE(filterLabels, QStringList{u8("图像格式(*.bmp,*.jpg)")});
        QCOMPARE(w.destination()->text(), picked);
    }

    void cancelBeforeAnyChoiceEmptiesTheBox()
    {
        Window w;
        w.source()->setText(QStringLiteral("/typed/by/hand.bmp"));
        whenDialogShows([](QFileDialog* dialog) { dialog->reject(); });
        child<QPushButton>(w.window, "Command2")->click();
        QVERIFY(w.source()->text().isEmpty());
    }

    void exitClosesTheWindow()
    {
        Window w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        child<QPushButton>(w.window, "Command1_1")->click();
        QVERIFY(!w.window.isVisible());
    }

    void convertsForRealThroughTheBuiltLibrary()
    {
        // The test build puts libconvert.so beside the programs, in bin.
        const std::filesystem::path library =
            std::filesystem::path(GB_FIXTURE_DIR).parent_path() / "bin" / "libconvert.so";
        if (!std::filesystem::exists(library))
            QSKIP("libconvert.so is not built");
        gb::convert::LibraryConverter converter({library.string()});
        ConverterWindow window(converter);

        QTemporaryDir folder;
        QImage picture(64, 40, QImage::Format_RGB32);
        picture.fill(QColor(30, 120, 200));
        QVERIFY(picture.save(folder.filePath(QStringLiteral("in.bmp")), "BMP"));

        MessageCloser messages;
        child<QLineEdit>(window, "Text2")->setText(folder.filePath(QStringLiteral("in.bmp")));
        child<QLineEdit>(window, "Text3")->setText(folder.filePath(QStringLiteral("out")));
        child<QLineEdit>(window, "Text1")->setText(QStringLiteral("90"));
        Window::runAndWait(window);
        QCOMPARE(messages.text, u8("转换完成！"));
        const QImage jpeg(folder.filePath(QStringLiteral("out.jpg")));
        QCOMPARE(jpeg.size(), QSize(64, 40));
        const QColor centre = jpeg.pixelColor(32, 20);
        QVERIFY(std::abs(centre.red() - 30) <= 3 && std::abs(centre.green() - 120) <= 3 &&
                std::abs(centre.blue() - 200) <= 3);

        // A source that is no image: told, not done.
        child<QLineEdit>(window, "Text2")->setText(folder.filePath(QStringLiteral("out")));
        Window::runAndWait(window);
        QCOMPARE(messages.count, 2);
        QVERIFY(messages.text.startsWith(u8("转换失败：找不到源图")));

        // A JPEG cut short: refused as damaged, nothing written.
        QFile whole(folder.filePath(QStringLiteral("out.jpg")));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        QFile cut(folder.filePath(QStringLiteral("cut.jpg")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(bytes.left(bytes.size() * 2 / 3));
        cut.close();
        child<QRadioButton>(window, "Option1_1")->click();
        child<QLineEdit>(window, "Text2")->setText(cut.fileName());
        child<QLineEdit>(window, "Text3")->setText(folder.filePath(QStringLiteral("cut")));
        Window::runAndWait(window);
        QCOMPARE(messages.count, 3);
        QCOMPARE(messages.text, u8("转换失败：源图“%1”已损坏。").arg(cut.fileName()));
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("cut.bmp"))));
    }

    void conversionRunsOffTheWindowThreadOneAtATime()
    {
        HeldConverter converter;
        ConverterWindow window(converter);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MessageCloser messages;
        QSignalSpy done(&window, &ConverterWindow::conversionFinished);
        child<QLineEdit>(window, "Text2")->setText(QStringLiteral("/a/pic.bmp"));
        child<QLineEdit>(window, "Text3")->setText(QStringLiteral("/b/out"));
        child<QPushButton>(window, "Command1_0")->click();
        // The click has returned while the conversion still runs.
        QVERIFY(window.converting());
        QTRY_COMPARE(converter.calls.load(), 1);
        QVERIFY(!child<QPushButton>(window, "Command1_0")->isEnabled());
        QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        child<QPushButton>(window, "Command1_0")->click(); // a second press does nothing
        window.close();                                    // nor does closing, before the word
        QTest::qWait(50);
        QVERIFY(window.isVisible());
        QCOMPARE(converter.calls.load(), 1);
        converter.released = true;
        QVERIFY(done.wait(20000));
        QCOMPARE(messages.text, u8("转换完成！"));
        QVERIFY(child<QPushButton>(window, "Command1_0")->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        window.close();
        QVERIFY(!window.isVisible());
    }

    void jpegFilterShowsJpegFilesOfEitherExtensionAndCase()
    {
        QTemporaryDir folder;
        for (const char* name : {"a.jpg", "b.jpeg", "C.JPG", "D.JPEG", "e.bmp", "f.txt"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        Window w;
        QStringList shown;
        whenDialogShows([&](QFileDialog* dialog) {
            dialog->setDirectory(folder.path());
            dialog->selectNameFilter(dialog->nameFilters().value(1)); // "图像格式(*.jpg)"
            auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
            QTRY_COMPARE_WITH_TIMEOUT(view->model()->rowCount(view->rootIndex()), 4, 10000);
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                shown << view->model()->index(row, 0, view->rootIndex()).data().toString();
            dialog->reject();
        });
        child<QPushButton>(w.window, "Command2")->click();
        shown.sort();
        QCOMPARE(shown, (QStringList{"C.JPG", "D.JPEG", "a.jpg", "b.jpeg"}));
    }
};

QTEST_MAIN(ConverterWindowTest)
#include "converter_window_uitest.moc"
