#pragma once
// The details of one catalogued icon: every image its file stores (size,
// colour depth, PNG or DIB) with a large preview, and the ways to keep it
// whole: the original group as an ICO file, every image as PNG, the icon
// installed into the user's hicolor icon theme, or a launcher of its
// program run by Wine. A cursor file's images show their hot spots, and an
// animated cursor plays in the preview at its own rates while the window
// is shown.

#include "core/catalogue/icon_origin.h"
#include "core/cursors/cursor.h"
#include "core/cursors/cursor_playback.h"
#include "core/icons/icon_details.h"
#include "core/icons/icon_group.h"
#include "core/jobs/background_job.h"
#include "core/launcher/launcher.h"
#include "core/sources/origin_details.h"
#include "core/sources/source_failure.h"

#include <QDialog>
#include <QPixmap>
#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace gb::details {

class IconDetailsWindow : public QDialog {
    Q_OBJECT
public:
    // How a launcher is planned: the core's planLauncher, or in tests one
    // that counts its calls.
    using LauncherPlanner = std::function<std::expected<LauncherPlan, LauncherError>(const LauncherRequest&)>;

    // Reads the icon's stored images anew from its file, and plans the
    // launcher of its program showing that icon (of the shortcut, for a
    // shortcut's row), off the window thread: the window shows them when
    // readFinished is emitted.
    explicit IconDetailsWindow(IconOrigin origin, QWidget* parent = nullptr,
                               LauncherPlanner planner = planLauncher);
    ~IconDetailsWindow() override;

    bool reading() const { return reading_; }
    bool loaded() const { return group_.has_value(); }
    // A cursor file's cursor is shown, and the step of its animation the
    // preview shows; whether the animation is running.
    bool showsCursor() const { return cursor_.has_value(); }
    int cursorStep() const { return step_; }
    bool playing() const;

    // The buttons' commands; the *To forms skip the file dialogs. Each
    // reports its outcome in a message box and returns whether it succeeded.
    void saveIco();
    bool saveIcoTo(const QString& file);
    void savePngs();
    bool savePngsTo(const QString& folder);
    bool install();
    // A desktop launcher for the icon's file run by Wine, named after the
    // program unless the user changes the name offered: the launcher
    // planned with the query, given the name chosen.
    void createLauncher();
    bool createLauncherNamed(const QString& name);

signals:
    // The file has been read, or found unreadable, and the window shows it.
    void readFinished();

protected:
    // The animation runs only while the window is shown, and stops when it
    // is closed.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // What the query found: the icon's details, and the launcher of its
    // file (none for a member of an archive or installer, which cannot be
    // run from there).
    struct Found {
        OriginDetails details; // with a cursor file's cursor
        std::optional<std::expected<LauncherPlan, LauncherError>> launcher;
    };
    struct NoProgress {};

    void showDetails(std::expected<IconDetails, SourceFailure> details);
    void showImage(int entry);
    // The cursor at the current step, as the chosen image; the timer set
    // for the step after it.
    void showCursorStep();

    IconOrigin origin_;
    bool reading_ = true;
    std::optional<IconGroup> group_;           // holds the bytes of its images
    std::vector<QPixmap> previews_;            // one per entry; null where the image does not decode
    std::vector<WantedCursorImage> rowImages_; // what each entry is, to find it in every frame
    std::optional<Cursor> cursor_;             // a cursor file's, readable
    int step_ = 0;
    QTimer* player_ = nullptr; // the next step of an animated cursor
    QLabel* hotspot_ = nullptr;
    QTreeWidget* images_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* preview_ = nullptr;
    QLineEdit* name_ = nullptr;
    std::vector<QPushButton*> actions_;
    std::optional<std::expected<LauncherPlan, LauncherError>> launcher_;
    // Reads the file and plans the launcher; posts what it found to the
    // window. Last, so that it ends before any member it could reach goes.
    BackgroundJob<NoProgress, std::shared_ptr<Found>> query_;
};

} // namespace gb::details
