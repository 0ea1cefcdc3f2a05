#include "core/containers/gsf_source_input.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-impl.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-proxy.h>
#include <gsf/gsf-shared-memory.h>

#include <mutex>

namespace gb {
namespace {

// A GsfInput subclass: libgsf checks every read against the size it was
// given and moves cur_offset itself, so Read only fetches
// [cur_offset, cur_offset + count) and Seek has nothing to do.
struct SourceInput {
    GsfInput parent; // first, so the instance is a GsfInput
    GbCompoundInput source;
    guint8* buffer; // for reads that bring no buffer of their own: one block at a time
    std::size_t bufferSize;
};

GObjectClass* parentClass = nullptr;

SourceInput* asSourceInput(GsfInput* input)
{
    return reinterpret_cast<SourceInput*>(input);
}

GsfInput* makeInput(const GbCompoundInput& source);

const guint8* readInput(GsfInput* input, std::size_t count, guint8* into)
{
    SourceInput* self = asSourceInput(input);
    if (into == nullptr) {
        // The caller reads the block before the next read, so one buffer
        // serves; libgsf never asks for more than the input holds.
        if (self->bufferSize < count) {
            g_free(self->buffer);
            self->buffer = static_cast<guint8*>(g_malloc(count));
            self->bufferSize = count;
        }
        into = self->buffer;
    }
    const auto offset = static_cast<std::uint64_t>(input->cur_offset);
    const std::size_t got = self->source.readAt(self->source.context, offset, into, count);
    // A file that shrank since it was opened: libgsf takes the short read
    // as the damaged file it now is.
    return got == count ? into : nullptr;
}

gboolean seekInput(GsfInput*, gsf_off_t, GSeekType)
{
    return FALSE; // FALSE is success: the next read starts at cur_offset anyway
}

GsfInput* dupInput(GsfInput* input, GError**)
{
    return makeInput(asSourceInput(input)->source);
}

void finalizeInput(GObject* object)
{
    SourceInput* self = reinterpret_cast<SourceInput*>(object);
    g_free(self->buffer);
    self->buffer = nullptr;
    parentClass->finalize(object);
}

void initClass(gpointer klass, gpointer)
{
    parentClass = static_cast<GObjectClass*>(g_type_class_peek_parent(klass));
    static_cast<GObjectClass*>(klass)->finalize = finalizeInput;
    auto* input = static_cast<GsfInputClass*>(klass);
    input->Read = readInput;
    input->Seek = seekInput;
    input->Dup = dupInput;
}

GType sourceInputType()
{
    // Registered once, by whichever thread gets here first.
    static const GType type = g_type_register_static_simple(
        gsf_input_get_type(), g_intern_static_string("GbSourceInput"), sizeof(GsfInputClass), initClass,
        sizeof(SourceInput), nullptr, static_cast<GTypeFlags>(0));
    return type;
}

GsfInput* makeInput(const GbCompoundInput& source)
{
    auto* self = static_cast<SourceInput*>(g_object_new(sourceInputType(), nullptr));
    self->source = source; // the rest is zeroed by GObject
    gsf_input_set_size(&self->parent, static_cast<gsf_off_t>(source.size));
    return &self->parent;
}

// libgsf registers each of its classes on first use without a lock, so two
// threads opening their first package at once could both register one and
// get no type. Every class a package reading touches is registered here,
// once, before any thread uses them.
void registerTypes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const GType type : {gsf_input_get_type(), gsf_infile_get_type(), gsf_infile_msole_get_type(),
                                 gsf_input_memory_get_type(), gsf_input_proxy_get_type(),
                                 gsf_shared_memory_get_type(), sourceInputType()})
            g_type_ensure(type);
    });
}

} // namespace

GObjectPtr<GsfInput> newSourceInput(const GbCompoundInput& source)
{
    registerTypes();
    if (source.memory != nullptr && source.size > 0) {
        // Lent, not copied: libgsf hands out views into it and frees nothing.
        return GObjectPtr<GsfInput>(
            gsf_input_memory_new(source.memory, static_cast<gsf_off_t>(source.size), FALSE));
    }
    return GObjectPtr<GsfInput>(makeInput(source));
}

} // namespace gb
