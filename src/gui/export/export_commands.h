#pragma once
// The catalogue's pop-up menu "filess" and its commands: save the current
// icon as ICO or BMP, copy it, delete the selected rows, and the colour and
// gray batch saves. The window that shows the catalogue is reached through
// CatalogueHost, so the commands need nothing else of it.

#include "core/catalogue/catalogue_store.h"
#include "core/export/batch_save.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <memory>

class QAction;
class QFileDialog;
class QMenu;
class QWidget;

namespace gb {

namespace ui {
class BusyCursor;
}

class CatalogueHost {
public:
    virtual ~CatalogueHost() = default;
    virtual CatalogueStore& catalogue() = 0;
    virtual std::vector<int> selectedRows() const = 0; // from 0, ascending
    virtual int currentRow() const = 0;                // -1 when there is none
    virtual void catalogueChanged() = 0;               // rows were removed: show them anew
    virtual void clickUnderPointer() = 0;              // the click that follows a deletion
    virtual void setStatusText(const QString& text) = 0;
    virtual const std::string& outputFolder() const = 0;
    virtual QWidget* hostWindow() = 0;
};

class ExportCommands : public QObject {
    Q_OBJECT
public:
    explicit ExportCommands(CatalogueHost& host, QObject* parent = nullptr);
    ~ExportCommands() override;

    QMenu* menu() const { return filess_; }
    QFileDialog* saveDialog();

    // A mouse button went down over the catalogue.
    void lv_MouseDown(Qt::MouseButton button);
    // The menu as the right button opens it, at a place of the caller's:
    // the current row, when the keyboard asks for the menu.
    void openMenuAt(QPoint globalPosition);
    bool pOneSelected() const;

    void saveico_Click();
    void savebmp_Click();
    void copyico_Click();
    void delico_Click();

    // The batch commands; the prompt can be answered in advance (tests).
    enum class Batch { saveall, tp16, savebmpall, wt16, hdico1, hdico2, hdbmp1, hdbmp2 };
    void runBatchCommand(Batch batch);
    // From the start of a batch until its end has been reported.
    bool batchRunning() const { return running_ != nullptr; }
    // Ends a running batch before its next file (the window is closing).
    void cancelBatch();
    struct BatchVariant;

signals:
    void batchFinished();

private:
    void collectBatchProgress();
    void saveCurrentIcon(const QString& title, const QString& filter32, const QString& filter16,
                         const QString& suffix, BatchKind kind);
    QAction* action(QMenu* menu, const char* name, const QString& caption);
    std::optional<std::size_t> currentIcon() const;

    CatalogueHost& host_;
    QMenu* filess_;
    QAction* saveico_;
    QAction* copyico_;
    QAction* savebmp_;
    std::unique_ptr<QFileDialog> cdlOpen_;
    BackgroundBatch batch_;
    QTimer batchTimer_;
    std::unique_ptr<ui::BusyCursor> busy_;
    const BatchVariant* running_ = nullptr;
    std::string runningFolder_; // where the running batch writes
};

} // namespace gb
