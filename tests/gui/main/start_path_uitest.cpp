// glimmerbox PATH: what the argument puts into the main window's search
// fields, and that a search then finds the file's icons.

#include "gui/main/main_window.h"
#include "gui/main/start_path.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

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

        MainWindow window;
        const auto start = startPathFor(file);
        QVERIFY(start);
        applyStartPath(window, *start);
        QCOMPARE(window.findChild<QLineEdit*>("t2")->text(), folder.filePath("Program Files (x86)"));
        QCOMPARE(window.findChild<QLineEdit*>("t1")->text(), QStringLiteral("My App.exe"));

        // Ready to search: the start button finds that file's icons only.
        QSignalSpy finished(&window, &MainWindow::searchFinished);
        window.Command1_Click(0);
        QVERIFY(finished.wait(10000));
        QCOMPARE(window.catalogue().rows().size(), std::size_t{7});
    }

    void folderArgumentFillsTheSearchPathAndKeepsThePattern()
    {
        QTemporaryDir folder;
        MainWindow window;
        const auto start = startPathFor(QUrl::fromLocalFile(folder.path()).toString());
        QVERIFY(start);
        applyStartPath(window, *start);
        QCOMPARE(window.findChild<QLineEdit*>("t2")->text(), folder.path());
        QCOMPARE(window.findChild<QLineEdit*>("t1")->text(), QStringLiteral("*.exe"));
    }

    void missingPathChangesNothing() { QVERIFY(!startPathFor(QStringLiteral("/nonexistent/nothing.exe"))); }
};

QTEST_MAIN(StartPathTest)
#include "start_path_uitest.moc"
