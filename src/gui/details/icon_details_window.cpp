#include "gui/details/icon_details_window.h"
#include "gui/common/path_text.h"

#include "core/export/batch_names.h"
#include "core/export/export_session.h"
#include "core/export/native_sizes.h"
#include "core/imagefiles/ico_writer.h"
#include "core/imagefiles/png_writer.h"
#include "core/sources/origin_details.h"
#include "gui/common/busy_cursor.h"
#include "gui/common/failure_texts.h"
#include "gui/common/image_conversion.h"
#include "gui/common/message_box.h"
#include "gui/common/screen_fit.h"
#include "gui/details/icon_details_texts.h"
#include "gui/details/launcher_texts.h"

#include "core/launcher/launcher_menus.h"
#include "core/launcher/origin_launcher.h"
#include "system/paths/app_paths.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <map>
#include <memory>

namespace gb::details {

namespace {

constexpr int kPreviewSide = kMaxIconSide;

// A name for the theme and the PNG files: the file's base name, with the
// icon's number when it is not the file's first.
QString suggestedName(const IconOrigin& origin)
{
    const std::string& file = origin.members.empty() ? origin.path : origin.members.back();
    QString name = QFileInfo(ui::pathText(file)).completeBaseName().toLower();
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    if (name.isEmpty())
        name = QStringLiteral("icon");
    if (origin.index > 0)
        name += QLatin1Char('-') + QString::number(origin.index + 1);
    return name;
}

// The lines of the program's version information it has, or "".
QString versionText(const VersionInfo& version)
{
    QStringList lines;
    const auto add = [&](const QString& label, const std::optional<std::string>& value) {
        if (value)
            lines << label + QString::fromStdString(*value);
    };
    add(texts::kFileDescription, version.text("FileDescription"));
    add(texts::kProductName, version.text("ProductName"));
    add(texts::kVersion, version.version());
    add(texts::kCompany, version.text("CompanyName"));
    return lines.join('\n');
}

// The cursor image enlarged by whole pixels, with a small cross at its hot
// spot: red on a white halo, so it shows on any colour the cursor has.
QPixmap cursorPreview(const CursorImage& image, const CursorStepView& view)
{
    const int scale = cursorPreviewScale(image.width, image.height, kPreviewSide);
    // Converted before it is enlarged, not after: an enlarged RGBA image
    // converted in place kept painting as RGBA (Qt 6.4), so the mark came
    // out with red and blue exchanged.
    QImage enlarged =
        ui::toQImage(image.pixels)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied)
            .scaled(image.width * scale, image.height * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const PreviewPoint at = hotspotMarkAt(view, scale);
    const int arm = std::max(4, scale);
    QPainter painter(&enlarged);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 3}, std::pair{QColor(224, 27, 36), 1}}) {
        painter.setPen(QPen(colour, width));
        painter.drawLine(at.x - arm, at.y, at.x + arm, at.y);
        painter.drawLine(at.x, at.y - arm, at.x, at.y + arm);
    }
    painter.end();
    return QPixmap::fromImage(std::move(enlarged));
}

void inform(QWidget* parent, const QString& text)
{
    ui::showMessage(parent, ui::MessageStyle::Information, texts::kTitle, text);
}

void fail(QWidget* parent, const QString& text)
{
    ui::showMessage(parent, ui::MessageStyle::Critical, texts::kTitle, text);
}

} // namespace

IconDetailsWindow::IconDetailsWindow(IconOrigin origin, QWidget* parent, LauncherPlanner planner)
    : QDialog(parent), origin_(std::move(origin))
{
    setObjectName("iconDetails");
    setWindowTitle(texts::kCaption);
    setAttribute(Qt::WA_DeleteOnClose);

    images_ = new QTreeWidget(this);
    images_->setObjectName("images");
    images_->setAccessibleName(texts::kCaption);
    images_->setRootIsDecorated(false);
    images_->setHeaderLabels({texts::kSizeColumn, texts::kDepthColumn, texts::kFormatColumn});
    images_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    // Why nothing is listed, when the file cannot be read (gone, say).
    problem_ = new QLabel(this);
    problem_->setObjectName("problem");
    problem_->setWordWrap(true);
    problem_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    problem_->hide();

    // What the program says of itself (its version information).
    version_ = new QLabel(this);
    version_->setObjectName("version");
    version_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    version_->hide();

    preview_ = new QLabel(this);
    preview_->setObjectName("preview");
    preview_->setFixedSize(kPreviewSide, kPreviewSide);
    preview_->setAlignment(Qt::AlignCenter);

    // A cursor image's hot spot; shown for a cursor file only.
    hotspot_ = new QLabel(this);
    hotspot_->setObjectName("hotspot");
    hotspot_->setAlignment(Qt::AlignCenter);
    hotspot_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    hotspot_->hide();

    // Each step of an animated cursor sets the time of the next one.
    player_ = new QTimer(this);
    player_->setSingleShot(true);
    connect(player_, &QTimer::timeout, this, [this] {
        if (!cursor_)
            return;
        step_ = nextCursorStep(*cursor_, step_);
        showCursorStep();
    });

    auto* nameLabel = new QLabel(texts::kNameLabel, this);
    name_ = new QLineEdit(suggestedName(origin_), this);
    name_->setObjectName("name");
    name_->setAccessibleName(texts::kNameLabel);
    nameLabel->setBuddy(name_);

    const auto button = [this](const char* objectName, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(objectName);
        b->setAutoDefault(false);
        actions_.push_back(b);
        return b;
    };
    QPushButton* saveIcoButton = button("saveIco", texts::kSaveIco);
    QPushButton* savePngsButton = button("savePngs", texts::kSavePngs);
    QPushButton* installButton = button("install", texts::kInstall);
    QPushButton* launcherButton = button("createLauncher", texts::kCreateLauncher);
    auto* closeButton = new QPushButton(texts::kClose, this);
    closeButton->setObjectName("close");
    connect(saveIcoButton, &QPushButton::clicked, this, &IconDetailsWindow::saveIco);
    connect(savePngsButton, &QPushButton::clicked, this, &IconDetailsWindow::savePngs);
    connect(installButton, &QPushButton::clicked, this, &IconDetailsWindow::install);
    connect(launcherButton, &QPushButton::clicked, this, &IconDetailsWindow::createLauncher);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);

    auto* top = new QHBoxLayout;
    top->addWidget(images_, 1);
    auto* previewColumn = new QVBoxLayout;
    previewColumn->addWidget(preview_);
    previewColumn->addWidget(hotspot_);
    previewColumn->addStretch(1);
    top->addLayout(previewColumn);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(name_, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : actions_)
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(problem_);
    layout->addWidget(version_);
    layout->addLayout(top, 1);
    layout->addLayout(nameRow);
    layout->addLayout(buttons);

    for (QPushButton* b : actions_)
        b->setEnabled(false);
    name_->setEnabled(false);
    resize(720, 380);
    ui::keepOnScreen(*this);

    // The file may be large, slow or gone: it is read and its images decoded
    // on a thread of their own, and the window answers meanwhile. The
    // launcher is planned there too (the program read, its icon decoded and
    // encoded), once: the name the user then chooses is only applied to it.
    const std::string dataDir = defaultDataDir().value_or("");
    query_.start(
        [origin = origin_, dataDir, planner = std::move(planner)](JobContext<NoProgress>& job) {
            auto found =
                std::make_shared<Found>(Found{readOriginDetailsWithCursor(origin, job.abandoned()), {}});
            const auto request = launcherRequestOf(origin, dataDir);
            if (request && found->details.details && !job.stopRequested())
                found->launcher = planner(*request);
            return found;
        },
        {},
        [this] {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    const auto outcome = *query_.snapshot().result;
                    if (!outcome) {
                        // The reading broke off (out of memory): told as a
                        // file whose icons are beyond what can be read.
                        showDetails(
                            std::unexpected(SourceFailure::of(ReadFailure{ReadError::TooLarge, 0, 0})));
                        return;
                    }
                    const std::shared_ptr<Found> found = *outcome;
                    launcher_ = std::move(found->launcher);
                    // A cursor that cannot be read as one is shown as its
                    // first frame's icon, without hot spots or animation.
                    if (found->details.cursor && *found->details.cursor)
                        cursor_ = std::move(**found->details.cursor);
                    showDetails(std::move(found->details.details));
                },
                Qt::QueuedConnection);
        });
}

// The query ends before the window goes (a stop makes it give up at its
// next step); what it posted meanwhile goes with the window, unread.
IconDetailsWindow::~IconDetailsWindow()
{
    query_.stop(Stop::Now);
}

void IconDetailsWindow::showDetails(std::expected<IconDetails, SourceFailure> details)
{
    reading_ = false;
    if (!details) {
        // A shortcut's row is read from the file its icon is drawn from.
        const std::string read = origin_.shown ? origin_.shown->file : origin_.memberPath();
        problem_->setText(texts::kCannotRead + "\n" + ui::sourceFailureText(read, details.error()));
        problem_->show();
        emit readFinished();
        return;
    }
    group_ = std::move(details->group);
    if (details->version)
        version_->setText(versionText(*details->version));
    version_->setVisible(!version_->text().isEmpty());
    for (const StoredImageDetails& image : details->images) {
        QStringList columns;
        if (const auto& header = image.header)
            columns << QStringLiteral("%1×%2").arg(header->width).arg(header->height)
                    << texts::bits(header->bitDepth)
                    << (header->png ? QStringLiteral("PNG") : QStringLiteral("DIB"));
        else
            columns << QStringLiteral("%1×%2").arg(image.declaredWidth).arg(image.declaredHeight)
                    << texts::kUnreadable << texts::kUnreadable;
        images_->addTopLevelItem(new QTreeWidgetItem(columns));
        // A cursor's PNG image has depth 0 where its header says 32.
        rowImages_.push_back(image.header ? WantedCursorImage{image.header->width, image.header->height,
                                                              image.header->png ? 0 : image.header->bitDepth}
                                          : WantedCursorImage{image.declaredWidth, image.declaredHeight, 0});
        previews_.push_back(image.preview ? QPixmap::fromImage(ui::toQImage(*image.preview)) : QPixmap());
    }
    connect(images_, &QTreeWidget::currentItemChanged, this,
            [this] { showImage(images_->indexOfTopLevelItem(images_->currentItem())); });
    // The image Windows draws largest is the first one shown.
    if (details->shownFirst)
        images_->setCurrentItem(images_->topLevelItem(static_cast<int>(*details->shownFirst)));
    for (QPushButton* b : actions_)
        b->setEnabled(true);
    // A program inside an archive or installer cannot be run from there.
    findChild<QPushButton*>("createLauncher")->setEnabled(origin_.members.empty());
    name_->setEnabled(true);
    emit readFinished();
}

void IconDetailsWindow::showImage(int entry)
{
    preview_->clear();
    if (entry < 0 || static_cast<std::size_t>(entry) >= previews_.size())
        return;
    if (cursor_) {
        showCursorStep();
        return;
    }
    if (const QPixmap& image = previews_[static_cast<std::size_t>(entry)]; !image.isNull())
        preview_->setPixmap(image);
}

void IconDetailsWindow::showCursorStep()
{
    player_->stop();
    const int entry = images_->indexOfTopLevelItem(images_->currentItem());
    if (!cursor_ || entry < 0 || static_cast<std::size_t>(entry) >= rowImages_.size())
        return;
    const auto view = cursorStepView(*cursor_, step_, rowImages_[static_cast<std::size_t>(entry)]);
    if (!view) {
        preview_->clear();
        hotspot_->hide();
        return;
    }
    const CursorImage& image =
        cursor_->frames[static_cast<std::size_t>(view->frame)].images[static_cast<std::size_t>(view->image)];
    preview_->setPixmap(cursorPreview(image, *view));
    hotspot_->setText(texts::kHotspot.arg(view->hotspotX).arg(view->hotspotY));
    hotspot_->show();
    if (view->delayMs > 0 && isVisible())
        player_->start(view->delayMs);
}

bool IconDetailsWindow::playing() const
{
    return player_->isActive();
}

void IconDetailsWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (cursor_)
        showCursorStep();
}

void IconDetailsWindow::hideEvent(QHideEvent* event)
{
    player_->stop();
    QDialog::hideEvent(event);
}

void IconDetailsWindow::saveIco()
{
    const QString file =
        QFileDialog::getSaveFileName(this, texts::kSaveIco, name_->text() + ".ico", texts::kIcoFilter,
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (!file.isEmpty())
        saveIcoTo(file);
}

bool IconDetailsWindow::saveIcoTo(const QString& file)
{
    if (!group_)
        return false;
    const auto bytes = encodeOriginalIco(*group_);
    if (!bytes) {
        fail(this, texts::kSaveFailed + file);
        return false;
    }
    if (auto written = exportOneFile(ui::pathBytes(file), *bytes); !written) {
        fail(this, texts::kSaveFailed + "\n" + ui::writeFailureText(ui::pathBytes(file), written.error()));
        return false;
    }
    inform(this, texts::kSaved + file);
    return true;
}

void IconDetailsWindow::savePngs()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, texts::kPngFolder, QString(), QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty())
        savePngsTo(folder);
}

bool IconDetailsWindow::savePngsTo(const QString& folder)
{
    if (!group_)
        return false;
    const std::string base = ui::pathBytes(name_->text());
    if (checkPrefix(base)) {
        fail(this, base.empty() ? texts::kNameEmpty : texts::kNameBad);
        return false;
    }
    // Every stored image, numbered by its place in the group, so two images
    // of one size (of different depths) both keep a file. The lines follow
    // the images' order, whichever step found a file's fate.
    std::map<std::size_t, QString> savedFiles, failedFiles;
    ExportSession session([&](const ExportFile& file, const std::expected<void, WriteFailure>& written) {
        if (written)
            savedFiles[file.number] = ui::pathText(file.path);
        else
            failedFiles[file.number] = ui::writeFailureText(file.path, written.error());
    });
    const std::string into = ui::pathBytes(folder);
    for (std::size_t i = 0; i < group_->entries.size(); ++i) {
        const GroupEntry& entry = group_->entries[i];
        auto image = entry.image ? decodeIconImage(*entry.image) : std::unexpected(ReadFailure{});
        if (!image) {
            failedFiles[i] = texts::imageNotSaved(
                ui::pathText(joinPath(into, unreadableStoredPngName(base, i))), texts::kUndecodable);
            continue;
        }
        const std::string file = joinPath(into, storedPngName(base, i, image->width(), image->height()));
        auto png = encodePng(*image);
        if (!png) {
            failedFiles[i] = texts::imageNotSaved(ui::pathText(file), texts::kUnencodable);
            continue;
        }
        if (auto staged = session.add(ExportFile{file, i, {}}, *png); !staged)
            failedFiles[i] = ui::writeFailureText(file, staged.error());
    }
    session.finish();
    QStringList saved, failed;
    for (const auto& [i, line] : savedFiles)
        saved << line;
    for (const auto& [i, line] : failedFiles)
        failed << line;
    if (!failed.isEmpty()) {
        fail(this, texts::kSaveFailed + "\n" + failed.join('\n'));
        return false;
    }
    inform(this, texts::kSaved + "\n" + saved.join('\n'));
    return true;
}

bool IconDetailsWindow::install()
{
    if (!group_)
        return false;
    const std::string name = ui::pathBytes(name_->text());
    if (const auto problem = checkPrefix(name)) {
        fail(this, *problem == PrefixProblem::Empty ? texts::kNameEmpty : texts::kNameBad);
        return false;
    }
    const HicolorResult result = writeHicolorIcons(nativeImages(*group_), userIconsFolder(), name);
    if (!result.failures.empty()) {
        QStringList lines;
        for (const HicolorFailure& failure : result.failures)
            lines << (failure.unencodable
                          ? texts::imageNotSaved(ui::pathText(failure.file), texts::kUnencodable)
                          : ui::writeFailureText(failure.file, failure.failure));
        fail(this, texts::kSaveFailed + "\n" + lines.join('\n'));
        return false;
    }
    if (result.written.empty()) {
        fail(this, texts::kNoThemeSize);
        return false;
    }
    QStringList lines;
    for (const std::string& file : result.written)
        lines << ui::pathText(file);
    inform(this, texts::kInstalled + "\n" + lines.join('\n'));
    return true;
}

void IconDetailsWindow::createLauncher()
{
    if (!launcher_)
        return;
    if (!*launcher_) {
        fail(this, texts::kLauncherFailed + "\n" + launcherFailureText(launcher_->error()));
        return;
    }
    // The name offered is the one the menu shows (the shortcut's, else the
    // program's); the entry's file keeps the name the plan gave it.
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, texts::kCreateLauncher, texts::kLauncherName, QLineEdit::Normal,
                              QString::fromStdString((*launcher_)->displayName), &ok);
    if (ok)
        createLauncherNamed(name);
}

bool IconDetailsWindow::createLauncherNamed(const QString& name)
{
    if (!launcher_)
        return false;
    if (*launcher_ && name.trimmed().isEmpty()) {
        fail(this, texts::kLauncherFailed + "\n" + texts::kLauncherNameEmpty);
        return false;
    }
    auto plan =
        *launcher_ ? retitledPlan(**launcher_, name.toStdString()) : std::unexpected(launcher_->error());
    const auto write = [](const LauncherPlan& named) {
        const ui::BusyCursor busy;
        auto written = writeLauncher(named);
        // A Start Menu shortcut's launcher goes into its submenu, as the
        // command-line tool puts it; the menus follow the launchers there are.
        if (written && written->outcome != LauncherOutcome::Unchanged)
            if (const auto config = configHome())
                (void)syncLauncherMenus(
                    std::filesystem::path(named.applicationsFolder).parent_path().string(), *config);
        return written;
    };
    std::expected<LauncherWritten, LauncherError> written =
        plan ? write(*plan) : std::unexpected(std::move(plan.error()));
    // The command line's --force, asked for here.
    if (!written && written.error().problem == LauncherProblem::TakenByOther &&
        ui::showMessage(this, ui::MessageStyle::Question, texts::kTitle,
                        texts::kLauncherReplaceOther.arg(ui::pathText(written.error().path)))) {
        plan->force = true;
        written = write(*plan);
    }
    if (!written) {
        fail(this, texts::kLauncherFailed + "\n" + launcherFailureText(written.error()));
        return false;
    }
    QString said;
    switch (written->outcome) {
    case LauncherOutcome::New: said = texts::kLauncherCreated; break;
    case LauncherOutcome::Replaced: said = texts::kLauncherReplaced; break;
    case LauncherOutcome::Unchanged: said = texts::kLauncherUnchanged; break;
    }
    QStringList lines{said, ui::pathText(written->file)};
    for (const LauncherNote& note : plan->notes)
        lines << launcherNoteText(note);
    inform(this, lines.join('\n'));
    return true;
}

} // namespace gb::details
