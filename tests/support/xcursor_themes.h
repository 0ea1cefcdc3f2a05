#pragma once
// libXcursor reads XCURSOR_PATH once per process, on its first look-up by
// name: every test of the process that loads a theme by name puts it in
// this one folder (an inline function, so one folder for the whole test
// binary), under a theme name of its own.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace gb::test {

inline const std::filesystem::path& xcursorThemesFolder()
{
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "glimmerbox-xcursor-XXXXXX").string();
        std::filesystem::path made = ::mkdtemp(pattern.data());
        ::setenv("XCURSOR_PATH", made.c_str(), 1);
        std::atexit([] { std::filesystem::remove_all(std::getenv("XCURSOR_PATH")); });
        return made;
    }();
    return folder;
}

} // namespace gb::test
