#include "core/containers/compound_file.h"

#include "core/containers/compound_module_api.h"
#include "core/containers/program_folder.h"
#include "core/text/utf8_text.h"

#include <dlfcn.h>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace gb {
namespace {

bool regularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::expected<const GbCompoundApi*, std::string> loadModule()
{
#ifdef GB_INSTALLED_COMPOUND_MODULE
    const char* installed = GB_INSTALLED_COMPOUND_MODULE;
#else
    const char* installed = nullptr;
#endif
    // Beside the program in a build, else where it is installed;
    // GLIMMERBOX_COMPOUND_MODULE names another.
    const std::string path =
        findHelper("GLIMMERBOX_COMPOUND_MODULE", kGbCompoundModuleName, {}, installed, regularFile);
    if (path.empty())
        return std::unexpected(std::string("the installer package reader (") + kGbCompoundModuleName +
                               ") is not installed");
    // Kept loaded until the program ends: GLib's types cannot be unloaded.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module == nullptr) {
        const char* why = ::dlerror();
        return std::unexpected("the installer package reader cannot be loaded: " +
                               std::string(why != nullptr ? why : path));
    }
    using Entry = const GbCompoundApi* (*)();
    auto entry = reinterpret_cast<Entry>(::dlsym(module, "gb_compound_api"));
    const GbCompoundApi* api = entry != nullptr ? entry() : nullptr;
    if (api == nullptr || api->version != kGbCompoundApiVersion)
        return std::unexpected("the installer package reader at " + path + " is of another version");
    return api;
}

std::size_t readFromSource(void* context, std::uint64_t offset, unsigned char* into, std::size_t count)
{
    const auto* source = static_cast<const ByteSource*>(context);
    return source->readAt(offset, std::as_writable_bytes(std::span(into, count)));
}

// UTF-8 back to the UTF-16 units it was made from; a byte that is not
// UTF-8 stands for itself.
std::u16string utf16Of(std::string_view utf8)
{
    std::u16string units;
    while (!utf8.empty()) {
        const std::size_t length = utf8SequenceLength(utf8);
        if (length == 0) {
            units += static_cast<char16_t>(static_cast<unsigned char>(utf8[0]));
            utf8.remove_prefix(1);
            continue;
        }
        char32_t code = static_cast<unsigned char>(utf8[0]) & (length == 1 ? 0x7fU : 0xffU >> (length + 1));
        for (std::size_t i = 1; i < length; ++i)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3fU);
        if (code >= 0x10000) {
            code -= 0x10000;
            units += static_cast<char16_t>(0xd800 + (code >> 10));
            units += static_cast<char16_t>(0xdc00 + (code & 0x3ff));
        } else {
            units += static_cast<char16_t>(code);
        }
        utf8.remove_prefix(length);
    }
    return units;
}

} // namespace

struct CompoundFile::Input {
    GbCompoundInput input;
};

std::expected<const GbCompoundApi*, std::string> compoundModule()
{
    static std::once_flag once;
    static std::expected<const GbCompoundApi*, std::string> loaded;
    std::call_once(once, [] { loaded = loadModule(); });
    return loaded;
}

void CompoundFile::Close::operator()(GbCompound* root) const
{
    if (root != nullptr)
        api->close(root);
}

void CompoundStream::Close::operator()(GbCompoundStream* stream) const
{
    if (stream != nullptr)
        api->closeChild(stream);
}

CompoundFile::CompoundFile(std::unique_ptr<Input> input, std::unique_ptr<GbCompound, Close> root)
    : input_(std::move(input)), root_(std::move(root))
{
}
CompoundFile::CompoundFile(CompoundFile&&) noexcept = default;
CompoundFile& CompoundFile::operator=(CompoundFile&&) noexcept = default;
CompoundFile::~CompoundFile() = default;

std::expected<CompoundFile, std::string> CompoundFile::open(const ByteSource& source)
{
    const auto api = compoundModule();
    if (!api)
        return std::unexpected(api.error());
    auto input = std::make_unique<Input>();
    input->input.context = const_cast<ByteSource*>(&source);
    input->input.size = source.size();
    input->input.memory = nullptr;
    input->input.readAt = readFromSource;
    if (const auto memory = source.memory(); memory && memory->size() > 0)
        input->input.memory = reinterpret_cast<const unsigned char*>(memory->bytes().data());
    char* error = nullptr;
    GbCompound* root = (*api)->open(&input->input, &error);
    if (root == nullptr) {
        std::string why = error != nullptr ? error : "not a compound file";
        (*api)->freeText(error);
        return std::unexpected(std::move(why));
    }
    return CompoundFile(std::move(input), std::unique_ptr<GbCompound, Close>(root, Close{*api}));
}

int CompoundFile::count() const
{
    return root_.get_deleter().api->count(root_.get());
}

std::u16string CompoundFile::name(int index) const
{
    const char* utf8 = root_.get_deleter().api->name(root_.get(), index);
    return utf16Of(utf8 != nullptr ? utf8 : "");
}

std::expected<CompoundStream, std::string> CompoundFile::child(int index) const
{
    const GbCompoundApi* api = root_.get_deleter().api;
    char* warning = nullptr;
    GbCompoundStream* stream = api->openChild(root_.get(), index, &warning);
    if (stream == nullptr) {
        std::string why = warning != nullptr ? warning : "";
        api->freeText(warning);
        return std::unexpected(std::move(why));
    }
    return CompoundStream(std::unique_ptr<GbCompoundStream, CompoundStream::Close>(stream, {api}));
}

bool CompoundStream::isStorage() const
{
    return stream_.get_deleter().api->isStorage(stream_.get()) != 0;
}

std::uint64_t CompoundStream::size() const
{
    return stream_.get_deleter().api->size(stream_.get());
}

bool CompoundStream::readFromStart(std::span<std::byte> out) const
{
    return stream_.get_deleter().api->readFromStart(
               stream_.get(), reinterpret_cast<unsigned char*>(out.data()), out.size()) != 0;
}

} // namespace gb
