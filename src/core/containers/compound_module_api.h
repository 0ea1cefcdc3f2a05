#pragma once
// What the compound file module (libgsf's compound file reader and GLib with
// it) offers the programs that load it. Plain C types only: the module and
// the program may each carry their own C++ runtime, so no C++ object,
// exception or allocation crosses between them; text the module hands out
// is freed by the module.

#include <cstddef>
#include <cstdint>

extern "C" {

// The bytes of the compound file, read by the program: `memory` when they
// are all in memory (lent, not copied), else `readAt`, which fills `into`
// with `count` bytes from `offset` and returns how many it read.
struct GbCompoundInput {
    void* context;
    std::uint64_t size;
    const unsigned char* memory;
    std::size_t (*readAt)(void* context, std::uint64_t offset, unsigned char* into, std::size_t count);
};

struct GbCompound;       // a compound file's root storage
struct GbCompoundStream; // one of its children

struct GbCompoundApi {
    int version; // kGbCompoundApiVersion of the module's build
    // The root storage, or null with the reason in *error.
    GbCompound* (*open)(const GbCompoundInput* input, char** error);
    void (*close)(GbCompound* root);
    int (*count)(GbCompound* root);
    // The child's name as libgsf gives it (UTF-8), valid until close; may be null.
    const char* (*name)(GbCompound* root, int index);
    // The child, or null with what libgsf warned (maybe nothing) in *warning.
    GbCompoundStream* (*openChild)(GbCompound* root, int index, char** warning);
    void (*closeChild)(GbCompoundStream* child);
    int (*isStorage)(GbCompoundStream* child);
    std::uint64_t (*size)(GbCompoundStream* child);
    // The child's first `count` bytes into `into`; 0 when they cannot be read.
    int (*readFromStart)(GbCompoundStream* child, unsigned char* into, std::size_t count);
    void (*freeText)(char* text);
};

// The module's one entry point.
const GbCompoundApi* gb_compound_api(void);
}

inline constexpr int kGbCompoundApiVersion = 1;
inline constexpr const char* kGbCompoundModuleName = "libglimmerbox-compound.so";
