// The compound file module: libgsf's compound file reader behind the plain
// C calls of compound_module_api.h. The programs load it only when they
// meet their first installer package, so a run that reads none never loads
// libgsf, GLib, libxml2 and ICU.
#include "core/containers/compound_module_api.h"
#include "core/containers/gsf_messages.h"
#include "core/containers/gsf_source_input.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

struct GbCompound {
    gb::GsfMessages messages; // libgsf's warnings while the package is open
    gb::GObjectPtr<GsfInput> input;
    gb::GObjectPtr<GsfInfile> root;
};

struct GbCompoundStream {
    gb::GObjectPtr<GsfInput> input;
};

namespace {

char* copyText(const std::string& text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr)
        std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

GbCompound* openRoot(const GbCompoundInput* input, char** error)
{
    *error = nullptr;
    auto compound = std::unique_ptr<GbCompound>(new (std::nothrow) GbCompound);
    if (!compound) {
        *error = copyText("out of memory");
        return nullptr;
    }
    compound->input = gb::newSourceInput(*input);
    GError* failure = nullptr;
    compound->root.reset(gsf_infile_msole_new(compound->input.get(), &failure));
    if (!compound->root) {
        std::string detail = failure != nullptr ? failure->message : "not a compound file";
        if (const std::string warned = compound->messages.take(); !warned.empty())
            detail += ": " + warned;
        g_clear_error(&failure);
        *error = copyText(detail);
        return nullptr;
    }
    return compound.release();
}

void closeRoot(GbCompound* root)
{
    delete root;
}

int countOf(GbCompound* root)
{
    return gsf_infile_num_children(root->root.get());
}

const char* nameOf(GbCompound* root, int index)
{
    return gsf_infile_name_by_index(root->root.get(), index);
}

GbCompoundStream* openChild(GbCompound* root, int index, char** warning)
{
    *warning = nullptr;
    (void)root->messages.take();
    gb::GObjectPtr<GsfInput> child(gsf_infile_child_by_index(root->root.get(), index));
    if (!child) {
        *warning = copyText(root->messages.take());
        return nullptr;
    }
    return new (std::nothrow) GbCompoundStream{std::move(child)};
}

void closeChild(GbCompoundStream* child)
{
    delete child;
}

int isStorage(GbCompoundStream* child)
{
    return gsf_infile_num_children(GSF_INFILE(child->input.get())) >= 0 ? 1 : 0;
}

std::uint64_t sizeOf(GbCompoundStream* child)
{
    return static_cast<std::uint64_t>(gsf_input_size(child->input.get()));
}

int readFromStart(GbCompoundStream* child, unsigned char* into, std::size_t count)
{
    if (count == 0)
        return 1;
    return gsf_input_seek(child->input.get(), 0, G_SEEK_SET) == FALSE &&
                   gsf_input_read(child->input.get(), count, into) != nullptr
               ? 1
               : 0;
}

void freeText(char* text)
{
    std::free(text);
}

constexpr GbCompoundApi kApi{
    kGbCompoundApiVersion, openRoot, closeRoot, countOf, nameOf, openChild, closeChild, isStorage, sizeOf,
    readFromStart,         freeText};

} // namespace

extern "C" __attribute__((visibility("default"))) const GbCompoundApi* gb_compound_api(void)
{
    return &kApi;
}
