#include "system/library/converter_library.h"

#include "libconvert/libconvert.h"
#include "system/paths/app_paths.h"

#include <dlfcn.h>
#include <unistd.h>

namespace gb::convert {

namespace {

constexpr const char* kLibraryName = "libconvert.so";

using TwoPaths = int (*)(const char*, const char*);
using TwoPathsAndRate = int (*)(const char*, const char*, const std::int32_t*);

// The library's statuses are the engine's numbers (libconvert.h).
CallResult statusResult(int status)
{
    if (status == CONVERT_OK)
        return {};
    return std::unexpected(CallFailure{CallFailure::Kind::Status, static_cast<ConvertStatus>(status), {}});
}

} // namespace

LibraryConverter::LibraryConverter(std::vector<std::string> candidates) : candidates_(std::move(candidates))
{
}

// The handle stays open: code of the library may still be on some stack
// when a window closes, and the loader counts references anyway.
LibraryConverter::~LibraryConverter() = default;

std::vector<std::string> LibraryConverter::defaultCandidates()
{
    std::vector<std::string> candidates;
    if (const auto folder = programFolder()) {
        candidates.push_back(*folder + "/" + kLibraryName);
#ifdef GB_LIBCONVERT_FROM_BINDIR
        candidates.push_back(*folder + "/" GB_LIBCONVERT_FROM_BINDIR "/" + kLibraryName);
#endif
    }
    candidates.emplace_back(kLibraryName);
    return candidates;
}

std::expected<void*, CallFailure> LibraryConverter::function(const char* name)
{
    if (!handle_) {
        std::string errors;
        for (const std::string& candidate : candidates_) {
            // A path of ours that is not there is no news; a library that is
            // there and fails to load is.
            if (candidate.find('/') != std::string::npos && ::access(candidate.c_str(), F_OK) != 0)
                continue;
            handle_ = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle_)
                break;
            if (const char* error = ::dlerror()) {
                errors += errors.empty() ? "" : "; ";
                errors += error;
            }
        }
        if (!handle_)
            return std::unexpected(
                CallFailure{CallFailure::Kind::LibraryMissing, ConvertStatus::Ok,
                            errors.empty() ? std::string(kLibraryName) + " not found" : errors});
    }
    ::dlerror();
    void* symbol = ::dlsym(handle_, name);
    if (!symbol)
        return std::unexpected(CallFailure{CallFailure::Kind::FunctionMissing, ConvertStatus::Ok, name});
    return symbol;
}

CallResult LibraryConverter::bmptojpg(const std::string& src, const std::string& dst, std::int32_t rate)
{
    const auto symbol = function("bmptojpg");
    if (!symbol)
        return std::unexpected(symbol.error());
    return statusResult(reinterpret_cast<TwoPathsAndRate>(*symbol)(src.c_str(), dst.c_str(), &rate));
}

CallResult LibraryConverter::jpgtobmp(const std::string& src, const std::string& dst)
{
    const auto symbol = function("jpgtobmp");
    if (!symbol)
        return std::unexpected(symbol.error());
    return statusResult(reinterpret_cast<TwoPaths>(*symbol)(src.c_str(), dst.c_str()));
}

CallResult LibraryConverter::jpgtojpg(const std::string& src, const std::string& dst, std::int32_t rate)
{
    const auto symbol = function("jpgtojpg");
    if (!symbol)
        return std::unexpected(symbol.error());
    return statusResult(reinterpret_cast<TwoPathsAndRate>(*symbol)(src.c_str(), dst.c_str(), &rate));
}

Converter& programConverter()
{
    static LibraryConverter converter;
    return converter;
}

} // namespace gb::convert
