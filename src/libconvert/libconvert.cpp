// The C face of libconvert.so. No exception leaves it: a failed allocation
// becomes CONVERT_OUT_OF_MEMORY.
#include "libconvert/libconvert.h"

#include "core/convert/conversions.h"

#include <new>

namespace {

template <typename Call> int guarded(Call call)
{
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return CONVERT_OUT_OF_MEMORY;
    } catch (...) {
        return CONVERT_INTERNAL_ERROR;
    }
}

} // namespace

extern "C" {

int bmptojpg(const char* src, const char* dst, const int32_t* rate)
{
    return guarded([&] { return gb::convert::bmpToJpeg(src, dst, rate); });
}

int jpgtobmp(const char* src, const char* dst)
{
    return guarded([&] { return gb::convert::jpegToBmp(src, dst); });
}

int jpgtojpg(const char* src, const char* dst, const int32_t* rate)
{
    return guarded([&] { return gb::convert::jpegToJpeg(src, dst, rate); });
}

const char* convert_strerror(int status)
{
    return gb::convert::statusText(status);
}

} // extern "C"
