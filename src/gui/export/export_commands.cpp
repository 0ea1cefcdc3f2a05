#include "gui/export/export_commands.h"
#include "gui/common/path_text.h"

#include "core/export/export_encoding.h"
#include "core/export/export_session.h"
#include "core/imagefiles/bmp_writer.h"
#include "gui/common/busy_cursor.h"
#include "gui/common/failure_texts.h"
#include "gui/common/image_conversion.h"
#include "gui/common/message_box.h"
#include "gui/export/export_texts.h"
#include "system/paths/app_paths.h"

#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>

namespace gb {

namespace {
constexpr int kProgressMilliseconds = 40;
} // namespace

// What tells the eight batch commands apart.
struct ExportCommands::BatchVariant {
    bool ico;   // ICO into "icons", else BMP into "bmps"
    bool large; // 32x32, else 16x16
    bool gray;
    QString promptTitle;
    QString missingTitle; // the title of the missing-prefix message
};

static const ExportCommands::BatchVariant& variantOf(ExportCommands::Batch batch)
{
    using B = ExportCommands::Batch;
    static const ExportCommands::BatchVariant variants[] = {
        {true, true, false, texts::kSaveAll32, texts::kSaveAll},
        // The 16x16 icon batch titles its message with its own prompt title.
        {true, false, false, texts::kSaveAll16, texts::kSaveAll16},
        {false, true, false, texts::kBatch32, texts::kBatch},
        {false, false, false, texts::kBatch16, texts::kBatch},
        {true, true, true, texts::kGrayIco32, texts::kSaveAll},
        {true, false, true, texts::kGrayIco16, texts::kSaveAll},
        {false, true, true, texts::kGrayBmp32, texts::kBatch},
        {false, false, true, texts::kGrayBmp16, texts::kBatch},
    };
    static_assert(static_cast<int>(B::hdbmp2) == 7);
    return variants[static_cast<int>(batch)];
}

ExportCommands::ExportCommands(CatalogueHost& host, QObject* parent)
    : QObject(parent), host_(host), filess_(new QMenu(host.hostWindow()))
{
    filess_->setObjectName("filess");
    filess_->setTitle(QStringLiteral("file"));
    saveico_ = action(filess_, "saveico", texts::kSaveIcon);
    copyico_ = action(filess_, "copyico", texts::kCopyIcon);
    QAction* delico = action(filess_, "delico", texts::kDeleteIcon);
    savebmp_ = action(filess_, "savebmp", texts::kSaveBitmap);
    connect(saveico_, &QAction::triggered, this, &ExportCommands::saveico_Click);
    connect(copyico_, &QAction::triggered, this, &ExportCommands::copyico_Click);
    connect(delico, &QAction::triggered, this, &ExportCommands::delico_Click);
    connect(savebmp_, &QAction::triggered, this, &ExportCommands::savebmp_Click);

    const auto submenu = [this](const char* name, const QString& caption, const char* separator,
                                const char* names[4], Batch first) {
        QMenu* menu = filess_->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        const QString captions[] = {texts::kIco32, texts::kIco16, texts::kBmp32, texts::kBmp16};
        for (int i = 0; i < 4; ++i) {
            if (i == 2)
                menu->addSeparator()->setObjectName(separator);
            QAction* item = action(menu, names[i], captions[i]);
            const auto batch = static_cast<Batch>(static_cast<int>(first) + i);
            connect(item, &QAction::triggered, this, [this, batch] { runBatchCommand(batch); });
        }
    };
    const char* colour[4] = {"saveall", "tp16", "savebmpall", "wt16"};
    submenu("plbc", texts::kBatchSave, "fgx", colour, Batch::saveall);
    filess_->addSeparator()->setObjectName("fg1");
    const char* gray[4] = {"hdico1", "hdico2", "hdbmp1", "hdbmp2"};
    submenu("hdbc", texts::kGraySave, "fg21", gray, Batch::hdico1);

    batchTimer_.setInterval(kProgressMilliseconds);
    connect(&batchTimer_, &QTimer::timeout, this, &ExportCommands::collectBatchProgress);
}

ExportCommands::~ExportCommands() = default;

QAction* ExportCommands::action(QMenu* menu, const char* name, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    return item;
}

// ---- the menu ------------------------------------------------------------

bool ExportCommands::pOneSelected() const
{
    return host_.selectedRows().size() <= 1;
}

void ExportCommands::lv_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        openMenuAt(QCursor::pos());
}

void ExportCommands::openMenuAt(QPoint globalPosition)
{
    if (host_.catalogue().rows().empty())
        return;
    // The single-icon commands need one current icon: not offered when
    // several rows are selected.
    const bool one = pOneSelected();
    saveico_->setEnabled(one);
    copyico_->setEnabled(one);
    savebmp_->setEnabled(one);
    filess_->popup(globalPosition);
}

std::optional<std::size_t> ExportCommands::currentIcon() const
{
    const auto& rows = host_.catalogue().rows();
    int row = host_.currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
        // No current row: the selected one, as the list's SelectedItem gives it.
        const std::vector<int> selected = host_.selectedRows();
        if (selected.empty())
            return std::nullopt;
        row = selected.front();
    }
    return rows[static_cast<std::size_t>(row)].icon;
}

// ---- single icons --------------------------------------------------------

QFileDialog* ExportCommands::saveDialog()
{
    // One dialog for both commands; the name chosen last is offered again.
    if (!cdlOpen_) {
        cdlOpen_ = std::make_unique<QFileDialog>(host_.hostWindow());
        cdlOpen_->setObjectName("cdlOpen");
        cdlOpen_->setOption(QFileDialog::DontUseNativeDialog);
        cdlOpen_->setAcceptMode(QFileDialog::AcceptSave);
        cdlOpen_->setFileMode(QFileDialog::AnyFile);
    }
    return cdlOpen_.get();
}

void ExportCommands::saveico_Click()
{
    if (host_.catalogue().rows().empty()) {
        ui::showMessage(host_.hostWindow(), ui::MessageStyle::Information, texts::kSaveTitle,
                        texts::kNothingToSave);
        return;
    }
    // An ICO file whatever extension was typed.
    saveCurrentIcon(texts::kSaveIconDialog, texts::kIcoFilter32, texts::kIcoFilter16, QStringLiteral("ico"),
                    BatchKind::Ico);
}

void ExportCommands::savebmp_Click()
{
    saveCurrentIcon(texts::kSaveBitmapDialog, texts::kBmpFilter32, texts::kBmpFilter16, QStringLiteral("bmp"),
                    BatchKind::Bmp);
}

// The one save dialog, then the current icon at the size of the chosen
// filter entry (the first 32x32, the second 16x16).
void ExportCommands::saveCurrentIcon(const QString& title, const QString& filter32, const QString& filter16,
                                     const QString& suffix, BatchKind kind)
{
    QFileDialog* dialog = saveDialog();
    dialog->setWindowTitle(title);
    dialog->setNameFilters({filter32, filter16});
    dialog->setDefaultSuffix(suffix);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().value(0).isEmpty())
        return;
    const QString file = dialog->selectedFiles().value(0);
    dialog->selectFile(file);
    const auto icon = currentIcon();
    if (!icon) {
        ui::showMessage(host_.hostWindow(), ui::MessageStyle::Information, texts::kSaveTitle,
                        texts::kNothingToSave);
        return;
    }
    const bool large = dialog->selectedNameFilter() == filter32;
    const CatalogueImage& image = host_.catalogue().image(*icon);
    const auto bytes = encodeBatchIcon(large ? *image.large : *image.small, kind, false);
    if (auto written = exportOneFile(ui::pathBytes(file), bytes); !written)
        ui::showMessage(host_.hostWindow(), ui::MessageStyle::Critical, texts::kSaveTitle,
                        texts::notWritten(ui::writeFailureText(ui::pathBytes(file), written.error())));
}

void ExportCommands::copyico_Click()
{
    if (host_.catalogue().rows().empty()) {
        ui::showMessage(host_.hostWindow(), ui::MessageStyle::Information, texts::kCopyTitle,
                        texts::kNothingToCopy);
        return;
    }
    const auto icon = currentIcon();
    if (!icon)
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    // Always the 32x32 image, as the drawing surface shows it: on the button face.
    clipboard->setImage(ui::toQImage(composeOver(*host_.catalogue().image(*icon).large, kButtonFace)));
}

void ExportCommands::delico_Click()
{
    const ui::BusyCursor busy;
    std::vector<std::size_t> positions;
    for (int row : host_.selectedRows())
        positions.push_back(static_cast<std::size_t>(row));
    // Only rows go; their images stay, and the other rows keep their own.
    host_.catalogue().removeRows(positions);
    host_.catalogueChanged();
    host_.clickUnderPointer();
}

// ---- batches -------------------------------------------------------------

void ExportCommands::runBatchCommand(Batch which)
{
    const BatchVariant& variant = variantOf(which);
    if (batchRunning()) {
        // One batch at a time, and the user hears why nothing started.
        ui::showMessage(host_.hostWindow(), ui::MessageStyle::Information, variant.missingTitle,
                        texts::kBatchBusy);
        return;
    }
    bool accepted = false;
    const QString prefix = QInputDialog::getText(host_.hostWindow(), variant.promptTitle,
                                                 variant.ico ? texts::kIcoPrompt : texts::kBmpPrompt,
                                                 QLineEdit::Normal, QString(), &accepted);
    if (!accepted || prefix.isEmpty()) {
        ui::showMessage(host_.hostWindow(), ui::MessageStyle::Information, variant.missingTitle,
                        texts::kNoPrefix);
        return;
    }
    const std::string prefixBytes = ui::pathBytes(prefix);
    if (checkPrefix(prefixBytes)) {
        ui::showMessage(host_.hostWindow(), ui::MessageStyle::Information, variant.missingTitle,
                        texts::kBadPrefix);
        return;
    }

    // The batch holds the rows' images (shared, never changed), so a search
    // or a deletion meanwhile cannot change what it writes.
    BatchJob job;
    job.kind = variant.ico ? BatchKind::Ico : BatchKind::Bmp;
    job.gray = variant.gray;
    job.prefix = prefixBytes;
    job.folder = joinPath(host_.outputFolder(), variant.ico ? "icons" : "bmps");
    const CatalogueStore& store = host_.catalogue();
    for (const CatalogueRow& row : store.rows())
        job.icons.push_back(variant.large ? store.image(row.icon).large : store.image(row.icon).small);

    busy_ = std::make_unique<ui::BusyCursor>();
    running_ = &variant;
    runningFolder_ = job.folder;
    batch_.start(std::move(job));
    batchTimer_.start();
}

void ExportCommands::collectBatchProgress()
{
    const BackgroundBatch::State state = batch_.state();
    const BatchVariant& variant = *running_;
    if (variant.gray && state.done > 0) {
        if (!variant.ico)
            host_.setStatusText(texts::savingGrayBitmaps(state.done, state.total));
        else if (state.pass == BatchPass::Converting)
            host_.setStatusText(texts::converting(state.done, state.total));
        else
            host_.setStatusText(texts::savingGrayIcons(state.done, state.total));
    }
    if (!state.finished)
        return;
    batchTimer_.stop();
    busy_.reset();
    // The batch is over before anything is shown, so a batch started while
    // the message is up finds the way clear and this report stays whole.
    running_ = nullptr;
    const BatchReport& report = state.report;
    // Beside the program the user knows where the files are; anywhere else
    // (the program's folder could not be written) the last words say where.
    const QString where =
        host_.outputFolder() == programFolder() ? QString() : texts::savedIn(ui::pathText(runningFolder_));
    if (report.cancelled)
        host_.setStatusText(texts::batchCancelled(report.written, report.failed) + where);
    else if (report.failed > 0)
        host_.setStatusText(texts::batchPartlyWritten(report.written, report.failed) + where);
    else if (variant.gray)
        host_.setStatusText(texts::grayWritten(variant.ico ? texts::kGrayIconsDone : texts::kGrayBitmapsDone,
                                               report.written) +
                            where);
    else
        host_.setStatusText(texts::batchWritten(report.written) + where);
    if (report.failed > 0 && !report.cancelled)
        ui::showMessage(
            host_.hostWindow(), ui::MessageStyle::Critical, variant.missingTitle,
            texts::someNotWritten(report.written, report.failed, where,
                                  ui::writeFailureText(report.firstFailedPath, report.firstWriteError)));
    emit batchFinished();
}

void ExportCommands::cancelBatch()
{
    batch_.cancel();
}

} // namespace gb
