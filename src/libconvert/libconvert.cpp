// The C face of libconvert.so. No exception leaves it: a failed allocation
// becomes CONVERT_OUT_OF_MEMORY.
#include "libconvert/libconvert.h"

#include "core/convert/conversions.h"
#include "core/convert/convert_status.h"

#include <new>

namespace {

using gb::convert::ConvertStatus;

// The C statuses are the engine's, number for number: a C caller and the
// engine must never disagree about what a number means.
static_assert(CONVERT_OK == static_cast<int>(ConvertStatus::Ok));
static_assert(CONVERT_BAD_ARGUMENT == static_cast<int>(ConvertStatus::BadArgument));
static_assert(CONVERT_SOURCE_MISSING == static_cast<int>(ConvertStatus::SourceMissing));
static_assert(CONVERT_SOURCE_UNREADABLE == static_cast<int>(ConvertStatus::SourceUnreadable));
static_assert(CONVERT_NOT_BMP == static_cast<int>(ConvertStatus::NotBmp));
static_assert(CONVERT_NOT_JPEG == static_cast<int>(ConvertStatus::NotJpeg));
static_assert(CONVERT_DAMAGED == static_cast<int>(ConvertStatus::Damaged));
static_assert(CONVERT_UNSUPPORTED == static_cast<int>(ConvertStatus::Unsupported));
static_assert(CONVERT_TOO_LARGE == static_cast<int>(ConvertStatus::TooLarge));
static_assert(CONVERT_DESTINATION_NO_FOLDER == static_cast<int>(ConvertStatus::DestinationNoFolder));
static_assert(CONVERT_DESTINATION_DENIED == static_cast<int>(ConvertStatus::DestinationDenied));
static_assert(CONVERT_DESTINATION_FULL == static_cast<int>(ConvertStatus::DestinationFull));
static_assert(CONVERT_DESTINATION_FAILED == static_cast<int>(ConvertStatus::DestinationFailed));
static_assert(CONVERT_OUT_OF_MEMORY == static_cast<int>(ConvertStatus::OutOfMemory));
static_assert(CONVERT_INTERNAL_ERROR == static_cast<int>(ConvertStatus::InternalError));

template <typename Call> int guarded(Call call)
{
    try {
        return static_cast<int>(call());
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
    return gb::convert::statusText(static_cast<ConvertStatus>(status));
}

} // extern "C"
