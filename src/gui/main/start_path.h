#pragma once
// glimmerbox PATH (also what a file manager's "Open With" runs): a folder
// goes into the search path t2; a file puts its folder into t2 and a pattern
// matching just its name into the pattern t1, ready to search (the main
// window's setStartPath).

#include <QByteArray>
#include <QString>
#include <optional>

namespace gb {

struct StartPath {
    QString folder;
    QString pattern; // empty: t1 keeps its default
};

// A path or file:// URL as the command line gives it (bytes: a name need not
// be UTF-8), relative paths taken from the current folder; nullopt for one
// that names nothing there, or whose folder the path field cannot show.
std::optional<StartPath> startPathFor(const QByteArray& argument);

} // namespace gb
