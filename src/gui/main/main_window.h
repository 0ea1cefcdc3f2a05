#pragma once
// mainfrm: the search options, the catalogue, the button column, the status
// line and the web pane. The window only translates: clicks into calls of
// the core (walk, extraction, catalogue store) and their results into
// widgets and status texts. The search itself runs on a worker thread.

#include "core/catalogue/catalogue_store.h"
#include "core/search/background_search.h"
#include "core/search/search_control.h"
#include "gui/catalogue/catalogue_model.h"
#include "gui/common/url_opener.h"
#include "gui/export/export_commands.h"
#include "gui/main/start_path.h"

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTextBrowser;
class QToolButton;

namespace gb {

class CatalogueView;
class OptionButton;
class SearchAnimation;
class StatusLine;
namespace dialogs {
class DirChooser;
}
namespace capture {
class CaptureWindow;
}
namespace ui {
class BusyCursor;
}

// What the window hands work to; tests put in their own.
struct MainWindowServices {
    ui::UrlOpener* opener = nullptr;       // web links and mail; the desktop's when null
    BackgroundSearch::Extractor extractor; // the icon extraction; the engine's when empty
    std::string outputFolder;              // where batches go; appPath() when empty
};

class MainWindow : public QWidget, public CatalogueHost {
    Q_OBJECT
public:
    using Services = MainWindowServices;

    explicit MainWindow(Services services = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The program's output folder (App.Path) and the folder the search
    // stands on (the hidden folder list).
    const std::string& outputFolder() const override { return appPath_; }
    const std::string& searchFolder() const { return dir1Path_; }
    bool searching() const { return searchControl_.state() == SearchState::Searching; }

    CatalogueStore& catalogue() override { return store_; }
    // The views show the catalogue anew after it was changed from outside.
    void catalogueChanged() override { model_.reload(); }
    CatalogueView& catalogueView() { return *lv_; }
    ExportCommands& exportCommands() { return *exports_; }
    QString statusText() const;
    void setStatusText(const QString& text) override;

    // What the catalogue's commands need of the window.
    std::vector<int> selectedRows() const override;
    int currentRow() const override;
    void clickUnderPointer() override;
    QWidget* hostWindow() override { return this; }

    // The handlers, callable as the events call them.
    void Command1_Click(int index);
    void Command2_Click();
    void Option1_Click(int index);
    void cmdDir_Click();

    // glimmerbox PATH: the folder goes into the search path, and for a file
    // the pattern that finds it alone into the pattern field, ready for a
    // start.
    void setStartPath(const StartPath& start);

signals:
    // Emitted when a search has ended and its rows are built.
    void searchFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What one start searches: the fields as they stood when it was clicked
    // and the path was checked, so a start that waits for a wind-down
    // searches that, whatever is typed meanwhile.
    struct SearchRequest {
        std::string folder; // the folder list's path, as bytes
        QString folderText; // the path as the field showed it
        QString pattern;
        bool subfolders = false;
        bool containers = false;
    };

    void buildLayout();
    SearchRequest requestFromFields() const;
    void startSearch(const SearchRequest& request);
    void pSearch(const SearchRequest& request);
    void collectHarvest();
    // `failure`: what broke the search off, or empty when it ended as it should.
    void finishSearch(const std::string& failure);
    void t1_Change();
    void t2_Change();
    bool t2_Validate();
    // What a command does with the path field: a search needs it to name a
    // folder; any other command only waits for a pending check of it.
    enum class PathUse { Searched, NotRead };
    bool pathAccepted(PathUse use);
    void showSearchState();
    void lv_ItemClick(int row);
    void statusbar1_MouseMove();
    void setCounter(const QString& text);
    bool setFolderList(const QString& path);

    Services services_;
    std::string appPath_;
    std::string dir1Path_; // the folder list's path, as bytes
    QString fs1Pattern_;   // the file list's pattern
    bool focusCatalogueAfterSearch_ = false;
    bool t2Pending_ = false; // the focus left t2 and its check has not run yet
    using SearchStep = SearchControl<SearchRequest>::Step;
    SearchControl<SearchRequest> searchControl_; // holds a start clicked while a search winds down
    std::size_t counter_ = 0;                    // the number lblCount shows
    bool followsScreen_ = false;                 // the window's screen changes reach the views

    CatalogueStore store_;
    CatalogueModel model_;
    std::unique_ptr<BackgroundSearch> search_;
    QTimer harvestTimer_;
    std::unique_ptr<ui::BusyCursor> busy_;
    std::unique_ptr<dialogs::DirChooser> dirfrm_;
    std::unique_ptr<ExportCommands> exports_;
    std::unique_ptr<capture::CaptureWindow> picpfrm_; // lives for the whole run: its fields survive closing

    QLineEdit* t1_ = nullptr;
    QLineEdit* t2_ = nullptr;
    QCheckBox* chkSub_ = nullptr;
    QCheckBox* chkContainers_ = nullptr;
    QLabel* lblCount_ = nullptr;
    QToolButton* command1_[7] = {};
    OptionButton* option1_[3] = {};
    QToolButton* command2_ = nullptr;
    CatalogueView* lv_ = nullptr;
    StatusLine* statusbar1_ = nullptr;
    SearchAnimation* anavi_ = nullptr;
    QTextBrowser* web1_ = nullptr;
};

} // namespace gb
