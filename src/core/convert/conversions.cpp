#include "core/convert/conversions.h"

#include "core/convert/bmp_decoder.h"
#include "core/convert/bmp_encoder.h"
#include "core/convert/jpeg_codec.h"
#include "core/convert/source_file.h"
#include "core/imagefiles/atomic_file.h"

#include <algorithm>
#include <vector>

namespace gb::convert {

namespace {

convert_status write(const char* dst, std::span<const std::byte> bytes)
{
    // An empty path names no file; the file system would say ENOENT, which
    // would read as a missing folder.
    if (*dst == '\0')
        return CONVERT_DESTINATION_FAILED;
    const auto written = writeFileAtomically(dst, bytes);
    return written ? CONVERT_OK : destinationStatus(written.error().problem);
}

std::expected<JpegBytes, CodecFailure> jpegOfBmp(std::span<const std::byte> bmp, int quality,
                                                 const CodecLimits& limits)
{
    // JPEG's limit on the sides is known from the headers: a bitmap beyond
    // it is refused before a row of it is decoded.
    const auto info = probeBmp(bmp);
    if (!info)
        return std::unexpected(info.error());
    if (const auto sides = checkJpegSides(info->width, info->height); !sides)
        return std::unexpected(sides.error());
    const auto decoded = decodeBmp(bmp, limits);
    if (!decoded)
        return std::unexpected(decoded.error());
    return encodeJpeg(decoded->rows, quality, bmpDensity(bmp));
}

std::expected<Bmp24File, CodecFailure> bmpOfJpeg(std::span<const std::byte> jpeg, const CodecLimits& limits)
{
    const auto info = probeJpeg(jpeg, limits);
    if (!info)
        return std::unexpected(info.error());
    // The file's memory is not cleared and each row goes into place as it
    // is decoded, so a JPEG that claims a large picture but holds little
    // data costs the rows it held, and fails at the first one it lacks.
    auto bmp = Bmp24File::create(info->width, info->height);
    if (!bmp)
        return bmp;
    int y = 0;
    const auto decoded = decodeJpeg(jpeg, *info, PixelLayout::Bgr, [&](const std::uint8_t* row) {
        bmp->putRow(y++, row);
        return std::expected<void, CodecFailure>();
    });
    if (!decoded)
        return std::unexpected(decoded.error());
    return bmp;
}

// Each row goes from the decoder straight to the encoder: no picture is held.
std::expected<JpegBytes, CodecFailure> jpegOfJpeg(std::span<const std::byte> jpeg, int quality,
                                                  const CodecLimits& limits)
{
    const auto info = probeJpeg(jpeg, limits);
    if (!info)
        return std::unexpected(info.error());
    const PixelLayout layout = info->gray ? PixelLayout::Gray : PixelLayout::Bgr;
    auto encoder = JpegEncoder::start(info->width, info->height, layout, quality);
    if (!encoder)
        return std::unexpected(encoder.error());
    const auto decoded =
        decodeJpeg(jpeg, *info, layout, [&](const std::uint8_t* row) { return encoder->write(row); });
    if (!decoded)
        return std::unexpected(decoded.error());
    return encoder->finish();
}

std::vector<std::byte> copyOf(std::span<const std::byte> bytes)
{
    return {bytes.begin(), bytes.end()};
}

template <typename Convert>
convert_status convertFile(const char* src, const char* dst, const CodecLimits& limits, Convert convert)
{
    if (!src || !dst)
        return CONVERT_BAD_ARGUMENT;
    const auto source = readSourceFile(src, limits);
    if (!source)
        return source.error().status;
    const auto result = convert(source->bytes());
    if (!result)
        return result.error().status;
    return write(dst, result->bytes());
}

} // namespace

convert_status destinationStatus(WriteProblem problem)
{
    switch (problem) {
    case WriteProblem::FolderMissing: return CONVERT_DESTINATION_NO_FOLDER;
    case WriteProblem::Denied: return CONVERT_DESTINATION_DENIED;
    case WriteProblem::Full: return CONVERT_DESTINATION_FULL;
    case WriteProblem::NoNewFiles:
    case WriteProblem::Other: return CONVERT_DESTINATION_FAILED;
    }
    return CONVERT_DESTINATION_FAILED;
}

int jpegQuality(const std::int32_t* rate)
{
    if (!rate || *rate == 0)
        return kDefaultQuality;
    return std::clamp<std::int32_t>(*rate, 1, 100);
}

convert_status bmpToJpeg(const char* src, const char* dst, const std::int32_t* rate,
                         const CodecLimits& limits)
{
    const int quality = jpegQuality(rate);
    return convertFile(src, dst, limits, [&](auto bytes) { return jpegOfBmp(bytes, quality, limits); });
}

convert_status jpegToBmp(const char* src, const char* dst, const CodecLimits& limits)
{
    return convertFile(src, dst, limits, [&](auto bytes) { return bmpOfJpeg(bytes, limits); });
}

convert_status jpegToJpeg(const char* src, const char* dst, const std::int32_t* rate,
                          const CodecLimits& limits)
{
    const int quality = jpegQuality(rate);
    return convertFile(src, dst, limits, [&](auto bytes) { return jpegOfJpeg(bytes, quality, limits); });
}

std::expected<std::vector<std::byte>, CodecFailure> bmpBytesToJpeg(std::span<const std::byte> bmp,
                                                                   int quality, const CodecLimits& limits)
{
    const auto jpeg = jpegOfBmp(bmp, quality, limits);
    if (!jpeg)
        return std::unexpected(jpeg.error());
    return copyOf(jpeg->bytes());
}

std::expected<std::vector<std::byte>, CodecFailure> jpegBytesToBmp(std::span<const std::byte> jpeg,
                                                                   const CodecLimits& limits)
{
    const auto bmp = bmpOfJpeg(jpeg, limits);
    if (!bmp)
        return std::unexpected(bmp.error());
    return copyOf(bmp->bytes());
}

std::expected<std::vector<std::byte>, CodecFailure> jpegBytesToJpeg(std::span<const std::byte> jpeg,
                                                                    int quality, const CodecLimits& limits)
{
    const auto out = jpegOfJpeg(jpeg, quality, limits);
    if (!out)
        return std::unexpected(out.error());
    return copyOf(out->bytes());
}

const char* statusText(int status)
{
    switch (status) {
    case CONVERT_OK: return "success";
    case CONVERT_BAD_ARGUMENT: return "a path is a null pointer";
    case CONVERT_SOURCE_MISSING: return "source file not found";
    case CONVERT_SOURCE_UNREADABLE: return "source file cannot be read";
    case CONVERT_NOT_BMP: return "source is not a BMP file";
    case CONVERT_NOT_JPEG: return "source is not a JPEG file";
    case CONVERT_DAMAGED: return "source file is damaged";
    case CONVERT_UNSUPPORTED: return "source uses a form of the format that is not supported";
    case CONVERT_TOO_LARGE: return "image too large";
    case CONVERT_DESTINATION_NO_FOLDER: return "destination folder does not exist";
    case CONVERT_DESTINATION_DENIED: return "no permission to write the destination";
    case CONVERT_DESTINATION_FULL: return "no space left for the destination";
    case CONVERT_DESTINATION_FAILED: return "destination cannot be written";
    case CONVERT_OUT_OF_MEMORY: return "out of memory";
    case CONVERT_INTERNAL_ERROR: return "internal error of the JPEG library";
    default: return "unknown status";
    }
}

} // namespace gb::convert
