// The main window with no output folder given: batches go to the folder
// beside the program, and their last words need not say where. The other
// window tests give the window a folder of their own; this one shares the
// build's program folder, so ctest lets it run only when no other test that
// writes there does.

#include "core/icons/icon_image.h"
#include "gui/export/export_commands.h"
#include "gui/main/main_window.h"
#include "support/message_closer.h"
#include "system/paths/app_paths.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace gb;

namespace {

RgbaImage solid(int side)
{
    RgbaImage image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.at(x, y) = Rgba{0, 120, 200, 255};
    return image;
}

// Answers the batch's prompt with `prefix` once it shows.
void answerPrompt(const QString& prefix)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, prefix] {
        if (auto* prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            prompt->setTextValue(prefix);
            prompt->accept();
        }
    });
    timer->start();
}

} // namespace

class ProgramFolderTest : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;

private slots:
    void initTestCase()
    {
        // Qt's settings in a folder of this run's own.
        qputenv("XDG_CONFIG_HOME", temp_.filePath("config").toUtf8());
        // The build's folder can be written, so the program's folder is the output folder.
        QVERIFY(programFolder().has_value());
    }

    void withoutAFolderGivenTheWindowMakesItsFoldersBesideTheProgram()
    {
        MainWindow w;
        QCOMPARE(w.outputFolder(), *programFolder());
        QVERIFY(QFileInfo(QString::fromStdString(*programFolder()) + "/icons").isDir());
        QVERIFY(QFileInfo(QString::fromStdString(*programFolder()) + "/bmps").isDir());
    }

    void aBatchBesideTheProgramEndsWithoutSayingWhere()
    {
        MainWindow w;
        for (int i = 0; i < 2; ++i)
            w.catalogue().add({"/t/app.exe", i}, solid(32), solid(16));
        w.catalogue().buildRows();
        w.catalogueChanged();
        const QDir icons(QString::fromStdString(*programFolder()) + "/icons");
        QSignalSpy done(&w.exportCommands(), &ExportCommands::batchFinished);
        answerPrompt("beside");
        w.exportCommands().runBatchCommand(ExportCommands::Batch::saveall);
        QVERIFY(done.wait(20000));
        const bool written = icons.exists("beside_Icon1.ico") && icons.exists("beside_Icon2.ico");
        QFile::remove(icons.filePath("beside_Icon1.ico"));
        QFile::remove(icons.filePath("beside_Icon2.ico"));
        QVERIFY(written);
        QCOMPARE(w.statusText(), QStringLiteral("保存完毕：已保存 2 个文件。"));
    }
};

QTEST_MAIN(ProgramFolderTest)
#include "program_folder_uitest.moc"
