// The icon details window offscreen: its list of stored images, the preview,
// and the three ways to keep the icon, each checked on the files it writes.

#include "gui/details/icon_details_window.h"

#include "gui/main/catalogue_view.h"
#include "gui/main/main_window.h"
#include "support/own_output_folder.h"

#include "core/icons/icon_source.h"
#include "fixtures/fixture_facts.h"
#include "support/ani_builder.h"
#include "support/dib_builder.h"
#include "support/message_closer.h"
#include "support/shell_link_builder.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_builder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <atomic>
#include <cerrno>
#include <cstring>

using namespace gb;
using details::IconDetailsWindow;

namespace {

std::string fixture(const char* name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

// The one launcher entry written into DATA/applications.
// XDG_DATA_HOME pointed at a fresh folder for one test, and unset however
// the test ends (a failed check returns early).
class ScopedDataHome {
public:
    ScopedDataHome() { qputenv("XDG_DATA_HOME", dir_.path().toUtf8()); }
    ~ScopedDataHome() { qunsetenv("XDG_DATA_HOME"); }
    ScopedDataHome(const ScopedDataHome&) = delete;
    ScopedDataHome& operator=(const ScopedDataHome&) = delete;
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

QString onlyEntry(const ScopedDataHome& dataHome)
{
    const QDir applications(dataHome.filePath(QStringLiteral("applications")));
    const QStringList entries = applications.entryList({QStringLiteral("*.desktop")}, QDir::Files);
    return entries.size() == 1 ? applications.filePath(entries.front()) : QString();
}

// The window reads its file off the window thread; the tests look once it
// has shown what it found.
bool finishedReading(const IconDetailsWindow& window)
{
    return QTest::qWaitFor([&] { return !window.reading(); }, 10000);
}

// An arrow with a ring beside it whose coloured quarter turns one quarter a
// frame, hot spot at the arrow's tip (4, 4): the manual's animated cursor.
std::vector<std::byte> busyArrowFrame(int quarter)
{
    const auto inArrow = [](int x, int y) {
        x -= 4;
        y -= 4;
        return x >= 0 && y >= 0 && y < 20 && 3 * x <= 2 * y;
    };
    test::DibRecipe recipe;
    recipe.pixel = [&](int x, int y) -> std::uint32_t {
        if (inArrow(x, y)) {
            const bool edge =
                !inArrow(x - 1, y) || !inArrow(x + 1, y) || !inArrow(x, y - 1) || !inArrow(x, y + 1);
            return edge ? test::argb(255, 0, 0, 0) : test::argb(255, 255, 255, 255);
        }
        const int dx = x - 24, dy = y - 23, r2 = dx * dx + dy * dy;
        if (r2 < 12 || r2 > 42)
            return 0;
        const int at = dx >= 0 ? (dy < 0 ? 0 : 1) : (dy >= 0 ? 2 : 3);
        return at == quarter ? test::argb(255, 20, 110, 230) : test::argb(255, 200, 200, 200);
    };
    return test::curFile({{32, 32, 4, 4, test::buildDib(recipe)}});
}

} // namespace

class IconDetailsWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The manual's picture of an animated cursor's details, made on demand:
    // GB_SCREENSHOT_DIR=docs icon_details_window_uitest cursorDetailsScreenshot
    // writes cursor-details.png there.
    void cursorDetailsScreenshot()
    {
        const QString folder = qEnvironmentVariable("GB_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("set GB_SCREENSHOT_DIR to make the manual's screenshot");
        QTemporaryDir files;
        test::AniRecipe recipe;
        for (int quarter = 0; quarter < 4; ++quarter)
            recipe.frames.push_back(busyArrowFrame(quarter));
        recipe.defaultRate = 8;
        const auto bytes = test::buildAniFile(recipe);
        QFile file(files.filePath("busy.ani"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        file.close();
        IconDetailsWindow window(IconOrigin{QFile::encodeName(file.fileName()).toStdString(), 0});
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        QVERIFY(finishedReading(window));
        QVERIFY(QTest::qWaitFor([&] { return window.cursorStep() == 1; }, 5000));
        QVERIFY(window.grab().save(folder + QStringLiteral("/cursor-details.png")));
    }
    void aCursorFileShowsTheHotSpotOfTheChosenImage()
    {
        // arrow.cur: 32x32 with its hot spot at 1, 2, and 16x16 at 0, 1.
        IconDetailsWindow window(IconOrigin{fixture("cursors/arrow.cur"), 0});
        QVERIFY(finishedReading(window));
        QVERIFY(window.showsCursor());
        auto* images = window.findChild<QTreeWidget*>("images");
        auto* hotspot = window.findChild<QLabel*>("hotspot");
        auto* preview = window.findChild<QLabel*>("preview");
        images->setCurrentItem(images->topLevelItem(0));
        QVERIFY(!hotspot->isHidden());
        QCOMPARE(hotspot->text(), QStringLiteral("热点：1, 2"));
        // Enlarged eight times, the mark at the centre of the hot spot's pixel.
        QCOMPARE(preview->pixmap().width(), 256);
        QCOMPARE(preview->pixmap().toImage().pixelColor(1 * 8 + 4, 2 * 8 + 4), QColor(224, 27, 36));
        images->setCurrentItem(images->topLevelItem(1));
        QCOMPARE(hotspot->text(), QStringLiteral("热点：0, 1"));
        QCOMPARE(preview->pixmap().width(), 128);
        QVERIFY(!window.playing());
    }

    void anIconFileShowsNoHotSpot()
    {
        IconDetailsWindow window(IconOrigin{fixture("mixed_depths.ico"), 0});
        QVERIFY(finishedReading(window));
        QVERIFY(!window.showsCursor());
        QVERIFY(window.findChild<QLabel*>("hotspot")->isHidden());
    }

    void anAnimatedCursorPlaysAtItsRatesUntilTheWindowCloses()
    {
        // Red for 6 jiffies (100 ms), hot spot 3, 4; then blue for 60
        // (1 s), hot spot 10, 12; and round again.
        QTemporaryDir folder;
        test::AniRecipe recipe;
        recipe.frames = test::twoCursorFrames();
        recipe.rates = std::vector<std::uint32_t>{6, 60};
        const auto bytes = test::buildAniFile(recipe);
        QFile file(folder.filePath("spin.ani"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        file.close();

        QPointer<IconDetailsWindow> window =
            new IconDetailsWindow(IconOrigin{QFile::encodeName(file.fileName()).toStdString(), 0});
        window->show();
        QVERIFY(finishedReading(*window));
        QElapsedTimer shown;
        shown.start();
        auto* hotspot = window->findChild<QLabel*>("hotspot");
        auto* preview = window->findChild<QLabel*>("preview");
        const auto colour = [&] { return preview->pixmap().toImage().pixelColor(250, 250); };
        QCOMPARE(hotspot->text(), QStringLiteral("热点：3, 4"));
        QCOMPARE(colour(), QColor(255, 0, 0));
        QVERIFY(window->playing());
        QVERIFY(QTest::qWaitFor([&] { return window->cursorStep() == 1; }, 5000));
        // Not before its time (a timer may fire a little early, never a frame's worth).
        QVERIFY2(shown.elapsed() >= 80, qPrintable(QString::number(shown.elapsed())));
        QCOMPARE(hotspot->text(), QStringLiteral("热点：10, 12"));
        QCOMPARE(colour(), QColor(0, 0, 255));
        QVERIFY(QTest::qWaitFor([&] { return window->cursorStep() == 0; }, 5000));
        QCOMPARE(colour(), QColor(255, 0, 0));

        window->close();
        QVERIFY(window.isNull() || !window->playing());
        QTRY_VERIFY(window.isNull());
    }

    void listsEveryStoredImageWithSizeDepthAndFormat()
    {
        // icons32.exe's first group, APPLE: a 256 PNG, 32@32 and 16@32 DIBs.
        IconDetailsWindow window(IconOrigin{fixture("icons32.exe"), 0});
        QVERIFY(finishedReading(window));
        QVERIFY(window.loaded());
        auto* images = window.findChild<QTreeWidget*>("images");
        QCOMPARE(images->topLevelItemCount(), 3);
        QCOMPARE(images->topLevelItem(0)->text(0), QStringLiteral("256×256"));
        QCOMPARE(images->topLevelItem(0)->text(1), QStringLiteral("32 位"));
        QCOMPARE(images->topLevelItem(0)->text(2), QStringLiteral("PNG"));
        QCOMPARE(images->topLevelItem(2)->text(0), QStringLiteral("16×16"));
        QCOMPARE(images->topLevelItem(2)->text(2), QStringLiteral("DIB"));
        // The largest image is previewed at its own size.
        auto* preview = window.findChild<QLabel*>("preview");
        QCOMPARE(preview->pixmap().width(), 256);
        images->setCurrentItem(images->topLevelItem(2));
        QCOMPARE(preview->pixmap().width(), 16);
        // What the program says of itself, in its U.S. English table.
        QCOMPARE(window.findChild<QLabel*>("version")->text(),
                 QStringLiteral("文件说明：Fixture Catalogue\n产品名称：Icon Catalogue\n版本：1.2.3.4\n"
                                "公司：Glimmerbox Fixtures"));
    }

    void saveIcoKeepsTheOriginalGroup()
    {
        QTemporaryDir folder;
        test::MessageCloser closer;
        IconDetailsWindow window(IconOrigin{fixture("mixed_depths.ico"), 0});
        QVERIFY(finishedReading(window));
        const QString file = folder.filePath("kept.ico");
        QVERIFY(window.saveIcoTo(file));
        QCOMPARE(closer.count, 1);
        const auto saved = IconSource::open(QFile::encodeName(file).toStdString());
        QVERIFY(saved);
        QCOMPARE(saved->group(0)->entries.size(), std::size(gbfix::kMixedIco));
    }

    void savePngsWritesEveryImageEvenTwoOfOneSize()
    {
        QTemporaryDir folder;
        test::MessageCloser closer;
        // icons32.exe's fourth group ("3"): two 32@32 and two 16@8.
        IconDetailsWindow window(IconOrigin{fixture("icons32.exe"), 3});
        QVERIFY(finishedReading(window));
        window.findChild<QLineEdit*>("name")->setText("twins");
        QVERIFY(window.savePngsTo(folder.path()));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 4);
        QVERIFY(QFile::exists(folder.filePath("twins_1_32x32.png")));
        QVERIFY(QFile::exists(folder.filePath("twins_2_32x32.png")));
    }

    void savePngsSaysInWordsWhyAnImageCannotBeSaved()
    {
        // An image that cannot be decoded was listed by its file name alone;
        // the window now says why, in the user's words.
        QTemporaryDir folder;
        test::DibRecipe recipe;
        recipe.width = recipe.height = 16;
        recipe.pixel = [](int, int) { return 0xff204080u; };
        const auto good = test::buildDib(recipe);
        auto bad = std::vector<std::byte>(good.begin(), good.begin() + 40);
        bad[14] = std::byte{7}; // no such bit count
        std::vector<std::byte> ico;
        for (const int v : {0, 1, 2}) // reserved, an icon, two images
            test::put16(ico, static_cast<std::uint16_t>(v));
        std::uint32_t offset = 6 + 2 * 16;
        const std::vector<std::byte>* const images[] = {&good, &bad};
        for (const std::vector<std::byte>* image : images) {
            ico.insert(ico.end(), {std::byte{16}, std::byte{16}, std::byte{0}, std::byte{0}});
            test::put16(ico, 1);
            test::put16(ico, 32);
            test::put32(ico, static_cast<std::uint32_t>(image->size()));
            test::put32(ico, offset);
            offset += static_cast<std::uint32_t>(image->size());
        }
        ico.insert(ico.end(), good.begin(), good.end());
        ico.insert(ico.end(), bad.begin(), bad.end());
        QFile file(folder.filePath("half.ico"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(ico.data()), static_cast<qint64>(ico.size()));
        file.close();

        test::MessageCloser closer;
        IconDetailsWindow window(IconOrigin{QFile::encodeName(file.fileName()).toStdString(), 0});
        QVERIFY(finishedReading(window));
        window.findChild<QLineEdit*>("name")->setText("half");
        QVERIFY(!window.savePngsTo(folder.path()));
        QCOMPARE(closer.icon, QMessageBox::Critical);
        QCOMPARE(closer.text, QStringLiteral("无法保存：\n“%1”：无法解码此图像。")
                                  .arg(folder.filePath("half_2_unreadable.png")));
        QVERIFY(QFile::exists(folder.filePath("half_1_16x16.png")));
    }

    void installWritesIntoTheUsersHicolorTheme()
    {
        const ScopedDataHome dataHome;
        test::MessageCloser closer;
        IconDetailsWindow window(IconOrigin{fixture("icons32.exe"), 0});
        QVERIFY(finishedReading(window));
        window.findChild<QLineEdit*>("name")->setText("apple");
        QVERIFY(window.install());
        QCOMPARE(closer.icon, QMessageBox::Information);
        for (const char* size : {"16x16", "32x32", "256x256"})
            QVERIFY(QFile::exists(
                dataHome.filePath(QStringLiteral("icons/hicolor/%1/apps/apple.png").arg(size))));
    }

    void installRefusesAnEmptyNameOrOneWithASlash()
    {
        const ScopedDataHome dataHome;
        test::MessageCloser closer;
        IconDetailsWindow window(IconOrigin{fixture("icons32.exe"), 0});
        QVERIFY(finishedReading(window));
        auto* name = window.findChild<QLineEdit*>("name");
        for (const char* bad : {"", "../apple", "a/b", ".."}) {
            name->setText(bad);
            QVERIFY(!window.install());
        }
        QCOMPARE(closer.count, 4);
        QCOMPARE(closer.icon, QMessageBox::Critical);
        QVERIFY(QDir(dataHome.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void createLauncherWritesTheEntryAndItsIconsOrSaysWhyNot()
    {
        const ScopedDataHome dataHome;
        test::MessageCloser closer;
        IconDetailsWindow window(IconOrigin{fixture("icons32.exe"), 3});
        QVERIFY(finishedReading(window));
        QVERIFY(!window.createLauncherNamed(QStringLiteral(" ")));
        QCOMPARE(closer.text, QStringLiteral("无法创建启动器：\n启动器名称不能为空。"));
        QVERIFY(QDir(dataHome.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

        // The name chosen is the one the menu shows; the file keeps its own.
        QVERIFY(window.createLauncherNamed(QStringLiteral("Fixture / 目录")));
        const QString entry = onlyEntry(dataHome);
        QCOMPARE(closer.text, QStringLiteral("已创建启动器：\n") + entry);
        QVERIFY(QString::fromUtf8(test::readText(QFile::encodeName(entry).toStdString()))
                    .contains(QStringLiteral("\nName=Fixture / 目录\n")));
        // The icon the window shows (group 3: images of 32 and 16 only), not
        // the program's first (APPLE, with a 256 PNG).
        const QString icons = dataHome.filePath(QStringLiteral("icons/hicolor/"));
        const QString icon = QFileInfo(entry).completeBaseName() + ".png";
        QVERIFY(QFile::exists(icons + "32x32/apps/" + icon));
        QVERIFY(!QFile::exists(icons + "256x256/apps/" + icon));
    }

    // The launcher is planned with the query, off the window thread; the
    // name chosen is applied to that plan, with no planning again, and the
    // message says whether the entry is new, replaced or already so.
    void launcherIsPlannedOnceOffTheWindowThreadAndTakesTheChosenName()
    {
        const ScopedDataHome dataHome;
        test::MessageCloser closer;
        std::atomic<int> plans = 0;
        std::atomic<bool> onWindowThread = false;
        IconDetailsWindow window(
            IconOrigin{fixture("icons32.exe"), 0}, nullptr, [&](const LauncherRequest& request) {
                ++plans;
                onWindowThread = onWindowThread || QThread::currentThread() == qApp->thread();
                return planLauncher(request);
            });
        QVERIFY(finishedReading(window));
        QCOMPARE(plans.load(), 1);
        QVERIFY(!onWindowThread);
        QVERIFY(window.createLauncherNamed(QStringLiteral("chosen")));
        QVERIFY(closer.text.startsWith(QStringLiteral("已创建启动器：\n")));
        QVERIFY(window.createLauncherNamed(QStringLiteral("other")));
        const QString entry = onlyEntry(dataHome);
        QCOMPARE(closer.text, QStringLiteral("已更新启动器：\n") + entry);
        QVERIFY(window.createLauncherNamed(QStringLiteral("other")));
        QCOMPARE(closer.text, QStringLiteral("启动器已是最新，未作改动：\n") + entry);
        QCOMPARE(plans.load(), 1);
        QVERIFY(QString::fromUtf8(test::readText(QFile::encodeName(entry).toStdString()))
                    .contains(QStringLiteral("\nName=other\n")));
    }

    // An entry of the launcher's name that this program did not make (here
    // one written by hand) is replaced only when the user says so.
    void entryNotMadeHereIsReplacedOnlyWhenTheUserSaysSo()
    {
        const ScopedDataHome dataHome;
        test::MessageCloser closer;
        IconDetailsWindow window(IconOrigin{fixture("icons32.exe"), 0});
        QVERIFY(finishedReading(window));
        QVERIFY(window.createLauncherNamed(QStringLiteral("App")));
        const QString entry = onlyEntry(dataHome);
        const QByteArray handMade = "[Desktop Entry]\nType=Application\nName=Mine\nExec=true\n";
        const auto writeHandMade = [&] {
            QFile file(entry);
            return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   file.write(handMade) == handMade.size();
        };
        QVERIFY(writeHandMade());

        closer.answer = QMessageBox::No;
        QVERIFY(!window.createLauncherNamed(QStringLiteral("App")));
        QVERIFY2(closer.texts.size() >= 2 &&
                     closer.texts[closer.texts.size() - 2].endsWith(QStringLiteral("\n要替换它吗？")),
                 qPrintable(closer.texts.join(" | ")));
        QCOMPARE(QByteArray::fromStdString(test::readText(QFile::encodeName(entry).toStdString())), handMade);

        closer.answer = QMessageBox::Yes;
        QVERIFY(window.createLauncherNamed(QStringLiteral("App")));
        QVERIFY(QString::fromUtf8(test::readText(QFile::encodeName(entry).toStdString()))
                    .contains(QStringLiteral("\nX-Glimmerbox-Source=")));
    }

    // What the launcher took in place of what the shortcut asked for is
    // told with the entry, in the window's language.
    void createdMessageTellsTheLaunchersNotes()
    {
        const ScopedDataHome dataHome;
        test::MessageCloser closer;
        const test::TempFolder folder;
        const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
        test::ShortcutRecipe recipe;
        recipe.localBasePath = "C:\\Program Files\\Fixture\\App.exe";
        recipe.iconLocation = "C:\\Program Files\\Fixture\\Gone.ico";
        const std::string lnk =
            folder.write("prefix/drive_c/users/Public/Ship.lnk", test::buildShortcut(recipe));
        IconOrigin shortcut{lnk, 0};
        shortcut.showIcon(ShownIcon{prefix + "/drive_c/Program Files/Fixture/App.exe", 0});
        IconDetailsWindow window(shortcut);
        QVERIFY(finishedReading(window));
        QVERIFY(window.createLauncherNamed(QStringLiteral("Ship")));
        const QStringList lines = closer.text.split('\n');
        QVERIFY2(lines.size() >= 3, qPrintable(closer.text));
        QCOMPARE(lines[0], QStringLiteral("已创建启动器："));
        QVERIFY2(closer.text.contains(QStringLiteral("”：快捷方式的图标文件不存在。")),
                 qPrintable(closer.text));
        QVERIFY2(closer.text.contains(QStringLiteral("”：改为显示此程序的图标。")), qPrintable(closer.text));
    }

    // "创建启动器" plans the launcher of the icon whose details are open: the
    // program's icon at the row's position, or for a shortcut's row the
    // shortcut itself.
    void launcherIsPlannedForTheIconShownOrTheShortcut()
    {
        IconOrigin shortcut{"/nowhere/Ship.lnk", 0};
        shortcut.showIcon(ShownIcon{fixture("icons32.exe"), 5});
        struct Case {
            IconOrigin origin;
            std::string path;
            std::optional<int> iconPosition;
        };
        const Case cases[] = {{IconOrigin{fixture("icons32.exe"), 3}, fixture("icons32.exe"), 3},
                              {shortcut, "/nowhere/Ship.lnk", std::nullopt}};
        for (const auto& [origin, path, iconPosition] : cases) {
            std::optional<LauncherRequest> asked;
            IconDetailsWindow window(origin, nullptr, [&](const LauncherRequest& request) {
                asked = request;
                return std::expected<LauncherPlan, LauncherError>(std::unexpected(LauncherError{}));
            });
            QVERIFY(finishedReading(window));
            QVERIFY(window.loaded());
            QVERIFY(asked);
            QCOMPARE(asked->path, path);
            QVERIFY(asked->iconPosition == iconPosition);
        }
    }

    void doubleClickOnACatalogueRowOpensItsIconsDetails()
    {
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(GB_FIXTURE_DIR "/icons32.exe"), folder.filePath("b.exe")));
        MainWindow window(test::withOwnOutputFolder());
        window.findChild<QLineEdit*>("t2")->setText(folder.path());
        QSignalSpy finished(&window, &MainWindow::searchFinished);
        window.Command1_Click(0);
        QVERIFY(finished.wait(10000));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Row 2 is the file's second icon, ZEBRA: 16@4, 32@8, 48@24.
        QListView* icons = window.catalogueView().iconView();
        const QRect row = icons->visualRect(icons->model()->index(1, 0));
        // A double-click is a press, a release, then the double-click event.
        QTest::mouseClick(icons->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(icons->viewport(), Qt::LeftButton, {}, row.center());
        IconDetailsWindow* details = window.findChild<IconDetailsWindow*>();
        QVERIFY(details != nullptr);
        QVERIFY(finishedReading(*details));
        QVERIFY(details->isVisible());
        QCOMPARE(details->findChild<QTreeWidget*>("images")->topLevelItemCount(), 3);
        QCOMPARE(details->findChild<QLineEdit*>("name")->text(), QStringLiteral("b-2"));
        details->close();
    }

    void vanishedFileShowsNothingAndOffersNoSave()
    {
        IconDetailsWindow window(IconOrigin{"/nonexistent/gone.exe", 0});
        QVERIFY(finishedReading(window));
        QVERIFY(!window.loaded());
        QCOMPARE(window.findChild<QTreeWidget*>("images")->topLevelItemCount(), 0);
        QVERIFY(!window.findChild<QPushButton*>("install")->isEnabled());
    }

    // The window says why it lists nothing: the reason in words, the
    // system's own after it.
    void unreadableFileSaysWhyInWordsWithTheSystemsReason_data()
    {
        QTest::addColumn<QString>("file"); // below a folder holding icons32.exe and a folder folder.exe
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("detail");
        const auto system = [](int error) { return QString::fromLocal8Bit(std::strerror(error)); };
        QTest::newRow("gone") << "gone.exe" << 0 << "文件不存在" << system(ENOENT);
        QTest::newRow("below a file") << "icons32.exe/x.exe" << 0 << "文件不存在" << system(ENOTDIR);
        QTest::newRow("a folder now") << "folder.exe" << 0 << "不是普通文件"
                                      << "not a regular file";
        QTest::newRow("icon no longer there") << "icons32.exe" << 99 << "文件中已没有这个图标"
                                              << "index out of range";
    }

    void unreadableFileSaysWhyInWordsWithTheSystemsReason()
    {
        QFETCH(QString, file);
        QFETCH(int, index);
        QFETCH(QString, reason);
        QFETCH(QString, detail);
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(GB_FIXTURE_DIR "/icons32.exe"), folder.filePath("icons32.exe")));
        QVERIFY(QDir(folder.path()).mkdir("folder.exe"));

        IconDetailsWindow window(IconOrigin{QFile::encodeName(folder.filePath(file)).toStdString(), index});
        QVERIFY(finishedReading(window));
        QVERIFY(!window.loaded());
        auto* problem = window.findChild<QLabel*>("problem");
        QVERIFY(problem->isVisibleTo(&window));
        const QString text = problem->text();
        QVERIFY2(text.startsWith(QStringLiteral("无法读取此图标的文件：\n“") + folder.filePath(file) + "”：" +
                                 reason + "。"),
                 qPrintable(text));
        QVERIFY2(text.contains("（") && text.contains(detail), qPrintable(text));
    }

    // A shortcut's row is read from the file its icon is drawn from: when
    // that file is gone, the window names it, not the shortcut.
    void shortcutRowWhoseIconFileIsGoneNamesThatFile()
    {
        QTemporaryDir folder;
        IconOrigin shortcut{QFile::encodeName(folder.filePath("Ship.lnk")).toStdString(), 0};
        shortcut.showIcon(ShownIcon{QFile::encodeName(folder.filePath("ship.exe")).toStdString(), 2});
        IconDetailsWindow window(shortcut);
        QVERIFY(finishedReading(window));
        QVERIFY(!window.loaded());
        const QString text = window.findChild<QLabel*>("problem")->text();
        QVERIFY2(text.startsWith(QStringLiteral("无法读取此图标的文件：\n“") + folder.filePath("ship.exe") +
                                 "”：文件不存在。"),
                 qPrintable(text));
    }

    // A member of a container says why with its own kind: a password is
    // no unsupported icon format, a damaged archive is no truncated file.
    void memberThatCannotBeReadSaysWhyWithItsKind_data()
    {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("detail");
        QTest::newRow("encrypted") << "encrypted.zip"
                                   << "SECRET.EXE"
                                   << "文件已加密"
                                   << "encrypted, skipped";
        QTest::newRow("damaged") << "damaged.tar.gz"
                                 << "SETUP/APP.EXE"
                                 << "文件已损坏"
                                 << "damaged: ";
        QTest::newRow("gone") << "setup.zip"
                              << "SETUP/GONE.EXE"
                              << "文件不存在"
                              << "no such member";
    }

    void memberThatCannotBeReadSaysWhyWithItsKind()
    {
        QFETCH(QString, container);
        QFETCH(QString, member);
        QFETCH(QString, reason);
        QFETCH(QString, detail);
        const std::string path = GB_FIXTURE_DIR "/containers/" + container.toStdString();
        IconDetailsWindow window(IconOrigin{path, 0, {member.toStdString()}});
        QVERIFY(finishedReading(window));
        QVERIFY(!window.loaded());
        const QString text = window.findChild<QLabel*>("problem")->text();
        QVERIFY2(text.contains("//" + member + "”：" + reason + "。"), qPrintable(text));
        QVERIFY2(text.contains("（" + detail), qPrintable(text));
    }

    void readableFileShowsNoProblem()
    {
        IconDetailsWindow window(IconOrigin{fixture("icons32.exe"), 0});
        QVERIFY(finishedReading(window));
        QVERIFY(!window.findChild<QLabel*>("problem")->isVisibleTo(&window));
    }

    // A save that fails says why in words, and the system's reason after them.
    void failedSaveSaysWhyInWordsWithTheSystemsReason()
    {
        QTemporaryDir folder;
        QFile blocker(folder.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where a folder should be
        blocker.close();
        test::MessageCloser closer;
        IconDetailsWindow window(IconOrigin{fixture("icons32.exe"), 0});
        QVERIFY(finishedReading(window));
        const QString file = folder.filePath("blocker/kept.ico");
        QVERIFY(!window.saveIcoTo(file));
        QCOMPARE(closer.icon, QMessageBox::Critical);
        QVERIFY2(closer.text.contains("“" + file + "”：文件夹不存在。"), qPrintable(closer.text));
        QVERIFY2(closer.text.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))),
                 qPrintable(closer.text));

        // Installing into a theme whose folder is a file fails the same way.
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder.filePath("blocker")));
        QVERIFY(!window.install());
        qunsetenv("XDG_DATA_HOME");
        QVERIFY2(closer.text.contains("文件夹不存在。") || closer.text.contains("无法写入。"),
                 qPrintable(closer.text));
        QVERIFY2(closer.text.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))),
                 qPrintable(closer.text));
    }
};

QTEST_MAIN(IconDetailsWindowTest)
#include "icon_details_window_uitest.moc"
