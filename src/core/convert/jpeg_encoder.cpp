// JPEG output through libjpeg itself rather than TurboJPEG: TurboJPEG always
// limits quantisation values to 8 bits, while cjpeg (whose files ours are
// meant to equal) lets qualities below 24 keep their larger values. The
// settings otherwise are TurboJPEG's with the accurate DCT, which are
// cjpeg's defaults.
#include "core/convert/jpeg_codec.h"

#include "core/convert/jpeg_errors.h"

#include <cstdlib>
#include <utility>

#include <jerror.h>

namespace gb::convert {

namespace {

// The file grows in one malloc'd buffer of ours, so it is freed however the
// encoding ends (libjpeg's own memory destination loses track of its buffer
// when an error cuts it short).
struct Output {
    jpeg_destination_mgr pub{}; // first, so libjpeg's dest pointer is one to this
    unsigned char* data = nullptr;
    std::size_t capacity = 0;

    static constexpr std::size_t kFirstCapacity = std::size_t{64} << 10;

    static void init(j_compress_ptr cinfo)
    {
        auto* out = reinterpret_cast<Output*>(cinfo->dest);
        out->data = static_cast<unsigned char*>(std::malloc(kFirstCapacity));
        if (!out->data)
            ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
        out->capacity = kFirstCapacity;
        out->pub.next_output_byte = out->data;
        out->pub.free_in_buffer = out->capacity;
    }

    // Called when the buffer is full: twice the room, the bytes kept.
    static boolean grow(j_compress_ptr cinfo)
    {
        auto* out = reinterpret_cast<Output*>(cinfo->dest);
        const std::size_t used = out->capacity;
        auto* bigger = static_cast<unsigned char*>(std::realloc(out->data, used * 2));
        if (!bigger)
            ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
        out->data = bigger;
        out->capacity = used * 2;
        out->pub.next_output_byte = out->data + used;
        out->pub.free_in_buffer = out->capacity - used;
        return TRUE;
    }

    static void term(j_compress_ptr) {}

    std::size_t size() const { return capacity - pub.free_in_buffer; }
};

J_COLOR_SPACE colourSpace(PixelLayout layout)
{
    switch (layout) {
    case PixelLayout::Bgr: return JCS_EXT_BGR;
    case PixelLayout::Bgrx: return JCS_EXT_BGRX;
    case PixelLayout::Gray: return JCS_GRAYSCALE;
    }
    return JCS_EXT_BGR;
}

} // namespace

// Everything libjpeg touches, at one address for the encoder's life.
struct JpegEncoder::State {
    State()
    {
        cinfo.err = errors.install();
        output.pub.init_destination = Output::init;
        output.pub.empty_output_buffer = Output::grow;
        output.pub.term_destination = Output::term;
    }
    ~State()
    {
        jpeg_destroy_compress(&cinfo);
        std::free(output.data);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    CodecFailure failure() const
    {
        if (errors.pub.msg_code == JERR_OUT_OF_MEMORY)
            return {ConvertStatus::OutOfMemory, "no memory for the JPEG encoder"};
        return {ConvertStatus::InternalError, "the JPEG encoder failed"};
    }

    jpeg_compress_struct cinfo{};
    JpegErrors errors;
    Output output;
    bool failed = false; // libjpeg gave up; the struct takes no more calls
};

JpegEncoder::JpegEncoder(std::unique_ptr<State> state) : state_(std::move(state)) {}
JpegEncoder::JpegEncoder(JpegEncoder&&) noexcept = default;
JpegEncoder& JpegEncoder::operator=(JpegEncoder&&) noexcept = default;
JpegEncoder::~JpegEncoder() = default;

std::expected<JpegEncoder, CodecFailure> JpegEncoder::start(int width, int height, PixelLayout layout,
                                                            int quality, const JfifDensity& density)
{
    if (const auto sides = checkJpegSides(width, height); !sides)
        return std::unexpected(sides.error());
    auto state = std::make_unique<State>();
    State& e = *state;
    const bool started = jpegGuarded(e.errors, [&] {
        jpeg_create_compress(&e.cinfo);
        e.cinfo.dest = &e.output.pub;
        e.cinfo.image_width = static_cast<JDIMENSION>(width);
        e.cinfo.image_height = static_cast<JDIMENSION>(height);
        e.cinfo.input_components = bytesPerPixel(layout);
        e.cinfo.in_color_space = colourSpace(layout);
        jpeg_set_defaults(&e.cinfo);
        e.cinfo.density_unit = density.unit;
        e.cinfo.X_density = density.x;
        e.cinfo.Y_density = density.y;
        // As cjpeg without -baseline: below quality 24 some values exceed 255.
        jpeg_set_quality(&e.cinfo, quality, FALSE);
        e.cinfo.dct_method = JDCT_ISLOW;
        if (layout == PixelLayout::Gray) {
            jpeg_set_colorspace(&e.cinfo, JCS_GRAYSCALE);
        } else {
            jpeg_set_colorspace(&e.cinfo, JCS_YCbCr);
            e.cinfo.comp_info[0].h_samp_factor = 2; // 4:2:0
            e.cinfo.comp_info[0].v_samp_factor = 2;
            for (int c = 1; c < 3; ++c) {
                e.cinfo.comp_info[c].h_samp_factor = 1;
                e.cinfo.comp_info[c].v_samp_factor = 1;
            }
        }
        jpeg_start_compress(&e.cinfo, TRUE);
    });
    if (!started)
        return std::unexpected(e.failure());
    return JpegEncoder(std::move(state));
}

std::expected<void, CodecFailure> JpegEncoder::write(const std::uint8_t* row)
{
    State& e = *state_;
    if (e.failed || e.cinfo.next_scanline >= e.cinfo.image_height)
        return std::unexpected(
            CodecFailure{ConvertStatus::InternalError, "a row the JPEG encoder cannot take"});
    JSAMPROW rows[1] = {const_cast<JSAMPROW>(row)};
    e.failed = !jpegGuarded(e.errors, [&] { jpeg_write_scanlines(&e.cinfo, rows, 1); });
    if (e.failed)
        return std::unexpected(e.failure());
    return {};
}

std::expected<JpegBytes, CodecFailure> JpegEncoder::finish()
{
    State& e = *state_;
    if (e.failed || e.cinfo.next_scanline != e.cinfo.image_height)
        return std::unexpected(
            CodecFailure{ConvertStatus::InternalError, "JPEG finished before its last row"});
    e.failed = !jpegGuarded(e.errors, [&] { jpeg_finish_compress(&e.cinfo); });
    if (e.failed)
        return std::unexpected(e.failure());
    const auto size = static_cast<unsigned long>(e.output.size());
    return JpegBytes(std::exchange(e.output.data, nullptr), size);
}

std::expected<JpegBytes, CodecFailure> encodeJpeg(const PixelRows& rows, int quality,
                                                  const JfifDensity& density)
{
    auto encoder = JpegEncoder::start(rows.width, rows.height, rows.layout, quality, density);
    if (!encoder)
        return std::unexpected(encoder.error());
    for (int y = 0; y < rows.height; ++y)
        if (auto written = encoder->write(rows.row(y)); !written)
            return std::unexpected(written.error());
    return encoder->finish();
}

} // namespace gb::convert
