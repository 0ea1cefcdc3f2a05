// JPEG output through libjpeg itself rather than TurboJPEG: TurboJPEG always
// limits quantisation values to 8 bits, while cjpeg (whose files ours are
// meant to equal) lets qualities below 24 keep their larger values. The
// settings otherwise are TurboJPEG's with the accurate DCT, which are
// cjpeg's defaults.
#include "core/convert/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <jerror.h>

namespace gb::convert {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void leave(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void silent(j_common_ptr) {}

// Everything libjpeg touches, in one place that a longjmp leaves intact.
struct Encoding {
    jpeg_compress_struct cinfo{};
    ErrorManager errors{};
    unsigned char* data = nullptr; // malloc'd by libjpeg's memory destination
    unsigned long size = 0;
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

void compress(Encoding& e, const PixelRows& rows, int quality, const JfifDensity& density)
{
    jpeg_create_compress(&e.cinfo);
    jpeg_mem_dest(&e.cinfo, &e.data, &e.size);
    e.cinfo.image_width = static_cast<JDIMENSION>(rows.width);
    e.cinfo.image_height = static_cast<JDIMENSION>(rows.height);
    e.cinfo.input_components = bytesPerPixel(rows.layout);
    e.cinfo.in_color_space = colourSpace(rows.layout);
    jpeg_set_defaults(&e.cinfo);
    e.cinfo.density_unit = density.unit;
    e.cinfo.X_density = density.x;
    e.cinfo.Y_density = density.y;
    // As cjpeg without -baseline: below quality 24 some values exceed 255.
    jpeg_set_quality(&e.cinfo, quality, FALSE);
    e.cinfo.dct_method = JDCT_ISLOW;
    if (rows.layout == PixelLayout::Gray) {
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
    for (int y = 0; y < rows.height; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(rows.row(y));
        jpeg_write_scanlines(&e.cinfo, &row, 1);
    }
    jpeg_finish_compress(&e.cinfo);
}

// libjpeg reports errors by longjmp; nothing here has a destructor to skip.
bool compressed(Encoding& e, const PixelRows& rows, int quality, const JfifDensity& density)
{
    e.cinfo.err = jpeg_std_error(&e.errors.pub);
    e.errors.pub.error_exit = leave;
    e.errors.pub.output_message = silent;
    if (setjmp(e.errors.jump))
        return false;
    compress(e, rows, quality, density);
    return true;
}

} // namespace

std::expected<JpegBytes, CodecFailure> encodeJpeg(const PixelRows& rows, int quality,
                                                  const JfifDensity& density)
{
    if (rows.width > kJpegMaxSide || rows.height > kJpegMaxSide)
        return std::unexpected(CodecFailure{CONVERT_TOO_LARGE, "a side longer than JPEG allows"});
    Encoding e;
    const bool ok = compressed(e, rows, quality, density);
    const bool outOfMemory = !ok && e.errors.pub.msg_code == JERR_OUT_OF_MEMORY;
    jpeg_destroy_compress(&e.cinfo);
    if (!ok) {
        std::free(e.data);
        if (outOfMemory)
            return std::unexpected(CodecFailure{CONVERT_OUT_OF_MEMORY, "no memory for the JPEG encoder"});
        return std::unexpected(CodecFailure{CONVERT_INTERNAL_ERROR, "the JPEG encoder failed"});
    }
    return JpegBytes(e.data, e.size);
}

} // namespace gb::convert
