#pragma once
// A libgsf input over the program's bytes, so the compound file reader
// asks for exactly the blocks it walks: bytes in memory are lent to libgsf
// as they are, and a file is read with positioned reads, block by block,
// never whole. Used only inside the compound file module; nothing outside it
// sees a GLib type.

#include "core/containers/compound_module_api.h"

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

// The input's context and memory must outlive everything libgsf opens over it.
GObjectPtr<GsfInput> newSourceInput(const GbCompoundInput& source);

} // namespace gb
