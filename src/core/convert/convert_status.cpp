#include "core/convert/convert_status.h"

namespace gb::convert {

const char* statusText(ConvertStatus status)
{
    switch (status) {
    case ConvertStatus::Ok: return "success";
    case ConvertStatus::BadArgument: return "a path is a null pointer";
    case ConvertStatus::SourceMissing: return "source file not found";
    case ConvertStatus::SourceUnreadable: return "source file cannot be read";
    case ConvertStatus::NotBmp: return "source is not a BMP file";
    case ConvertStatus::NotJpeg: return "source is not a JPEG file";
    case ConvertStatus::Damaged: return "source file is damaged";
    case ConvertStatus::Unsupported: return "source uses a form of the format that is not supported";
    case ConvertStatus::TooLarge: return "image too large";
    case ConvertStatus::DestinationNoFolder: return "destination folder does not exist";
    case ConvertStatus::DestinationDenied: return "no permission to write the destination";
    case ConvertStatus::DestinationFull: return "no space left for the destination";
    case ConvertStatus::DestinationFailed: return "destination cannot be written";
    case ConvertStatus::OutOfMemory: return "out of memory";
    case ConvertStatus::InternalError: return "internal error of the JPEG library";
    }
    return "unknown status";
}

} // namespace gb::convert
