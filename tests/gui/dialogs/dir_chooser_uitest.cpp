// dirfrm, driven as the user drives it: ShowDir runs modally while timers
// click, double-click, type and close inside its event loop.

#include "gui/dialogs/dir_chooser.h"
#include "gui/dialogs/folder_list.h"
#include "support/message_closer.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using gb::dialogs::DirChooser;
using gb::dialogs::FolderList;

namespace {

using gb::test::MessageCloser;

template <typename T> T* child(DirChooser& chooser, const char* name)
{
    auto* widget = chooser.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("dirfrm has no %s", name);
    return widget;
}

FolderList* dirMain(DirChooser& chooser)
{
    return child<FolderList>(chooser, "dirMain");
}

QListWidgetItem* entry(FolderList* list, const QString& name)
{
    // A subfolder may share its name with an ancestor: the last match is the
    // entry below the open folder.
    const auto found = list->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.last();
}

QStringList entryNames(FolderList* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void clickEntry(FolderList* list, const QString& name)
{
    QListWidgetItem* item = entry(list, name);
    QVERIFY2(item, qPrintable(name));
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void doubleClickEntry(FolderList* list, const QString& name)
{
    QListWidgetItem* item = entry(list, name);
    QVERIFY2(item, qPrintable(name));
    list->scrollToItem(item);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

} // namespace

class DirChooserTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void WindowHasItsTitleSizeAndControls();
    void ButtonCaptionsUseIdeographicSpaces();
    void TabGoesFromVolumesToFoldersToOkToCancel();
    void OkWithoutTouchingReturnsTheCurrentFolder();
    void CancelReturnsNothing();
    void SingleClickOnlyHighlights();
    void DoubleClickOpensTheFolderAndMakesItTheResult();
    void EnterOpensTheHighlightedFolder();
    void DoubleClickOnAnAncestorOpensIt();
    void CloseBoxReturnsTheFolderShown();
    void SecondShowingStartsAgainAtTheCurrentFolder();
    void ListShowsAncestorsThenSubfoldersInListOrder();
    void LinkToAFolderOpensUnderItsOwnName();
    void FolderNameThatIsNotUtf8KeepsItsBytes();
    void PickingAnotherVolumeOpensItsRoot();
    void UnlistableVolumeIsReportedOnceAndTheChooserStaysOnThePreviousVolume();
    void ReturningFromAnUnlistableVolumeReopensItsCurrentFolder();
    void NoButtonAnswersEnter();
    void EscClosesTheChooserAsCancelDoes();
    void OpensCentredOnItsOwner();

private:
    // Runs `steps` while ShowDir's modal loop runs and returns what ShowDir
    // returned. A step that fails leaves the chooser open; the guard closes
    // it so the test ends instead of hanging.
    QString showWhile(DirChooser& chooser, const std::function<void()>& steps);
    std::function<QStringList()> volumes() const
    {
        return [this] { return QStringList{"/", vol2_, missing_}; };
    }

    std::unique_ptr<QTemporaryDir> root_;
    QString saved_;
    QString work_;    // the current folder during each test
    QString vol2_;    // a second volume
    QString missing_; // a volume that cannot be listed
    bool stepsRan_ = false;
};

void DirChooserTest::init()
{
    root_ = std::make_unique<QTemporaryDir>();
    QVERIFY(root_->isValid());
    saved_ = QDir::currentPath();
    const QString base = QDir(root_->path()).canonicalPath();
    QDir dir(base);
    QVERIFY(dir.mkpath("work/Beta"));
    QVERIFY(dir.mkpath("work/alpha"));
    QVERIFY(dir.mkpath("work/Alpha"));
    QVERIFY(dir.mkpath("work/gamma/deep"));
    QVERIFY(dir.mkpath("vol2/inside"));
    QFile file(base + "/work/file.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QFile::link(base + "/work/gamma", base + "/work/link-to-gamma") ||
            QFileInfo(base + "/work/link-to-gamma").isSymLink());
    work_ = base + "/work";
    vol2_ = base + "/vol2";
    missing_ = base + "/missing";
    QVERIFY(QDir::setCurrent(work_));
    stepsRan_ = false;
}

void DirChooserTest::cleanup()
{
    QDir::setCurrent(saved_);
    root_.reset();
}

QString DirChooserTest::showWhile(DirChooser& chooser, const std::function<void()>& steps)
{
    QTimer::singleShot(0, &chooser, [&] {
        QVERIFY(chooser.isVisible());
        stepsRan_ = true;
        steps();
    });
    QTimer guard;
    connect(&guard, &QTimer::timeout, &chooser, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(10000);
    return chooser.ShowDir();
}

void DirChooserTest::WindowHasItsTitleSizeAndControls()
{
    DirChooser chooser(nullptr, volumes());
    QCOMPARE(chooser.objectName(), QString("dirfrm"));
    QCOMPARE(chooser.windowTitle(), QString::fromUtf8("路径选择："));
    QCOMPARE(chooser.minimumSize(), QSize(298, 275)); // 4470 × 4125 twips
    QCOMPARE(chooser.maximumSize(), QSize(298, 275));
    QVERIFY(!(chooser.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(chooser.windowFlags() & Qt::WindowMaximizeButtonHint));

    QCOMPARE(child<QLabel>(chooser, "Label1")->text(), QString::fromUtf8("选择搜索路径："));
    QCOMPARE(child<QLabel>(chooser, "lblDir")->text(), QString("Selected Directory  :"));
    QCOMPARE(child<QGroupBox>(chooser, "Frame1")->title(), QString());
    QCOMPARE(QAccessible::queryAccessibleInterface(dirMain(chooser))->text(QAccessible::Name),
             QString::fromUtf8("选择搜索路径："));

    const QList<std::pair<const char*, QRect>> geometry{
        {"Label1", QRect(7, 6, 94, 19)},       {"lblDir", QRect(6, 24, 281, 16)},
        {"Frame1", QRect(4, 40, 288, 197)},    {"drvMain", QRect(11, 17, 268, 21)},
        {"dirMain", QRect(10, 44, 267, 146)},  {"cmdOK", QRect(38, 242, 81, 29)},
        {"cmdCancel", QRect(212, 242, 81, 29)}};
    for (const auto& [name, rect] : geometry)
        QCOMPARE(child<QWidget>(chooser, name)->geometry(), rect);
    QCOMPARE(child<QWidget>(chooser, "drvMain")->parentWidget()->objectName(), QString("Frame1"));
    QCOMPARE(child<QWidget>(chooser, "dirMain")->parentWidget()->objectName(), QString("Frame1"));
}

void DirChooserTest::ButtonCaptionsUseIdeographicSpaces()
{
    DirChooser chooser(nullptr, volumes());
    // 确 U+3000 定 and 取 U+3000 消, byte for byte.
    QCOMPARE(child<QPushButton>(chooser, "cmdOK")->text().toUtf8(),
             QByteArray("\xE7\xA1\xAE\xE3\x80\x80\xE5\xAE\x9A"));
    QCOMPARE(child<QPushButton>(chooser, "cmdCancel")->text().toUtf8(),
             QByteArray("\xE5\x8F\x96\xE3\x80\x80\xE6\xB6\x88"));
}

void DirChooserTest::TabGoesFromVolumesToFoldersToOkToCancel()
{
    DirChooser chooser(nullptr, volumes());
    QStringList order;
    QWidget* widget = child<QWidget>(chooser, "drvMain");
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != child<QWidget>(chooser, "drvMain"));
    QCOMPARE(order, QStringList({"drvMain", "dirMain", "cmdOK", "cmdCancel"}));
    QVERIFY(!child<QPushButton>(chooser, "cmdOK")->autoDefault());
    QVERIFY(!child<QPushButton>(chooser, "cmdOK")->isDefault());
    QVERIFY(!child<QPushButton>(chooser, "cmdCancel")->autoDefault());
    QVERIFY(!child<QPushButton>(chooser, "cmdCancel")->isDefault());
}

void DirChooserTest::OkWithoutTouchingReturnsTheCurrentFolder()
{
    DirChooser chooser(nullptr, volumes());
    const QString result = showWhile(chooser, [&] {
        QCOMPARE(child<QLabel>(chooser, "lblDir")->text(), work_);
        QCOMPARE(chooser.TheDir(), work_);
        QCOMPARE(child<QComboBox>(chooser, "drvMain")->currentText(), QString("/"));
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, work_);
    QCOMPARE(chooser.TheDir(), work_);
    QVERIFY(!chooser.isVisible());
}

void DirChooserTest::CancelReturnsNothing()
{
    DirChooser chooser(nullptr, volumes());
    const QString result = showWhile(chooser, [&] {
        doubleClickEntry(dirMain(chooser), "gamma");
        QTest::mouseClick(child<QPushButton>(chooser, "cmdCancel"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, QString(""));
    QCOMPARE(chooser.TheDir(), QString(""));
    QVERIFY(!chooser.isVisible());
}

void DirChooserTest::SingleClickOnlyHighlights()
{
    DirChooser chooser(nullptr, volumes());
    const QString result = showWhile(chooser, [&] {
        FolderList* list = dirMain(chooser);
        clickEntry(list, "gamma");
        QCOMPARE(list->currentItem()->text(), QString("gamma"));
        QCOMPARE(list->path(), QFile::encodeName(work_));
        QCOMPARE(chooser.TheDir(), work_);
        QCOMPARE(child<QLabel>(chooser, "lblDir")->text(), work_);
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, work_); // the open folder, the highlighted one's parent
}

void DirChooserTest::DoubleClickOpensTheFolderAndMakesItTheResult()
{
    DirChooser chooser(nullptr, volumes());
    const QString gamma = work_ + "/gamma";
    const QString result = showWhile(chooser, [&] {
        FolderList* list = dirMain(chooser);
        doubleClickEntry(list, "gamma");
        QCOMPARE(list->path(), QFile::encodeName(gamma));
        QCOMPARE(chooser.TheDir(), gamma);
        QCOMPARE(child<QLabel>(chooser, "lblDir")->text(), gamma);
        QVERIFY(entry(list, "deep"));
        QVERIFY(!entry(list, "Beta")); // the old subfolders are gone
        QCOMPARE(list->currentItem()->text(), QString("gamma"));
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, gamma);
}

void DirChooserTest::EnterOpensTheHighlightedFolder()
{
    DirChooser chooser(nullptr, volumes());
    const QString beta = work_ + "/Beta";
    const QString result = showWhile(chooser, [&] {
        FolderList* list = dirMain(chooser);
        list->setFocus();
        list->setCurrentItem(entry(list, "Beta"));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(chooser.TheDir(), beta);
        QVERIFY(chooser.isVisible()); // Enter opened a folder, it did not close the chooser
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, beta);
}

void DirChooserTest::DoubleClickOnAnAncestorOpensIt()
{
    DirChooser chooser(nullptr, volumes());
    const QString base = QFileInfo(work_).path();
    const QString result = showWhile(chooser, [&] {
        FolderList* list = dirMain(chooser);
        doubleClickEntry(list, QFileInfo(base).fileName());
        QCOMPARE(chooser.TheDir(), base);
        QVERIFY(entry(list, "work"));
        QVERIFY(entry(list, "vol2"));
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, base);
}

void DirChooserTest::CloseBoxReturnsTheFolderShown()
{
    DirChooser chooser(nullptr, volumes());
    const QString gamma = work_ + "/gamma";
    const QString result = showWhile(chooser, [&] {
        doubleClickEntry(dirMain(chooser), "gamma");
        chooser.close();
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, gamma);
    QCOMPARE(chooser.TheDir(), gamma);
}

void DirChooserTest::SecondShowingStartsAgainAtTheCurrentFolder()
{
    DirChooser chooser(nullptr, volumes());
    const QString first = showWhile(chooser, [&] {
        doubleClickEntry(dirMain(chooser), "gamma");
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QCOMPARE(first, work_ + "/gamma");

    stepsRan_ = false;
    const QString second = showWhile(chooser, [&] {
        QCOMPARE(child<QLabel>(chooser, "lblDir")->text(), work_);
        QCOMPARE(dirMain(chooser)->path(), QFile::encodeName(work_));
        QCOMPARE(chooser.TheDir(), work_);
        QVERIFY(entry(dirMain(chooser), "Beta"));
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(second, work_);
}

void DirChooserTest::ListShowsAncestorsThenSubfoldersInListOrder()
{
    FolderList list;
    QSignalSpy changed(&list, &FolderList::pathChanged);
    QVERIFY(list.setPath(QFile::encodeName(work_)));
    QCOMPARE(changed.count(), 1);

    QStringList expected{"/"};
    expected << work_.split('/', Qt::SkipEmptyParts);
    // Case is ignored, and where only case differs the raw bytes decide;
    // files are not listed; a link to a folder is.
    expected << "Alpha"
             << "alpha"
             << "Beta"
             << "gamma"
             << "link-to-gamma";
    QCOMPARE(entryNames(&list), expected);
    QCOMPARE(list.currentItem()->text(), QString("work"));
    QCOMPARE(FolderList::entryPath(list.item(0)), QByteArray("/"));
    QCOMPARE(FolderList::entryPath(entry(&list, "Beta")), QFile::encodeName(work_ + "/Beta"));

    // Opening the open folder again changes nothing.
    QVERIFY(list.setPath(QFile::encodeName(work_ + "/")));
    QCOMPARE(changed.count(), 1);
    // A folder that cannot be listed leaves the list as it was.
    QVERIFY(!list.setPath(QFile::encodeName(missing_)));
    QCOMPARE(list.path(), QFile::encodeName(work_));
    QCOMPARE(entryNames(&list), expected);
}

void DirChooserTest::LinkToAFolderOpensUnderItsOwnName()
{
    DirChooser chooser(nullptr, volumes());
    const QString link = work_ + "/link-to-gamma";
    const QString result = showWhile(chooser, [&] {
        FolderList* list = dirMain(chooser);
        doubleClickEntry(list, "link-to-gamma");
        QCOMPARE(chooser.TheDir(), link);
        QCOMPARE(list->currentItem()->text(), QString("link-to-gamma"));
        QVERIFY(entry(list, "deep"));
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, link);
}

void DirChooserTest::FolderNameThatIsNotUtf8KeepsItsBytes()
{
    const QByteArray name("caf\xE9"); // Latin-1, not UTF-8
    const QByteArray full = QFile::encodeName(work_) + "/" + name;
    QCOMPARE(::mkdir(full.constData(), 0755), 0);
    // QTemporaryDir cannot remove a name it cannot decode.
    const auto removeIt = qScopeGuard([&] { ::rmdir(full.constData()); });

    DirChooser chooser(nullptr, volumes());
    const QString result = showWhile(chooser, [&] {
        FolderList* list = dirMain(chooser);
        QListWidgetItem* found = nullptr;
        for (int i = 0; i < list->count(); ++i) {
            if (FolderList::entryPath(list->item(i)) == full)
                found = list->item(i);
        }
        QVERIFY(found);
        list->setCurrentItem(found);
        QTest::keyClick(list, Qt::Key_Enter);
        QCOMPARE(chooser.theDirBytes(), full);
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(chooser.theDirBytes(), full);
    QCOMPARE(result, QFile::decodeName(full));
}

void DirChooserTest::PickingAnotherVolumeOpensItsRoot()
{
    DirChooser chooser(nullptr, volumes());
    const QString result = showWhile(chooser, [&] {
        auto* drives = child<QComboBox>(chooser, "drvMain");
        QCOMPARE(drives->count(), 3);
        drives->setCurrentIndex(drives->findText(vol2_));
        QCOMPARE(chooser.TheDir(), vol2_);
        QCOMPARE(child<QLabel>(chooser, "lblDir")->text(), vol2_);
        QVERIFY(entry(dirMain(chooser), "inside"));
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, vol2_);
}

void DirChooserTest::UnlistableVolumeIsReportedOnceAndTheChooserStaysOnThePreviousVolume()
{
    DirChooser chooser(nullptr, volumes());
    MessageCloser messages;
    const QString result = showWhile(chooser, [&] {
        auto* drives = child<QComboBox>(chooser, "drvMain");
        drives->setCurrentIndex(drives->findText(missing_));
        QCOMPARE(messages.count, 1);
        QCOMPARE(messages.title, QString::fromUtf8("错误："));
        QCOMPARE(messages.text, QString::fromUtf8("设备未准备好！"));
        QCOMPARE(messages.icon, QMessageBox::Critical);
        QCOMPARE(drives->currentText(), QString("/"));
        QCOMPARE(dirMain(chooser)->path(), QFile::encodeName(work_));
        QCOMPARE(chooser.TheDir(), work_);
        QCOMPARE(child<QLabel>(chooser, "lblDir")->text(), work_);
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(messages.count, 1);
    QCOMPARE(result, work_);
}

void DirChooserTest::ReturningFromAnUnlistableVolumeReopensItsCurrentFolder()
{
    DirChooser chooser(nullptr, volumes());
    MessageCloser messages;
    const QString result = showWhile(chooser, [&] {
        auto* drives = child<QComboBox>(chooser, "drvMain");
        drives->setCurrentIndex(drives->findText(vol2_));
        doubleClickEntry(dirMain(chooser), "inside");
        QCOMPARE(chooser.TheDir(), vol2_ + "/inside");

        // Back on the volume of the folder last shown, the volume opens at its
        // own current folder (its root, the program's current folder lying on
        // another volume), as a Windows drive does.
        drives->setCurrentIndex(drives->findText(missing_));
        QCOMPARE(messages.count, 1);
        QCOMPARE(drives->currentText(), vol2_);
        QCOMPARE(chooser.TheDir(), vol2_);
        QCOMPARE(child<QLabel>(chooser, "lblDir")->text(), vol2_);
        QTest::mouseClick(child<QPushButton>(chooser, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, vol2_);
}

void DirChooserTest::NoButtonAnswersEnter()
{
    DirChooser chooser(nullptr, volumes());
    const QString result = showWhile(chooser, [&] {
        auto* ok = child<QPushButton>(chooser, "cmdOK");
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        QTest::keyClick(ok, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(chooser.isVisible());
        auto* drives = child<QComboBox>(chooser, "drvMain");
        QTest::keyClick(drives, Qt::Key_Return);
        QVERIFY(chooser.isVisible());
        QTest::mouseClick(child<QPushButton>(chooser, "cmdCancel"), Qt::LeftButton);
    });
    QVERIFY(stepsRan_);
    QCOMPARE(result, QString(""));
}

void DirChooserTest::EscClosesTheChooserAsCancelDoes()
{
    // From each control that takes the focus, Esc ends the chooser with
    // nothing chosen, even after a folder was opened.
    for (const char* focus : {"drvMain", "dirMain", "cmdOK", "cmdCancel"}) {
        DirChooser chooser(nullptr, volumes());
        const QString result = showWhile(chooser, [&] {
            doubleClickEntry(dirMain(chooser), "alpha");
            QCOMPARE(chooser.TheDir(), work_ + "/alpha");
            auto* control = child<QWidget>(chooser, focus);
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Escape);
            QVERIFY2(!chooser.isVisible(), focus);
        });
        QVERIFY(stepsRan_);
        QCOMPARE(result, QString(""));
    }
}

void DirChooserTest::OpensCentredOnItsOwner()
{
    QWidget owner;
    owner.setGeometry(100, 80, 800, 600);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    DirChooser chooser(&owner, volumes());
    for (int showing = 0; showing < 2; ++showing) {
        QPoint centre;
        showWhile(chooser, [&] {
            centre = chooser.frameGeometry().center();
            chooser.move(0, 0); // the user moves it away; the next showing centres it again
            QTest::mouseClick(child<QPushButton>(chooser, "cmdCancel"), Qt::LeftButton);
        });
        QVERIFY2((centre - owner.frameGeometry().center()).manhattanLength() <= 2,
                 qPrintable(QString("%1,%2").arg(centre.x()).arg(centre.y())));
    }
}

QTEST_MAIN(DirChooserTest)
#include "dir_chooser_uitest.moc"
