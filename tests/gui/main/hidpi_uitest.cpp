// The program on a screen of twice the ordinary density: a 1280x1024 screen
// at scale 2 (QT_SCALE_FACTOR=2 and the offscreen screen that
// screen-1280x1024.json describes, as CMake sets them), which leaves 640x512
// pixels to lay windows out in. Icons show their stored images for the
// device pixels they cover, files keep their sizes, and every window fits.

#include "core/icons/icon_image.h"
#include "core/icons/icon_source.h"
#include "gui/capture/capture_window.h"
#include "gui/common/screen_fit.h"
#include "gui/common/url_opener.h"
#include "gui/convert/converter_window.h"
#include "gui/details/icon_details_window.h"
#include "gui/dialogs/about_box.h"
#include "gui/dialogs/dir_chooser.h"
#include "gui/main/catalogue_view.h"
#include "gui/main/main_window_driver.h"
#include "support/ico_images.h"
#include "support/own_output_folder.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QListView>
#include <QScreen>
#include <QTemporaryDir>

#include <fstream>
#include <memory>

using namespace gb;

namespace {

constexpr Rgba kRed{220, 0, 0, 255}, kBlue{0, 0, 220, 255};

class NoOpener : public ui::UrlOpener {
public:
    void open(const QUrl&) override {}
};

void writeFile(const QString& path, const std::vector<std::byte>& bytes)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The one image of an ICO file, decoded.
RgbaImage icoImage(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto group = IconSource::fromBytes(ByteReader(std::as_bytes(std::span(bytes)))).group(0);
    if (!group || group->entries.size() != 1 || !group->entries[0].image)
        return {};
    auto image = decodeIconImage(*group->entries[0].image);
    return image ? *image : RgbaImage{};
}

// Device pixels of the grabbed widget in exactly `colour`.
int pixelsOf(QWidget& widget, QColor colour)
{
    const QImage shot = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            count += shot.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

QPixmap decoration(MainWindow& w)
{
    const QAbstractItemModel* model = w.catalogueView().iconView()->model();
    return model->index(0, 0).data(Qt::DecorationRole).value<QPixmap>();
}

} // namespace

class HiDpiTest : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;
    QString iconFile_; // a 32x32 red and a 64x64 blue image

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", temp_.filePath("config").toUtf8());
        QDir(temp_.path()).mkpath("tree");
        iconFile_ = temp_.filePath("tree/two.exe");
        writeFile(iconFile_, test::icoOfImages({test::solidImage(32, kRed), test::solidImage(64, kBlue)}));
        const QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->devicePixelRatio(), 2.0);
        QCOMPARE(screen->availableGeometry(), QRect(0, 0, 640, 512));
    }

    // The screen and the scale are added to the environment of every window
    // test, not put in its place: the session stays an X11 one.
    void sessionStaysX11AsForEveryWindowTest()
    {
        QCOMPARE(qgetenv("XDG_SESSION_TYPE"), QByteArray("x11"));
        QVERIFY(qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
    }

    void viewsShowTheStoredImageForTheirDevicePixelsAndFilesKeepTheirSizes()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(test::searchTree(w, temp_.filePath("tree"), false));
        QCOMPARE(w.catalogue().rows().size(), 1u);

        // The large view: the stored 64x64 image, covering 32x32.
        QPixmap shown = decoration(w);
        QCOMPARE(shown.devicePixelRatio(), 2.0);
        QCOMPARE(shown.size(), QSize(64, 64));
        QCOMPARE(shown.toImage().pixelColor(40, 20), QColor(0, 0, 220));
        QListView* view = w.catalogueView().iconView();
        QTRY_COMPARE(pixelsOf(*view->viewport(), QColor(0, 0, 220)),
                     64 * 64); // once the view has laid it out
        QCOMPARE(pixelsOf(*view->viewport(), QColor(220, 0, 0)), 0);

        // The small view: the 32x32 drawing, covering 16x16.
        w.Option1_Click(1);
        shown = decoration(w);
        QCOMPARE(shown.devicePixelRatio(), 2.0);
        QCOMPARE(shown.size(), QSize(32, 32));
        QCOMPARE(shown.toImage().pixelColor(20, 10), QColor(220, 0, 0));

        // Saved as an ICO of 32x32: the 32x32 drawing, as on any screen.
        w.catalogueView().selectionModel()->setCurrentIndex(view->model()->index(0, 0),
                                                            QItemSelectionModel::ClearAndSelect);
        const QString saved = temp_.filePath("saved.ico");
        QFileDialog* dialog = w.exportCommands().saveDialog();
        QTimer::singleShot(0, [=] {
            QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 20000);
            dialog->selectNameFilter(QStringLiteral("图标文件ICO（32*32） (*.ico)"));
            dialog->selectFile(saved);
            QTest::qWait(100); // the dialog's folder model settles, then the name is set for good
            dialog->selectFile(saved);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        w.exportCommands().saveico_Click();
        const RgbaImage image = icoImage(saved);
        QCOMPARE(image.width(), 32);
        QCOMPARE(image.height(), 32);
        QVERIFY(image.at(16, 16) == kRed);
    }

    void everyWindowFitsTheScreen_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button"); // the one that closes it
        QTest::newRow("details") << "details"
                                 << "close";
        QTest::newRow("main") << "main"
                              << "Command1_5";
        QTest::newRow("converter") << "converter"
                                   << "Command1_1";
        QTest::newRow("folder chooser") << "chooser"
                                        << "cmdCancel";
        QTest::newRow("about") << "about"
                               << "Label5";
        QTest::newRow("grabber") << "grabber"
                                 << "Command3_0";
    }

    void everyWindowFitsTheScreen()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        NoOpener opener;
        std::unique_ptr<QWidget> shown;
        if (window == "details") {
            auto* details = new details::IconDetailsWindow(IconOrigin{iconFile_.toStdString(), 0});
            details->setAttribute(Qt::WA_DeleteOnClose, false);
            shown.reset(details);
        } else if (window == "main") {
            shown = std::make_unique<MainWindow>(test::withOwnOutputFolder());
        } else if (window == "converter") {
            shown = std::make_unique<convert::ConverterWindow>();
        } else if (window == "chooser") {
            shown = std::make_unique<dialogs::DirChooser>(nullptr);
        } else if (window == "about") {
            shown = std::make_unique<dialogs::AboutBox>(opener);
        } else {
            shown = std::make_unique<capture::CaptureWindow>(temp_.path().toStdString());
        }
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        const QRect available = shown->screen()->availableGeometry();
        QVERIFY2(available.contains(shown->frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2")
                                .arg(shown->frameGeometry().width())
                                .arg(shown->frameGeometry().height())));
        auto* close = shown->findChild<QWidget*>(button);
        QVERIFY(close != nullptr);
        QVERIFY(close->isVisible());
        QVERIFY(available.contains(QRect(close->mapToGlobal(QPoint(0, 0)), close->size())));
    }

    void fitWithin_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<bool>("keepRight");
        QTest::addColumn<QRect>("fitted");
        const QSize none(0, 0);
        QTest::newRow("fits") << QRect(10, 20, 300, 200) << none << false << QRect(10, 20, 300, 200);
        QTest::newRow("too wide shrinks")
            << QRect(-40, 66, 722, 412) << none << false << QRect(0, 66, 640, 412);
        QTest::newRow("too tall shrinks") << QRect(0, 0, 300, 600) << none << false << QRect(0, 0, 300, 512);
        QTest::newRow("off the right edge moves")
            << QRect(500, 100, 300, 200) << none << false << QRect(340, 100, 300, 200);
        QTest::newRow("off the bottom moves")
            << QRect(0, 400, 300, 200) << none << false << QRect(0, 312, 300, 200);
        QTest::newRow("shrinks no smaller than its least")
            << QRect(0, 0, 800, 300) << QSize(700, 100) << false << QRect(0, 0, 700, 300);
        QTest::newRow("fixed and too large keeps its right edge")
            << QRect(0, 0, 700, 600) << QSize(700, 600) << true << QRect(-60, 0, 700, 600);
    }

    void fitWithin()
    {
        QFETCH(QRect, frame);
        QFETCH(QSize, minimum);
        QFETCH(bool, keepRight);
        QFETCH(QRect, fitted);
        QCOMPARE(ui::fitWithin(frame, minimum, QRect(0, 0, 640, 512), keepRight), fitted);
        // A work area that leaves out a panel along the top.
        QCOMPARE(ui::fitWithin(frame.translated(0, 30), minimum, QRect(0, 30, 640, 512), keepRight),
                 fitted.translated(0, 30));
    }
};

QTEST_MAIN(HiDpiTest)
#include "hidpi_uitest.moc"
