#pragma once
// What the details window says of a launcher it could not make, in words,
// from the kind of failure the launcher reports; and of what a launcher
// took in place of what its shortcut asked for.

#include "core/launcher/launcher.h"

#include <QString>

namespace gb::details {

QString launcherFailureText(const LauncherError& error);
// One line per note, in the plan's order.
QString launcherNoteText(const LauncherNote& note);

} // namespace gb::details
