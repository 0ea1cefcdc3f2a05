#pragma once
// A libgsf input over one of our byte sources, so the compound file reader
// asks for exactly the blocks it walks: bytes in memory are lent to libgsf
// as they are, and a file is read with positioned reads, block by block,
// never whole. Used only inside the installer reader; nothing outside this
// library sees a GLib type.

#include "core/bytes/byte_source.h"

#include <glib-object.h>
#include <gsf/gsf-fwd.h>

#include <memory>

namespace gb {

struct GObjectUnref {
    void operator()(void* object) const
    {
        if (object != nullptr)
            g_object_unref(object);
    }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// The source must outlive the input and everything libgsf opens over it.
GObjectPtr<GsfInput> newSourceInput(const ByteSource& source);

} // namespace gb
