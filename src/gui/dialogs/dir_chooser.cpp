#include "gui/dialogs/dir_chooser.h"
#include "gui/common/path_text.h"

#include "core/search/folder_listing.h"
#include "gui/common/message_box.h"
#include "gui/common/screen_fit.h"
#include "gui/common/twips.h"
#include "gui/dialogs/folder_list.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <string>
#include <unistd.h>
#include <utility>

namespace gb::dialogs {

namespace {

// Every text dirfrm shows, exactly as the user sees it. The gaps in the two
// button captions are ideographic spaces (U+3000).
namespace text {
constexpr const char* title = QT_TRANSLATE_NOOP("FolderChooser", "路径选择：");
constexpr const char* label1 = QT_TRANSLATE_NOOP("FolderChooser", "选择搜索路径：");
constexpr const char* lblDirAtDesign = "Selected Directory  :"; // replaced before the chooser shows
constexpr const char* ok = QT_TRANSLATE_NOOP("FolderChooser", "确\u3000定");
constexpr const char* cancel = QT_TRANSLATE_NOOP("FolderChooser", "取\u3000消");
constexpr const char* errorTitle = QT_TRANSLATE_NOOP("FolderChooser", "错误：");
constexpr const char* notReady = QT_TRANSLATE_NOOP("FolderChooser", "设备未准备好！");
} // namespace text

// A text of the table above, in the user's language.
QString shown(const char* s)
{
    return QCoreApplication::translate("FolderChooser", s);
}

// Doubled and trailing separators dropped, so a volume root compares with
// the folders on it.
QByteArray tidyRoot(QByteArray root)
{
    while (root.contains("//"))
        root.replace("//", "/");
    if (root.size() > 1 && root.endsWith('/'))
        root.chop(1);
    return root;
}

QStringList mountedVolumes()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid())
            roots << volume.rootPath();
    }
    return roots;
}

// The program's current folder as the file system spells it (getcwd, which
// QDir::currentPath decodes); "/" when it no longer exists.
QByteArray currentFolder()
{
    std::string buffer(4096, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return "/";
        buffer.resize(buffer.size() * 2);
    }
    return QByteArray(buffer.c_str());
}

QByteArray parentOf(const QByteArray& folder)
{
    const auto slash = folder.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : folder.left(slash);
}

} // namespace

DirChooser::DirChooser(QWidget* parent, std::function<QStringList()> volumes)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      volumes_(volumes ? std::move(volumes) : mountedVolumes)
{
    using ui::twipsRect;
    setObjectName("dirfrm");
    setWindowTitle(shown(text::title));
    setFixedSize(ui::twips(4470), ui::twips(4125));
    ui::keepOnScreen(*this);

    Label1_ = new QLabel(shown(text::label1), this);
    Label1_->setObjectName("Label1");
    Label1_->setTextFormat(Qt::PlainText);
    Label1_->setGeometry(twipsRect(105, 90, 1410, 285));

    lblDir_ = new QLabel(shown(text::lblDirAtDesign), this);
    lblDir_->setObjectName("lblDir");
    lblDir_->setTextFormat(Qt::PlainText); // a folder named "<b>" is shown as it is named
    lblDir_->setGeometry(twipsRect(90, 360, 4215, 240));

    Frame1_ = new QGroupBox(this);
    Frame1_->setObjectName("Frame1");
    Frame1_->setGeometry(twipsRect(60, 600, 4320, 2955));

    drvMain_ = new QComboBox(Frame1_);
    drvMain_->setObjectName("drvMain");
    drvMain_->setGeometry(twipsRect(165, 255, 4020, 315));

    dirMain_ = new FolderList(Frame1_);
    dirMain_->setObjectName("dirMain");
    dirMain_->setGeometry(twipsRect(150, 660, 4005, 2190));
    // The folder list is announced under the caption above it.
    Label1_->setBuddy(dirMain_);
    dirMain_->setAccessibleName(shown(text::label1));

    cmdOK_ = new QPushButton(shown(text::ok), this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setGeometry(twipsRect(570, 3630, 1215, 435));

    cmdCancel_ = new QPushButton(shown(text::cancel), this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setGeometry(twipsRect(3180, 3630, 1215, 435));

    // Neither button answers Enter; Esc cancels (keyPressEvent).
    for (QPushButton* button : {cmdOK_, cmdCancel_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    // Frame1 and the two labels take no focus, so Tab goes round these four.
    setTabOrder(drvMain_, dirMain_);
    setTabOrder(dirMain_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);

    connect(drvMain_, &QComboBox::currentIndexChanged, this, [this] { drvMain_Change(); });
    connect(dirMain_, &FolderList::pathChanged, this, [this] { dirMain_Change(); });
    connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

QString DirChooser::ShowDir()
{
    Form_Load();
    // Centred on the owner at every showing, even after the user moved it.
    setAttribute(Qt::WA_Moved, false);
    exec();
    return TheDir();
}

QString DirChooser::TheDir() const
{
    return ui::pathText(theDir_);
}

void DirChooser::Form_Load()
{
    // Each showing starts from the controls' first state, whatever the last
    // one returned.
    fillVolumes();
    lblDir_->setText(shown(text::lblDirAtDesign));
    lblDirFolder_.clear();

    const QByteArray current = currentFolder();
    showVolumeOf(current);
    // A current folder that cannot be listed opens at its nearest ancestor
    // that can, so the list is never left empty.
    QByteArray folder = current;
    while (!dirMain_->setPath(folder) && folder != "/")
        folder = parentOf(folder);

    theDir_ = dirMain_->path().isEmpty() ? current : dirMain_->path();
    setLblDir(theDir_);
    drvMain_->setFocus();
}

void DirChooser::dirMain_Change()
{
    theDir_ = dirMain_->path();
    setLblDir(theDir_);
    // The folder list can step onto another volume (an ancestor below
    // another mount, a link); the volume list follows it without reopening.
    showVolumeOf(theDir_);
}

void DirChooser::drvMain_Change()
{
    const int volume = drvMain_->currentIndex();
    if (volume < 0)
        return;
    if (dirMain_->setPath(currentFolderOn(volume)))
        return; // dirMain_Change has taken the new folder

    ui::showMessage(this, ui::MessageStyle::Critical, shown(text::errorTitle), shown(text::notReady));
    // Back to the volume of the folder last shown. Being another volume than
    // the one that failed, the change runs drvMain_Change again, and the
    // folder list opens that volume's current folder.
    drvMain_->setCurrentIndex(volumeHolding(lblDirFolder_));
}

void DirChooser::cmdOK_Click()
{
    // The folder open in the list, not the one merely highlighted.
    theDir_ = dirMain_->path();
    accept();
}

void DirChooser::cmdCancel_Click()
{
    theDir_.clear();
    reject();
}

void DirChooser::keyPressEvent(QKeyEvent* event)
{
    // Esc leaves the chooser as Cancel does, changing nothing, so that a
    // keyboard user is never caught in it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DirChooser::fillVolumes()
{
    volumeRoots_.clear();
    for (const QString& root : volumes_())
        volumeRoots_.push_back(tidyRoot(ui::pathByteArray(root)));
    std::ranges::sort(volumeRoots_, [](const QByteArray& a, const QByteArray& b) {
        return listOrder(a.toStdString(), b.toStdString());
    });
    const auto [first, last] = std::ranges::unique(volumeRoots_);
    volumeRoots_.erase(first, last);

    const QSignalBlocker quiet(drvMain_);
    drvMain_->clear();
    for (const QByteArray& root : volumeRoots_)
        drvMain_->addItem(ui::pathText(root));
    drvMain_->setCurrentIndex(-1);
}

// The volume a folder lies on: the one with the longest root that contains
// it; -1 when none does.
int DirChooser::volumeHolding(const QByteArray& folder) const
{
    int best = -1;
    qsizetype bestLength = -1;
    for (std::size_t i = 0; i < volumeRoots_.size(); ++i) {
        const QByteArray& root = volumeRoots_[i];
        const bool holds =
            root == "/" ? folder.startsWith('/') : folder == root || folder.startsWith(root + '/');
        if (holds && root.size() > bestLength) {
            best = static_cast<int>(i);
            bestLength = root.size();
        }
    }
    return best;
}

// What opening a volume shows, as a Windows drive opens at its own current
// folder: the program's current folder when it lies on that volume,
// otherwise the volume's root.
QByteArray DirChooser::currentFolderOn(int volume) const
{
    QByteArray current = currentFolder();
    if (volumeHolding(current) == volume)
        return current;
    return volumeRoots_[static_cast<std::size_t>(volume)];
}

void DirChooser::showVolumeOf(const QByteArray& folder)
{
    const QSignalBlocker quiet(drvMain_);
    drvMain_->setCurrentIndex(volumeHolding(folder));
}

void DirChooser::setLblDir(const QByteArray& folder)
{
    lblDirFolder_ = folder;
    lblDir_->setText(ui::pathText(folder));
}

} // namespace gb::dialogs
