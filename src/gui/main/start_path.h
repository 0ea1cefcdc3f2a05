#pragma once
// glimmerbox PATH (also what a file manager's "Open With" runs): a folder
// goes into the search path t2; a file puts its folder into t2 and its name
// into the pattern t1, ready to search.

#include <QString>
#include <optional>

class QWidget;

namespace gb {

struct StartPath {
    QString folder;
    QString pattern; // empty: t1 keeps its default
};

// A path or file:// URL, relative paths taken from the current folder;
// nullopt for one that names nothing there.
std::optional<StartPath> startPathFor(const QString& argument);

// Types the start path into the main window's t2 (and t1).
void applyStartPath(QWidget& mainWindow, const StartPath& start);

} // namespace gb
