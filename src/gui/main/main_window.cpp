#include "gui/main/main_window.h"
#include "gui/common/path_text.h"
#include "gui/common/screen_fit.h"

#include "core/catalogue/file_icons.h"
#include "core/search/folder_listing.h"
#include "gui/capture/capture_window.h"
#include "gui/common/accessible_window.h"
#include "gui/common/busy_cursor.h"
#include "gui/common/failure_texts.h"
#include "gui/common/message_box.h"
#include "gui/common/twips.h"
#include "gui/convert/converter_window.h"
#include "gui/dialogs/about_box.h"
#include "gui/dialogs/dir_chooser.h"
#include "gui/main/accessible_widgets.h"
#include "gui/main/button_pictures.h"
#include "gui/main/catalogue_view.h"
#include "gui/main/details_opener.h"
#include "gui/main/full_width_check_box.h"
#include "gui/main/main_window_texts.h"
#include "gui/main/option_button.h"
#include "gui/main/search_animation.h"
#include "gui/main/status_line.h"
#include "system/paths/app_paths.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QWindow>

#include <utility>

// The web page lives in a resource of this static library; a static
// library's resources are registered by hand.
static void registerResources()
{
    Q_INIT_RESOURCE(app);
}

namespace gb {

namespace {

using ui::twipsRect;

// How often the window collects what the worker found: often enough that
// the status line moves smoothly, rarely enough that 10,000 files are not
// slowed by repainting it.
constexpr int kHarvestMilliseconds = 40;

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

QFrame* frame(QWidget* parent, const char* name, QRect geometry)
{
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameShape(QFrame::StyledPanel);
    f->setGeometry(geometry);
    return f;
}

// Every picture of the button column has this size, so captions line up.
constexpr QSize kPictureSize(24, 24);

// A graphical button: a picture above its caption.
template <typename Button = QToolButton>
Button* graphicalButton(QWidget* parent, const QString& name, const QString& caption, const QIcon& picture,
                        QRect geometry)
{
    auto* b = new Button(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setAccessibleName(caption);
    b->setIcon(picture);
    b->setIconSize(kPictureSize);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setGeometry(geometry);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

// The page the web pane shows; it ships inside the program.
QString webPage()
{
    QFile page(QStringLiteral(":/web/index.html"));
    if (!page.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(page.readAll());
}

// The engine's extraction on every core, or the one a test gives.
std::unique_ptr<BackgroundSearch> searchFor(const MainWindowServices& services)
{
    if (services.extractor)
        return std::make_unique<BackgroundSearch>(services.extractor);
    return std::make_unique<BackgroundSearch>();
}

} // namespace

MainWindow::MainWindow(Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), model_(store_), search_(searchFor(services_))
{
    registerResources();
    ui::installAccessibleWindow(staticMetaObject);
    installAccessibleWidgets();
    if (services_.opener == nullptr)
        services_.opener = &ui::desktopOpener();
    setObjectName("mainfrm");
    setWindowTitle(texts::kCaption);
    // Minimise on, maximise off. The controls keep their places whatever the
    // window's size, so the size is fixed: the window manager, told by the
    // size hints, then offers neither maximising into an empty grey area
    // nor shrinking until buttons vanish.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ui::twips(9225), ui::twips(6840));
    // A screen too small for the fixed size (640x480 at scale 2 offers
    // 320x240) cannot shrink the window; it is placed with its top and its
    // right edge on the screen instead, as the button column along that edge
    // holds every command, the exit too, and the title bar's right end its
    // close box.
    ui::keepOnScreen(*this, true);
    buildLayout();
    model_.setDeviceRatio(devicePixelRatioF());

    // Start-up: the folder list on the current folder, shown in the path field.
    dir1Path_ = ui::pathBytes(QDir::currentPath());
    t2_->setText(QDir::currentPath());
    lv_->setView(CatalogueView::LargeIcons);
    setStatusText(texts::kHint);
    appPath_ = services_.outputFolder.empty() ? appPath() : services_.outputFolder;
    ensureOutputFolders(appPath_);
    web1_->setHtml(webPage());
    t1_->setFocus(); // typing starts in the pattern field

    exports_ = std::make_unique<ExportCommands>(*this);
    connect(lv_, &CatalogueView::rightPressed, this, [this] { exports_->lv_MouseDown(Qt::RightButton); });
    connect(lv_, &CatalogueView::menuKeyPressed, exports_.get(), &ExportCommands::openMenuAt);
    openDetailsOnDoubleClick(*lv_, store_, this);

    harvestTimer_.setInterval(kHarvestMilliseconds);
    connect(&harvestTimer_, &QTimer::timeout, this, &MainWindow::collectHarvest);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildLayout()
{
    web1_ = new QTextBrowser(this);
    web1_->setObjectName("web1");
    web1_->setGeometry(twipsRect(120, 5355, 7695, 1095));
    web1_->setOpenLinks(false);
    connect(web1_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { services_.opener->open(url); });

    command2_ = graphicalButton(this, "Command2", texts::kConvert, QIcon(), twipsRect(7320, 120, 495, 1095));
    command2_->setText(texts::verticalConvertCaption());
    command2_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont narrow = command2_->font();
    narrow.setPixelSize(10);
    command2_->setFont(narrow);

    QFrame* frame2 = frame(this, "Frame2", twipsRect(5880, 0, 1335, 1260));
    auto* picSide = new QWidget(frame2);
    picSide->setObjectName("picSide");
    picSide->setGeometry(twipsRect(120, 240, 1035, 945));
    anavi_ = new SearchAnimation(picSide);
    anavi_->setObjectName("anavi");
    anavi_->setGeometry(twipsRect(0, 0, 1035, 915));

    QFrame* frame1 = frame(this, "Frame1", twipsRect(7920, 0, 1215, 6495));
    const QStyle* look = style();
    command1_[0] = graphicalButton(frame1, "Command1_0", texts::kStart,
                                   stylePicture(look, QStyle::SP_FileDialogContentsView, kPictureSize),
                                   twipsRect(120, 240, 975, 855));
    option1_[0] =
        graphicalButton<OptionButton>(frame1, "Option1_0", texts::kLargeView, largeIconsPicture(kPictureSize),
                                      twipsRect(120, 1120, 975, 855));
    option1_[1] =
        graphicalButton<OptionButton>(frame1, "Option1_1", texts::kSmallView, smallIconsPicture(kPictureSize),
                                      twipsRect(120, 2000, 975, 855));
    option1_[2] = graphicalButton<OptionButton>(frame1, "Option1_2", texts::kListView,
                                                listPicture(kPictureSize), twipsRect(120, 2880, 975, 855));
    command1_[1] = graphicalButton(frame1, "Command1_1", texts::kCapture, capturePicture(kPictureSize),
                                   twipsRect(120, 3760, 975, 855));
    command1_[6] = graphicalButton(frame1, "Command1_6", texts::kAbout,
                                   stylePicture(look, QStyle::SP_MessageBoxInformation, kPictureSize),
                                   twipsRect(120, 4640, 975, 855));
    command1_[5] = graphicalButton(frame1, "Command1_5", texts::kExit,
                                   stylePicture(look, QStyle::SP_DialogCloseButton, kPictureSize),
                                   twipsRect(120, 5520, 975, 855));
    for (int i : {0, 1, 5, 6})
        connect(command1_[i], &QToolButton::clicked, this, [this, i] { Command1_Click(i); });
    connect(command2_, &QToolButton::clicked, this, &MainWindow::Command2_Click);
    for (int i = 0; i < 3; ++i)
        connect(option1_[i], &QToolButton::clicked, this, [this, i] { Option1_Click(i); });
    option1_[0]->setChecked(true);

    statusbar1_ = new StatusLine(this);
    statusbar1_->setObjectName("statusbar1");
    statusbar1_->setGeometry(twipsRect(0, 6510, 9225, 330));
    connect(statusbar1_, &StatusLine::hovered, this, &MainWindow::statusbar1_MouseMove);

    lv_ = new CatalogueView(model_, this);
    lv_->setObjectName("lv");
    lv_->setGeometry(twipsRect(45, 1320, 7815, 3975));
    connect(lv_, &CatalogueView::itemClicked, this, &MainWindow::lv_ItemClick);
    connect(lv_, &CatalogueView::currentMovedByKey, this, &MainWindow::lv_ItemClick);

    QFrame* fr = frame(this, "fr", twipsRect(45, 0, 5835, 1260));
    label(fr, "lblInfo_0", texts::kFileType, twipsRect(195, 285, 1320, 195));
    label(fr, "lblInfo_1", texts::kSearchPath, twipsRect(180, 645, 1350, 315));
    t1_ = new QLineEdit(texts::kDefaultPattern, fr);
    t1_->setObjectName("t1");
    t1_->setAccessibleName(texts::kFileType);
    t1_->setGeometry(twipsRect(1485, 270, 4185, 330));
    fs1Pattern_ = texts::kDefaultPattern;
    t2_ = new QLineEdit(fr);
    t2_->setObjectName("t2");
    t2_->setAccessibleName(texts::kSearchPath);
    t2_->setGeometry(twipsRect(1470, 615, 3105, 330));
    auto* cmdDir = new QToolButton(fr);
    cmdDir->setObjectName("cmdDir");
    cmdDir->setText(texts::kBrowse);
    cmdDir->setGeometry(twipsRect(4680, 600, 1005, 330));
    cmdDir->setFocusPolicy(Qt::StrongFocus);
    connect(cmdDir, &QToolButton::clicked, this, &MainWindow::cmdDir_Click);
    chkSub_ = new FullWidthCheckBox(texts::kSubfolders, fr);
    chkSub_->setObjectName("chkSub");
    chkSub_->setGeometry(twipsRect(240, 960, 1620, 240));
    chkContainers_ = new FullWidthCheckBox(texts::kContainers, fr);
    chkContainers_->setObjectName("chkContainers");
    chkContainers_->setToolTip(texts::kContainersTip);
    chkContainers_->setGeometry(twipsRect(1860, 960, 1380, 240));
    QLabel* label1 = label(fr, "Label1", texts::kFilesSearched, twipsRect(3240, 960, 1335, 255));
    lblCount_ = label(fr, "lblCount", QString(), twipsRect(4440, 960, 1335, 255));
    // The counter is read by its number, labelled by the caption beside it.
    label1->setBuddy(lblCount_);

    connect(t1_, &QLineEdit::textChanged, this, &MainWindow::t1_Change);
    connect(t2_, &QLineEdit::textChanged, this, &MainWindow::t2_Change);
    t1_->installEventFilter(this);
    t2_->installEventFilter(this);
}

QString MainWindow::statusText() const
{
    return statusbar1_->text();
}
void MainWindow::setStatusText(const QString& text)
{
    statusbar1_->setText(text);
}
void MainWindow::setCounter(const QString& text)
{
    lblCount_->setText(text);
}

std::vector<int> MainWindow::selectedRows() const
{
    return lv_->selectedRows();
}
int MainWindow::currentRow() const
{
    return lv_->currentRow();
}

void MainWindow::clickUnderPointer()
{
    // After a deletion the row under the pointer becomes the current one, as
    // a click there would make it. Only the catalogue takes this click: sent
    // anywhere else it could press a button the user never pressed.
    QAbstractItemView* view = lv_->activeView();
    const QPoint at = view->viewport()->mapFromGlobal(QCursor::pos());
    if (!view->viewport()->rect().contains(at))
        return;
    const QModelIndex index = view->indexAt(at);
    if (!index.isValid())
        return;
    view->setCurrentIndex(index);
    lv_ItemClick(index.row());
}

// ---- the command buttons -------------------------------------------------

void MainWindow::Command1_Click(int index)
{
    switch (index) {
    case 0: {
        // A click that may start searches the path shown or nothing.
        std::optional<SearchRequest> request;
        if (searchControl_.startsOnClick()) {
            if (!pathAccepted(PathUse::Searched))
                return;
            request = requestFromFields();
        }
        const auto step = searchControl_.click(std::move(request));
        if (step.what == SearchStep::Do::Start)
            startSearch(*step.request);
        if (step.what == SearchStep::Do::Stop) {
            // The walk notices at its next poll point and winds down; the
            // rows come when it has.
            search_->stop(Stop::AtCheckpoints);
            setStatusText(texts::result(store_.rows().size()));
        }
        showSearchState();
        return;
    }
    case 1:
        if (!pathAccepted(PathUse::NotRead))
            return;
        // The grabber takes the screen; the main window comes back when it closes.
        if (!picpfrm_) {
            picpfrm_ = std::make_unique<capture::CaptureWindow>(appPath_);
            // Direct: queued, Qt would see the last window close and quit.
            connect(picpfrm_.get(), &capture::CaptureWindow::closed, this, &QWidget::show);
        }
        hide();
        picpfrm_->open();
        return;
    case 5: close(); return;
    case 6: {
        if (!pathAccepted(PathUse::NotRead))
            return;
        dialogs::AboutBox about(*services_.opener, this);
        about.exec();
        return;
    }
    default: return;
    }
}

void MainWindow::Command2_Click()
{
    if (!pathAccepted(PathUse::NotRead))
        return;
    convert::ConverterWindow converfrm(this);
    converfrm.exec();
}

MainWindow::SearchRequest MainWindow::requestFromFields() const
{
    return SearchRequest{dir1Path_, t2_->text(), fs1Pattern_, chkSub_->isChecked(),
                         chkContainers_->isChecked()};
}

void MainWindow::startSearch(const SearchRequest& request)
{
    counter_ = 0;
    setCounter(QStringLiteral("0"));
    showSearchState();
    t2_Change();
    pSearch(request);
}

void MainWindow::pSearch(const SearchRequest& request)
{
    busy_ = std::make_unique<ui::BusyCursor>();
    store_.reset();
    model_.reload();
    setStatusText(texts::kSearching + request.folderText);
    ++counter_;
    setCounter(QString::number(counter_));
    const WalkOptions options{request.subfolders, FilePattern(ui::pathBytes(request.pattern)),
                              request.containers};
    // The 64-pixel drawings are made only for a screen that shows them.
    const double ratio = devicePixelRatioF();
    model_.setDeviceRatio(ratio);
    search_->start(request.folder, options, ExtractOptions{drawsLarge2x(ratio)});
    harvestTimer_.start();
}

void MainWindow::collectHarvest()
{
    SearchHarvest harvest = search_->take();
    for (auto& icons : harvest.files)
        addFileIcons(store_, std::move(icons));
    if (!harvest.lastFile.empty()) {
        setStatusText(texts::kExtracting + ui::pathText(harvest.lastFile));
        counter_ = 1 + harvest.filesVisited;
        // Numbers the file loop writes carry the sign position: one leading space.
        setCounter(QStringLiteral(" ") + QString::number(counter_));
    }
    if (harvest.finished)
        finishSearch(harvest.failure);
}

void MainWindow::finishSearch(const std::string& failure)
{
    harvestTimer_.stop();
    // Row building: one row per image, shown only now that the walk has ended.
    // The catalogue was emptied when the search began: all its rows reach
    // the views as one insertion.
    store_.buildRows();
    setStatusText(texts::adding(store_.imageCount()));
    model_.appendNewRows();
    const auto next = searchControl_.ended();
    showSearchState();
    busy_.reset();
    // The rest of the start click: the folder list back on the typed path.
    t2_Change();
    if (failure.empty()) {
        setStatusText(texts::result(store_.rows().size()));
    } else {
        // The search broke off (out of memory, say): what it found stays,
        // and the status line says the reading ended early.
        qWarning("glimmerbox: the search broke off: %s", failure.c_str());
        setStatusText(ui::texts::kReadCancelled);
    }
    if (focusCatalogueAfterSearch_) {
        focusCatalogueAfterSearch_ = false;
        lv_->activeView()->setFocus();
    }
    emit searchFinished();
    if (next.what == SearchStep::Do::Start)
        startSearch(*next.request); // the start clicked while this search wound down
}

// The button's caption and the animation follow the search's state.
void MainWindow::showSearchState()
{
    const QString& caption = searchControl_.offersStop() ? texts::kStop : texts::kStart;
    command1_[0]->setText(caption);
    command1_[0]->setAccessibleName(caption);
    if (searchControl_.offersStop())
        anavi_->play();
    else
        anavi_->stop();
}

void MainWindow::Option1_Click(int index)
{
    static constexpr CatalogueView::View views[] = {CatalogueView::LargeIcons, CatalogueView::SmallIcons,
                                                    CatalogueView::Report};
    if (index < 0 || index > 2)
        return;
    option1_[index]->setChecked(true);
    lv_->setView(views[index]);
}

void MainWindow::statusbar1_MouseMove()
{
    if (!searching())
        setStatusText(texts::shown(store_.rows().size()));
}

void MainWindow::lv_ItemClick(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= store_.rows().size())
        return;
    const std::size_t icon = store_.rows()[static_cast<std::size_t>(row)].icon;
    setStatusText(QString::fromStdString(rowText(icon)) + texts::kTakenFrom +
                  CatalogueModel::displayPath(store_.image(icon).origin.shownPath()));
}

// ---- the option fields ---------------------------------------------------

bool MainWindow::setFolderList(const QString& path)
{
    const QFileInfo info(path);
    if (path.trimmed().isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    // The folder as the folder list names it: absolute, without a trailing "/".
    dir1Path_ = ui::pathBytes(QDir::cleanPath(info.absoluteFilePath()));
    return true;
}

void MainWindow::t1_Change()
{
    // A lone "*" becomes "*.*", with the ".*" selected after the "*": typing
    // on replaces it, so "*.dll" typed stays "*.dll". Taking the offered
    // ".*" back (Backspace) leaves the "*" alone, or it would come again.
    const QString everyFile = QString::fromStdString(normalisePatternText("*"));
    if (t1_->text() == QStringLiteral("*") && fs1Pattern_ != everyFile) {
        t1_->setText(everyFile); // runs this again, nested
        t1_->setSelection(1, static_cast<int>(everyFile.size()) - 1);
    }
    fs1Pattern_ = t1_->text();
}

void MainWindow::t2_Change()
{
    // Every keystroke moves the folder list as soon as the text names a
    // folder; a search already running keeps walking where it started.
    setFolderList(t2_->text());
}

bool MainWindow::t2_Validate()
{
    if (setFolderList(t2_->text()))
        return true;
    ui::showMessage(this, ui::MessageStyle::Information, texts::kBadPathTitle, texts::kBadPath);
    t2_->setText(QDir::currentPath());
    setFolderList(QDir::currentPath());
    return false;
}

bool MainWindow::pathAccepted(PathUse use)
{
    // The check that the focus leaving t2 asked for runs here, before the
    // command of the click that moved the focus, and only once.
    const bool pending = std::exchange(t2Pending_, false);
    if (!pending && use == PathUse::NotRead)
        return true;
    if (t2_Validate())
        return true;
    // Refused: the message has been shown, and the focus goes back to the
    // field, as if it had never left. The command does nothing.
    activateWindow();
    t2_->setFocus(Qt::OtherFocusReason);
    return false;
}

void MainWindow::cmdDir_Click()
{
    // A wrong path is reported before the chooser opens, never on top of it.
    if (!pathAccepted(PathUse::NotRead))
        return;
    if (!dirfrm_)
        dirfrm_ = std::make_unique<dialogs::DirChooser>(this);
    t2_->setText(dirfrm_->ShowDir());
    setFolderList(t2_->text());
    if (t2_->text().trimmed().isEmpty())
        t2_->setText(ui::pathText(dir1Path_)); // cancelled: show where the folder list stands
}

void MainWindow::setStartPath(const StartPath& start)
{
    t2_->setText(start.folder);
    if (!start.pattern.isEmpty())
        t1_->setText(start.pattern);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field == nullptr)
        return QWidget::eventFilter(watched, event);

    if (event->type() == QEvent::FocusIn) {
        // Entering a field selects its whole text, so typing replaces it;
        // deferred, or a mouse click would place the cursor over it.
        QTimer::singleShot(0, field, [field] { field->selectAll(); });
    } else if (event->type() == QEvent::FocusOut && field == t1_) {
        fs1Pattern_ = t1_->text();
    } else if (event->type() == QEvent::FocusOut && field == t2_) {
        auto* focus = static_cast<QFocusEvent*>(event);
        // Validated when the focus moves to another control of this window,
        // not when another window (or the message below) takes it. The check
        // runs after the focus change, never inside it: at once when nothing
        // else comes first, or earlier, by the command of a click on a
        // button (pathAccepted), so that command sees the outcome.
        if (focus->reason() != Qt::ActiveWindowFocusReason && focus->reason() != Qt::PopupFocusReason) {
            t2Pending_ = true;
            QTimer::singleShot(0, this, [this] {
                if (isVisible())
                    pathAccepted(PathUse::NotRead);
                else
                    t2Pending_ = false;
            });
        }
    } else if (event->type() == QEvent::KeyPress && field == t1_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const bool starting = searchControl_.startsOnClick();
            Command1_Click(0);
            if (starting && searching())
                focusCatalogueAfterSearch_ = true; // the focus moves when the search has ended
            else if (!starting || searchControl_.offersStop())
                lv_->activeView()->setFocus(); // a refused start leaves it in the path field
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Moved to a screen of another density, the views show each icon from
    // the drawing that suits it; the drawings themselves are those the last
    // search made.
    if (QWindow* window = windowHandle(); window != nullptr && !followsScreen_) {
        followsScreen_ = true;
        connect(window, &QWindow::screenChanged, this,
                [this] { model_.setDeviceRatio(devicePixelRatioF()); });
    }
    model_.setDeviceRatio(devicePixelRatioF());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Shut-down: a running search is abandoned, the file being read included,
    // so the program ends (and frees the single-instance lock) at once; the
    // catalogue is emptied.
    search_->stop(Stop::Now);
    // A running batch ends at its next file; the files written stay whole.
    exports_->cancelBatch();
    harvestTimer_.stop();
    store_.reset();
    model_.reload();
    anavi_->stop();
    event->accept();
}

} // namespace gb
