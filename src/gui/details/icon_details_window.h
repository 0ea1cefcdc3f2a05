#pragma once
// The details of one catalogued icon: every image its file stores (size,
// colour depth, PNG or DIB) with a large preview, and the ways to keep it
// whole: the original group as an ICO file, every image as PNG, or the
// icon installed into the user's hicolor icon theme.

#include "core/catalogue/icon_origin.h"
#include "core/icons/icon_group.h"
#include "core/icons/icon_source.h"

#include <QDialog>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace gb::details {

class IconDetailsWindow : public QDialog {
    Q_OBJECT
public:
    // Reads the icon's stored images anew from its file.
    explicit IconDetailsWindow(IconOrigin origin, QWidget* parent = nullptr);
    ~IconDetailsWindow() override;

    bool loaded() const { return group_.has_value(); }

    // The buttons' commands; the *To forms skip the file dialogs. Each
    // reports its outcome in a message box and returns whether it succeeded.
    void saveIco();
    bool saveIcoTo(const QString& file);
    void savePngs();
    bool savePngsTo(const QString& folder);
    bool install();

private:
    void showImage(int entry);

    IconOrigin origin_;
    std::optional<IconSource> source_; // keeps the group's bytes alive
    std::optional<IconGroup> group_;
    QTreeWidget* images_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* preview_ = nullptr;
    QLineEdit* name_ = nullptr;
    std::vector<QPushButton*> actions_;
};

} // namespace gb::details
