#pragma once
// A Windows shortcut met as a file is one source of one icon: the icon
// Explorer shows for it. That is the icon file and index the shortcut
// names, else its target's first icon, both looked up in the Wine prefix
// the shortcut lies in. A folder searched may hold anything (downloads,
// another user's files), so the lookup is confined as the thumbnailer's
// is: to the prefix's folders (the shortcut's own folder without a
// prefix) and the prefix's drives, and only a regular file is opened.

#include "core/sources/source_producer.h"

#include <optional>
#include <stop_token>
#include <string>

namespace gb {

// The source of the icon the shortcut at `path` (open as `file`) shows,
// with an origin whose path is the shortcut and whose `shown` names the
// icon's file and position; or why it cannot be had. None when the file is
// no shortcut by its content.
std::optional<ProducedSource> shortcutSource(const std::string& path, const ByteSource& file,
                                             std::stop_token stop = {});

} // namespace gb
