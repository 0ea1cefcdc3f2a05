#include "core/convert/jpeg_codec.h"

#include "core/convert/jpeg_errors.h"

#include <cstdlib>
#include <vector>

#include <jerror.h>

namespace gb::convert {

namespace {

std::unexpected<CodecFailure> fail(ConvertStatus status, const char* reason)
{
    return std::unexpected(CodecFailure{status, reason});
}

// A progressive file of thousands of tiny scans would keep the decoder busy
// for minutes. Encoders write about ten; 500 is far beyond any of them.
constexpr int kMaxScans = 500;

// Everything libjpeg touches, in one place that a longjmp leaves intact and
// that is released however the decoding ends.
struct Decoding {
    explicit Decoding(bool stopOnWarning)
    {
        errors.stopOnWarning = stopOnWarning;
        cinfo.err = errors.install();
        progress.progress_monitor = checkScans;
    }
    ~Decoding() { jpeg_destroy_decompress(&cinfo); } // safe on a struct never created
    Decoding(const Decoding&) = delete;
    Decoding& operator=(const Decoding&) = delete;

    static void checkScans(j_common_ptr common)
    {
        const auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
        if (cinfo->input_scan_number > kMaxScans) {
            reinterpret_cast<Decoding*>(cinfo->client_data)->tooManyScans = true;
            JpegErrors::leave(common);
        }
    }

    // Up to the header of the first scan.
    void readHeader(std::span<const std::byte> file)
    {
        jpeg_create_decompress(&cinfo);
        cinfo.client_data = this;
        cinfo.progress = &progress;
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.data()),
                     static_cast<unsigned long>(file.size()));
        jpeg_read_header(&cinfo, TRUE);
    }

    CodecFailure failure(const char* reason) const
    {
        if (tooManyScans)
            return {ConvertStatus::Damaged, "more progressive scans than the limit"};
        if (errors.warned)
            return {ConvertStatus::Damaged, "JPEG data incomplete or corrupt"};
        if (errors.pub.msg_code == JERR_OUT_OF_MEMORY)
            return {ConvertStatus::OutOfMemory, "no memory for the JPEG decoder"};
        return {ConvertStatus::Damaged, reason};
    }

    jpeg_decompress_struct cinfo{};
    JpegErrors errors;
    jpeg_progress_mgr progress{};
    bool tooManyScans = false;
};

// Adobe writes CMYK JPEGs inverted (0 is full ink); so does every program
// that reads them back the way Photoshop does.
void cmykToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, int width)
{
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned k = cmyk[3];
        bgr[0] = static_cast<std::uint8_t>((cmyk[2] * k + 127) / 255);
        bgr[1] = static_cast<std::uint8_t>((cmyk[1] * k + 127) / 255);
        bgr[2] = static_cast<std::uint8_t>((cmyk[0] * k + 127) / 255);
    }
}

J_COLOR_SPACE outputSpace(const JpegInfo& info, PixelLayout layout)
{
    if (info.cmyk)
        return JCS_CMYK; // libjpeg turns YCCK into CMYK; the rest is ours
    return layout == PixelLayout::Gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
}

} // namespace

JpegBytes::JpegBytes(unsigned char* data, unsigned long size) : data_(data), size_(size) {}

std::span<const std::byte> JpegBytes::bytes() const
{
    return {reinterpret_cast<const std::byte*>(data_.get()), static_cast<std::size_t>(size_)};
}

// The encoder's buffer is malloc'd, as libjpeg's callbacks cannot throw.
void JpegBytes::Free::operator()(unsigned char* data) const
{
    std::free(data);
}

std::expected<void, CodecFailure> checkJpegSides(std::int64_t width, std::int64_t height)
{
    if (width > kJpegMaxSide || height > kJpegMaxSide)
        return fail(ConvertStatus::TooLarge, "a side longer than JPEG allows");
    return {};
}

std::expected<JpegInfo, CodecFailure> probeJpeg(std::span<const std::byte> file, const CodecLimits& limits)
{
    // SOI, then the first marker's 0xFF.
    if (file.size() < 3 || file[0] != std::byte{0xFF} || file[1] != std::byte{0xD8} ||
        file[2] != std::byte{0xFF})
        return fail(ConvertStatus::NotJpeg, "no JPEG start-of-image marker");

    // A warning in the header is not final here: the decoding refuses it.
    Decoding d(false);
    if (!jpegGuarded(d.errors, [&] { d.readHeader(file); }))
        return std::unexpected(d.failure("JPEG header unreadable"));
    const J_COLOR_SPACE space = d.cinfo.jpeg_color_space;
    if (space != JCS_GRAYSCALE && space != JCS_YCbCr && space != JCS_RGB && space != JCS_CMYK &&
        space != JCS_YCCK)
        return fail(ConvertStatus::Unsupported, "JPEG colour space neither gray, YCbCr, RGB, CMYK nor YCCK");
    // libjpeg refuses sides of 0 and beyond JPEG_MAX_DIMENSION itself.
    const std::uint64_t width = d.cinfo.image_width, height = d.cinfo.image_height;
    if (width * height > limits.maxPixels)
        return fail(ConvertStatus::TooLarge, "more pixels than the limit");
    return JpegInfo{static_cast<int>(width), static_cast<int>(height), space == JCS_GRAYSCALE,
                    space == JCS_CMYK || space == JCS_YCCK};
}

std::expected<void, CodecFailure> decodeJpeg(std::span<const std::byte> file, const JpegInfo& info,
                                             PixelLayout layout, const JpegRowSink& sink)
{
    // libjpeg's warnings mean part of the picture was made up: an image that
    // is not the file's is no conversion, so the first warning fails like an
    // error, and nothing after it is decoded.
    Decoding d(true);
    std::vector<std::uint8_t> decoded, converted;
    std::expected<void, CodecFailure> taken;
    const bool finished = jpegGuarded(d.errors, [&] {
        d.readHeader(file);
        d.cinfo.out_color_space = outputSpace(info, layout);
        jpeg_start_decompress(&d.cinfo);
        if (d.cinfo.output_width != static_cast<JDIMENSION>(info.width) ||
            d.cinfo.output_height != static_cast<JDIMENSION>(info.height)) {
            taken = fail(ConvertStatus::InternalError, "JPEG not the one probed");
            return;
        }
        const auto width = static_cast<std::size_t>(info.width);
        decoded.resize(width * static_cast<std::size_t>(d.cinfo.output_components));
        if (info.cmyk)
            converted.resize(width * 3);
        while (d.cinfo.output_scanline < d.cinfo.output_height) {
            JSAMPROW row = decoded.data();
            jpeg_read_scanlines(&d.cinfo, &row, 1);
            if (info.cmyk)
                cmykToBgr(decoded.data(), converted.data(), info.width);
            taken = sink(info.cmyk ? converted.data() : decoded.data());
            if (!taken)
                return;
        }
        // To the end of the image, so damage after the last row counts too.
        jpeg_finish_decompress(&d.cinfo);
    });
    if (!finished)
        return std::unexpected(d.failure("JPEG data undecodable"));
    return taken;
}

} // namespace gb::convert
