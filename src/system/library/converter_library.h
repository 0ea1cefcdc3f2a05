#pragma once
// The converter window's way to libconvert.so: the library is opened with
// dlopen the first time a conversion needs it and its functions are looked
// up by name with dlsym. The window holds a Converter, so tests can give it
// one that records the calls instead.

#include "core/convert/convert_status.h"

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

namespace gb::convert {

struct CallFailure {
    enum class Kind {
        LibraryMissing,  // no libconvert.so could be opened
        FunctionMissing, // the library lacks the function
        Status,          // the function ran and returned a status other than 0
    };
    Kind kind = Kind::Status;
    ConvertStatus status = ConvertStatus::Ok; // the function's status, for Kind::Status
    std::string detail;                       // dlerror()'s text or the function's name, for programmers
};

using CallResult = std::expected<void, CallFailure>;

class Converter {
public:
    virtual ~Converter() = default;
    // Paths are the file system's bytes; rate as libconvert.h describes it.
    virtual CallResult bmptojpg(const std::string& src, const std::string& dst, std::int32_t rate) = 0;
    virtual CallResult jpgtobmp(const std::string& src, const std::string& dst) = 0;
    virtual CallResult jpgtojpg(const std::string& src, const std::string& dst, std::int32_t rate) = 0;
};

class LibraryConverter : public Converter {
public:
    // `candidates` are tried in order; a name without "/" goes through the
    // dynamic loader's own search (LD_LIBRARY_PATH, RUNPATH, ld.so.cache).
    explicit LibraryConverter(std::vector<std::string> candidates = defaultCandidates());
    ~LibraryConverter() override;
    LibraryConverter(const LibraryConverter&) = delete;
    LibraryConverter& operator=(const LibraryConverter&) = delete;

    // The program's folder first, then the library folder of the installed
    // layout beside it, then the loader's search.
    static std::vector<std::string> defaultCandidates();

    CallResult bmptojpg(const std::string& src, const std::string& dst, std::int32_t rate) override;
    CallResult jpgtobmp(const std::string& src, const std::string& dst) override;
    CallResult jpgtojpg(const std::string& src, const std::string& dst, std::int32_t rate) override;

private:
    std::expected<void*, CallFailure> function(const char* name);

    std::vector<std::string> candidates_;
    void* handle_ = nullptr; // opened once, kept for the rest of the run
};

// The one LibraryConverter of the program.
Converter& programConverter();

} // namespace gb::convert
