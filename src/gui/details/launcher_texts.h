#pragma once
// What the details window says of a launcher it could not make, in words,
// from the kind of failure the launcher reports.

#include "core/launcher/launcher.h"

#include <QString>

namespace gb::details {

QString launcherFailureText(const LauncherError& error);

} // namespace gb::details
