#pragma once
// How a conversion ended. The numbers are the statuses libconvert.so
// returns to its C callers (libconvert.h names each one), so they never
// change; a number the library may add later still fits in the type, and
// the converter window reports it by its number.

namespace gb::convert {

enum class ConvertStatus : int {
    Ok = 0,
    BadArgument = 1,         // a path is a null pointer
    SourceMissing = 2,       // no file at the source path
    SourceUnreadable = 3,    // not a regular file, no permission, or a read error
    NotBmp = 4,              // the source does not start like a BMP file
    NotJpeg = 5,             // the source does not start like a JPEG file
    Damaged = 6,             // a BMP or JPEG file whose contents do not hold together
    Unsupported = 7,         // a well-formed variant the codecs do not read
    TooLarge = 8,            // beyond the sizes the codecs accept, or JPEG can hold
    DestinationNoFolder = 9, // the destination's folder does not exist
    DestinationDenied = 10,  // no permission to write there, or a read-only file system
    DestinationFull = 11,    // no space left on the device, or quota exceeded
    DestinationFailed = 12,  // any other failure to write the destination
    OutOfMemory = 13,
    InternalError = 14, // the JPEG library failed on an image it had accepted
};

// A short English name of a status, for programmers and scripts; a number
// that is no status gets a name too.
const char* statusText(ConvertStatus status);

} // namespace gb::convert
