#pragma once
// pGetIcons: every icon of one file drawn at 32x32 and 16x16 (and for 64
// device pixels when the options ask), with its origin (the file's path and
// the icon's index). Runs on the search's worker thread; the window appends
// the result to its catalogue.

#include "core/bytes/file_source.h"
#include "core/catalogue/catalogue_store.h"
#include "core/icons/icon_source.h"

#include <stop_token>
#include <string>
#include <vector>

namespace gb {

// A file that cannot be read or holds no icons gives none, silently. When
// `stop` is requested the file is abandoned midway with what it gave so far.
std::vector<FoundIcon> extractFileIcons(const std::string& path, std::stop_token stop = {},
                                        ExtractOptions options = {});
// The same for the file at `path` already open as `file`.
std::vector<FoundIcon> extractFileIcons(const std::string& path, FileSource file, std::stop_token stop = {},
                                        ExtractOptions options = {});

// Every icon of an indexed source, each with `origin` but for its index,
// appended in order until a stop or memory runs out; for a shortcut's
// origin, the one icon it shows.
void appendSourceIcons(const IconSource& source, const IconOrigin& origin, ExtractOptions options,
                       std::vector<FoundIcon>& icons);

// Appends a file's icons in order; the first origin already present ends the
// file (so no file is catalogued twice and the lists stay in step).
// Returns how many were added.
std::size_t addFileIcons(CatalogueStore& store, std::vector<FoundIcon> icons);

} // namespace gb
