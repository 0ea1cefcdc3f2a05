// glimmerbox PATH: what the argument puts into the main window's search
// fields, and that a search then finds the file's icons.

#include "gui/main/main_window.h"
#include "gui/main/start_path.h"
#include "support/own_output_folder.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <filesystem>

using namespace gb;

class StartPathTest : public QObject {
    Q_OBJECT

private slots:
    void fileArgumentFillsItsFolderAndItsName()
    {
        QTemporaryDir folder;
        QDir(folder.path()).mkpath("Program Files (x86)");
        const QString file = folder.filePath("Program Files (x86)/My App.exe");
        QVERIFY(QFile::copy(QStringLiteral(GB_FIXTURE_DIR "/icons32.exe"), file));
        QFile::copy(QStringLiteral(GB_FIXTURE_DIR "/depth8.ico"),
                    folder.filePath("Program Files (x86)/other.exe"));

        MainWindow window(test::withOwnOutputFolder());
        const auto start = startPathFor(QFile::encodeName(file));
        QVERIFY(start);
        window.setStartPath(*start);
        QCOMPARE(window.findChild<QLineEdit*>("t2")->text(), folder.filePath("Program Files (x86)"));
        QCOMPARE(window.findChild<QLineEdit*>("t1")->text(), QStringLiteral("My App.exe"));

        // Ready to search: the start button finds that file's icons only.
        QSignalSpy finished(&window, &MainWindow::searchFinished);
        window.Command1_Click(0);
        QVERIFY(finished.wait(10000));
        QCOMPARE(window.catalogue().rows().size(), std::size_t{7});
    }

    // A name the pattern field cannot take as it is still gets a pattern
    // that finds that file alone, in its own folder, also through a URL.
    void fileArgumentSearchesThatFileAloneWhateverItsName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("url");
        QTest::newRow("semicolon") << QByteArray("a;b.exe") << "a?b.exe" << false;
        QTest::newRow("semicolon, URL") << QByteArray("a;b.exe") << "a?b.exe" << true;
        QTest::newRow("leading space") << QByteArray(" b.exe") << "?b.exe" << false;
        QTest::newRow("Latin-1, not UTF-8") << QByteArray("caf\xe9.exe") << "caf?.exe" << false;
        QTest::newRow("Latin-1, URL") << QByteArray("caf\xe9.exe") << "caf?.exe" << true;
        QTest::newRow("cut-short UTF-8 after good UTF-8")
            << QByteArray("\xc3\xa9t\xc3.exe") << QString::fromUtf8("\xc3\xa9t?.exe") << false;
        QTest::newRow("stray bytes and a semicolon")
            << QByteArray("\xff\x80\x80;x.exe") << "??x.exe" << false;
    }

    void fileArgumentSearchesThatFileAloneWhateverItsName()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, pattern);
        QFETCH(bool, url);
        QTemporaryDir folder;
        const QByteArray folderBytes = QFile::encodeName(folder.path());
        namespace fs = std::filesystem;
        const auto copy = [&folderBytes](const QByteArray& as) {
            fs::copy_file(GB_FIXTURE_DIR "/depth8.ico", (folderBytes + '/' + as).toStdString());
        };
        copy(name);
        // QTemporaryDir cannot name a file that is not UTF-8: it goes first.
        const struct RemovedFirst {
            std::string file;
            ~RemovedFirst()
            {
                std::error_code ignored;
                fs::remove(file, ignored);
            }
        } removedFirst{(folderBytes + '/' + name).toStdString()};
        // What the name would match if it were taken as it is: its halves
        // either side of ";", or the name with its spaces trimmed.
        for (const char* other : {"a.exe", "b.exe", "x.exe"})
            copy(other);

        const QByteArray path = folderBytes + '/' + name;
        const QByteArray argument = url ? QByteArray("file://") + path.toPercentEncoding("/") : path;
        const auto start = startPathFor(argument);
        QVERIFY(start);
        QCOMPARE(start->folder, folder.path());
        QCOMPARE(start->pattern, pattern);

        MainWindow window(test::withOwnOutputFolder());
        window.setStartPath(*start);
        QSignalSpy finished(&window, &MainWindow::searchFinished);
        window.Command1_Click(0);
        QVERIFY(finished.wait(10000));
        QCOMPARE(window.catalogue().rows().size(), std::size_t{1});
        QCOMPARE(window.catalogue().image(window.catalogue().rows()[0].icon).key(),
                 (path + "(0)").toStdString());
    }

    void folderArgumentFillsTheSearchPathAndKeepsThePattern()
    {
        QTemporaryDir folder;
        MainWindow window(test::withOwnOutputFolder());
        const auto start = startPathFor(QUrl::fromLocalFile(folder.path()).toEncoded());
        QVERIFY(start);
        window.setStartPath(*start);
        QCOMPARE(window.findChild<QLineEdit*>("t2")->text(), folder.path());
        QCOMPARE(window.findChild<QLineEdit*>("t1")->text(), QStringLiteral("*.exe"));
    }

    void missingPathChangesNothing() { QVERIFY(!startPathFor("/nonexistent/nothing.exe")); }
};

QTEST_MAIN(StartPathTest)
#include "start_path_uitest.moc"
