#pragma once
// How libjpeg's errors reach the JPEG encoder and decoder: libjpeg reports
// an error by calling error_exit, which must not return, so it jumps back to
// the setjmp of the call that went wrong. Only libjpeg's C frames lie
// between the two, so no destructor is skipped.

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>

namespace gb::convert {

struct JpegErrors {
    jpeg_error_mgr pub{}; // first, so libjpeg's err pointer is one to this
    std::jmp_buf jump{};
    // libjpeg's warnings ("premature end of data", "corrupt data") mean it
    // made part of the picture up; a decoder that sets this stops there.
    bool stopOnWarning = false;
    bool warned = false;

    [[noreturn]] static void leave(j_common_ptr cinfo)
    {
        std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
    }

    // Trace messages (level 0 and up) are dropped, and nothing is printed.
    static void message(j_common_ptr cinfo, int level)
    {
        auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
        if (level >= 0)
            return;
        errors->warned = true;
        if (errors->stopOnWarning)
            std::longjmp(errors->jump, 1);
    }

    static void silent(j_common_ptr) {}

    jpeg_error_mgr* install()
    {
        jpeg_std_error(&pub);
        pub.error_exit = leave;
        pub.emit_message = message;
        pub.output_message = silent;
        return &pub;
    }
};

// Runs `steps`, libjpeg calls among them; false when libjpeg gave up midway.
// `steps` keeps no object with a destructor alive across a libjpeg call.
template <typename Steps> bool jpegGuarded(JpegErrors& errors, Steps steps)
{
    if (setjmp(errors.jump))
        return false;
    steps();
    return true;
}

} // namespace gb::convert
