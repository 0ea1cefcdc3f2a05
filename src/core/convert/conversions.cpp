#include "core/convert/conversions.h"

#include "core/convert/bmp_decoder.h"
#include "core/convert/bmp_encoder.h"
#include "core/convert/jpeg_codec.h"
#include "core/convert/source_file.h"
#include "core/files/atomic_file.h"

#include <algorithm>
#include <vector>

namespace gb::convert {

namespace {

ConvertStatus write(const char* dst, std::span<const std::byte> bytes)
{
    // An empty path names no file; the file system would say ENOENT, which
    // would read as a missing folder.
    if (*dst == '\0')
        return ConvertStatus::DestinationFailed;
    const auto written = writeFileAtomically(dst, bytes);
    return written ? ConvertStatus::Ok : destinationStatus(written.error().problem);
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
ConvertStatus convertFile(const char* src, const char* dst, const CodecLimits& limits, Convert convert)
{
    if (!src || !dst)
        return ConvertStatus::BadArgument;
    const auto source = readSourceFile(src, limits);
    if (!source)
        return source.error().status;
    const auto result = convert(source->bytes());
    if (!result)
        return result.error().status;
    return write(dst, result->bytes());
}

} // namespace

ConvertStatus destinationStatus(WriteProblem problem)
{
    switch (problem) {
    case WriteProblem::FolderMissing: return ConvertStatus::DestinationNoFolder;
    case WriteProblem::Denied: return ConvertStatus::DestinationDenied;
    case WriteProblem::Full: return ConvertStatus::DestinationFull;
    case WriteProblem::NoNewFiles:
    case WriteProblem::Other: return ConvertStatus::DestinationFailed;
    }
    return ConvertStatus::DestinationFailed;
}

int jpegQuality(const std::int32_t* rate)
{
    if (!rate || *rate == 0)
        return kDefaultQuality;
    return std::clamp<std::int32_t>(*rate, 1, 100);
}

ConvertStatus bmpToJpeg(const char* src, const char* dst, const std::int32_t* rate, const CodecLimits& limits)
{
    const int quality = jpegQuality(rate);
    return convertFile(src, dst, limits, [&](auto bytes) { return jpegOfBmp(bytes, quality, limits); });
}

ConvertStatus jpegToBmp(const char* src, const char* dst, const CodecLimits& limits)
{
    return convertFile(src, dst, limits, [&](auto bytes) { return bmpOfJpeg(bytes, limits); });
}

ConvertStatus jpegToJpeg(const char* src, const char* dst, const std::int32_t* rate,
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

} // namespace gb::convert
