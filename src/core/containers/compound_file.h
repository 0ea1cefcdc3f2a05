#pragma once
// A compound file's root storage (the Compound File Binary format of
// Windows Installer packages), read by libgsf inside the compound file
// module, which is loaded on the first call: programs that meet no package
// never load libgsf and the GLib beneath it.

#include "core/bytes/byte_source.h"

#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <span>
#include <string>

struct GbCompound;
struct GbCompoundStream;
struct GbCompoundApi;

namespace gb {

class CompoundStream {
public:
    bool isStorage() const;
    std::uint64_t size() const;
    // The stream's first out.size() bytes; false when they cannot be read.
    bool readFromStart(std::span<std::byte> out) const;

private:
    friend class CompoundFile;
    struct Close {
        const GbCompoundApi* api;
        void operator()(GbCompoundStream* stream) const;
    };
    explicit CompoundStream(std::unique_ptr<GbCompoundStream, Close> stream) : stream_(std::move(stream)) {}
    std::unique_ptr<GbCompoundStream, Close> stream_;
};

class CompoundFile {
public:
    // The root storage of the compound file in `source`, which must outlive
    // it; the reason when it is none, or when the module cannot be loaded.
    static std::expected<CompoundFile, std::string> open(const ByteSource& source);

    int count() const;
    // The child's name as stored (UTF-16 as libgsf gives it in UTF-8).
    std::u16string name(int index) const;
    // The child, or what libgsf said about it (maybe nothing).
    std::expected<CompoundStream, std::string> child(int index) const;

private:
    struct Close {
        const GbCompoundApi* api;
        void operator()(GbCompound* root) const;
    };
    struct Input;
    CompoundFile(std::unique_ptr<Input> input, std::unique_ptr<GbCompound, Close> root);
    std::unique_ptr<Input> input_; // before root_: the root reads through it until it closes
    std::unique_ptr<GbCompound, Close> root_;

public:
    CompoundFile(CompoundFile&&) noexcept;
    CompoundFile& operator=(CompoundFile&&) noexcept;
    ~CompoundFile();
};

// The loaded module, or why it could not be loaded (exposed for tests).
std::expected<const GbCompoundApi*, std::string> compoundModule();

} // namespace gb
