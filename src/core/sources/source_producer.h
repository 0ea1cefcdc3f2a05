#pragma once
// The one producer of icon sources. A file met by a walk, a path given, or
// an origin to read again goes in; out come the sources of icons it holds,
// each with its origin: the file itself, or, when containers are looked
// into and the file is one by its content, each member read for icons (a
// nested container's members in the place of that container), then each
// member skipped or container stopped, with why. The search, the command
// line, the details window and the thumbnailer all read files through it,
// so a failure keeps its kind (encrypted, damaged, hostile...) to whoever
// shows it.

#include "core/bytes/file_source.h"
#include "core/catalogue/icon_origin.h"
#include "core/containers/container_walk.h"
#include "core/icons/icon_source.h"
#include "core/sources/source_failure.h"

#include <expected>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

namespace gb {

// One source of icons and where it lies (the origin's index is 0), or why
// there is none.
struct ProducedSource {
    IconOrigin origin;
    std::expected<IconSource, SourceFailure> source;
    // A container's member whose icons could not be read, kept so that its
    // bytes can still be read for cursors (an animated cursor whose frames
    // the icon reader refuses); null otherwise.
    std::shared_ptr<const IconSource> refused = {};
};

// A file met by a walk, already opened through the folder the walk holds.
struct FoundSourceFile {
    std::string path;
    std::expected<FileSource, ReadFailure> file;
    // False: visited only because it is named like a container; it gives
    // nothing unless it is one.
    bool matched = true;
};

struct SourceWalk {
    bool containers = false; // look inside containers (by content, never by name)
    // Which members are read, by name (the last path component): the
    // search's pattern. None: every member.
    std::function<bool(const std::string& name)> wanted;
    // The container's limits; its decompression allowance is made from them
    // for each outermost container.
    ContainerLimits limits;
    // Gives up a file being indexed (an exit that must not wait).
    std::stop_token stop;
    // Ends a container's walk, keeping the members read before it; the
    // members' indexing gives up with it.
    std::stop_token containerStop;
    // A Windows shortcut (known by its content) gives the one icon Explorer
    // shows for it (see shortcutSource); else it is read as any file.
    bool shortcuts = false;
};

using SourceSink = std::function<void(ProducedSource)>;

// Hands `sink` the sources of one file met by a walk, in walk order. The
// container is made out once, from the file's content.
void produceSources(FoundSourceFile found, const SourceWalk& walk, const SourceSink& sink);
// The same with a container's members read on `workers` threads side by
// side: `work` runs for each source on any of them (for a file that is no
// container, on the caller's), and what it returns runs on the caller's
// thread in walk order, before this returns. So a disk image's files are
// drawn on every core and still handed on as one thread would.
using SourceWork = std::function<std::function<void()>(ProducedSource)>;
void produceSourcesOnCores(FoundSourceFile found, const SourceWalk& walk, unsigned workers,
                           const SourceWork& work);
// The same for a path as given (opened here; only a regular file is read).
void produceSources(const std::string& path, const SourceWalk& walk, const SourceSink& sink);

// The source an origin names, read again: the file, its member (the
// containers read again up to it, within `limits`), or the file a
// shortcut's icon is drawn from. A member no longer
// there is NoSuchMember; the icon's index is not looked at.
std::expected<IconSource, SourceFailure>
openOrigin(const IconOrigin& origin, const ContainerLimits& limits = {}, const std::stop_token& stop = {});

} // namespace gb
