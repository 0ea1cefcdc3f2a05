#ifndef GLIMMERBOX_LIBCONVERT_H
#define GLIMMERBOX_LIBCONVERT_H
/* libconvert.so: one image file at a time from BMP to JPEG, from JPEG to BMP,
 * or from JPEG to JPEG again at another quality.
 *
 * Paths are NUL-terminated byte strings, handed to the file system as they
 * are. The destination is written atomically: a temporary file beside it,
 * then a rename, so an existing file is either kept whole or replaced whole.
 *
 * The rate is the JPEG quality. 1 to 100 is used as given; 0 (and a null
 * pointer) means the default quality 75; below 1 counts as 1 and above 100
 * as 100.
 *
 * Every function returns CONVERT_OK (0) on success and one of the other
 * statuses below otherwise; convert_strerror names a status in English for
 * programmers and scripts. The functions keep no state between calls and may
 * be called from several threads at once. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(GLIMMERBOX_BUILDING_LIBCONVERT)
#define LIBCONVERT_API __attribute__((visibility("default")))
#else
#define LIBCONVERT_API
#endif

enum convert_status {
    CONVERT_OK = 0,
    CONVERT_BAD_ARGUMENT = 1,          /* a path is a null pointer */
    CONVERT_SOURCE_MISSING = 2,        /* no file at the source path */
    CONVERT_SOURCE_UNREADABLE = 3,     /* not a regular file, no permission, or a read error */
    CONVERT_NOT_BMP = 4,               /* the source does not start like a BMP file */
    CONVERT_NOT_JPEG = 5,              /* the source does not start like a JPEG file */
    CONVERT_DAMAGED = 6,               /* a BMP or JPEG file whose contents do not hold together */
    CONVERT_UNSUPPORTED = 7,           /* a well-formed variant this library does not read */
    CONVERT_TOO_LARGE = 8,             /* beyond the sizes this library accepts, or JPEG can hold */
    CONVERT_DESTINATION_NO_FOLDER = 9, /* the destination's folder does not exist */
    CONVERT_DESTINATION_DENIED = 10,   /* no permission to write there, or a read-only file system */
    CONVERT_DESTINATION_FULL = 11,     /* no space left on the device, or quota exceeded */
    CONVERT_DESTINATION_FAILED = 12,   /* any other failure to write the destination */
    CONVERT_OUT_OF_MEMORY = 13,
    CONVERT_INTERNAL_ERROR = 14 /* the JPEG library failed on an image it had accepted */
};

LIBCONVERT_API int bmptojpg(const char* src, const char* dst, const int32_t* rate);
LIBCONVERT_API int jpgtobmp(const char* src, const char* dst);
LIBCONVERT_API int jpgtojpg(const char* src, const char* dst, const int32_t* rate);

/* A static English text for any int; never a null pointer. */
LIBCONVERT_API const char* convert_strerror(int status);

#ifdef __cplusplus
}
#endif

#endif
