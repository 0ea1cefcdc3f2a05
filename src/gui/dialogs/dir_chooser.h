#pragma once
// dirfrm, the folder chooser behind the main window's browse button: a list
// of volumes above a folder list. One object lives as long as the main
// window; every showing starts afresh at the program's current folder.

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace gb::dialogs {

class FolderList;

class DirChooser : public QDialog {
    Q_OBJECT

public:
    // `volumes` gives the root paths the volume list offers; when empty, the
    // mounted volumes of the machine.
    explicit DirChooser(QWidget* parent = nullptr, std::function<QStringList()> volumes = {});

    // Shows the chooser modally and returns TheDir once it has closed.
    QString ShowDir();

    // The folder the chooser would return. While it is shown, the folder open
    // in the folder list; after OK, the folder that was open; after Cancel,
    // ""; after the close box, the folder last shown. Kept after closing.
    QString TheDir() const;
    // TheDir as the file system's bytes, for names that are not valid UTF-8.
    QByteArray theDirBytes() const { return theDir_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void drvMain_Change();
    void dirMain_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    void fillVolumes();
    int volumeHolding(const QByteArray& folder) const;
    QByteArray currentFolderOn(int volume) const;
    void showVolumeOf(const QByteArray& folder);
    void setLblDir(const QByteArray& folder);

    std::function<QStringList()> volumes_;
    std::vector<QByteArray> volumeRoots_; // as drvMain lists them
    QByteArray theDir_;
    QByteArray lblDirFolder_; // the folder lblDir shows, as bytes

    QLabel* Label1_ = nullptr;
    QLabel* lblDir_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QComboBox* drvMain_ = nullptr;
    FolderList* dirMain_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace gb::dialogs
