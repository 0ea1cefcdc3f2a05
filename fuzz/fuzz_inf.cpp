// A cursor pack's install.inf: the scheme its AddReg sections write, with
// [Strings] put in, from UTF-16 or 8-bit text.
#include "core/cursors/install_inf.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto bytes = std::as_bytes(std::span(data, size));
    if (const auto scheme = gb::readCursorScheme(bytes)) {
        // One file per role at most, each a last path component.
        if (scheme->files.size() > gb::kCursorRoleCount)
            __builtin_trap();
        for (const auto& [role, file] : scheme->files)
            if (file.find_first_of("\\/") != std::string::npos)
                __builtin_trap();
    }
    (void)gb::infText(bytes);
    return 0;
}
