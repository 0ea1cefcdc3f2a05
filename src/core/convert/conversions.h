#pragma once
// The three conversions of libconvert, file to file, as the C functions of
// libconvert.h run them (with the default limits); tests and the fuzz
// targets call them with limits of their own.

#include "core/convert/codec_types.h"
#include "core/files/atomic_file.h"

#include <cstdint>
#include <expected>
#include <span>

namespace gb::convert {

// The JPEG quality a rate asks for: 1 to 100 as given, 0 (or no rate) the
// default 75, anything else the nearer end of 1 to 100.
int jpegQuality(const std::int32_t* rate);

inline constexpr int kDefaultQuality = 75;

ConvertStatus bmpToJpeg(const char* src, const char* dst, const std::int32_t* rate,
                        const CodecLimits& limits = {});
ConvertStatus jpegToBmp(const char* src, const char* dst, const CodecLimits& limits = {});
ConvertStatus jpegToJpeg(const char* src, const char* dst, const std::int32_t* rate,
                         const CodecLimits& limits = {});

// The in-memory halves, file bytes in and file bytes out, for the fuzz
// targets and tests.
std::expected<std::vector<std::byte>, CodecFailure>
bmpBytesToJpeg(std::span<const std::byte> bmp, int quality, const CodecLimits& limits = {});
std::expected<std::vector<std::byte>, CodecFailure> jpegBytesToBmp(std::span<const std::byte> jpeg,
                                                                   const CodecLimits& limits = {});
std::expected<std::vector<std::byte>, CodecFailure>
jpegBytesToJpeg(std::span<const std::byte> jpeg, int quality, const CodecLimits& limits = {});

// The status of a destination that could not be written.
ConvertStatus destinationStatus(WriteProblem problem);

} // namespace gb::convert
