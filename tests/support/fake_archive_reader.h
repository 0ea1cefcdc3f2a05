#pragma once
// A stand-in for the archive reader program, as a shell script given
// through $GLIMMERBOX_ARCHIVE_READER for as long as it lives.

#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

namespace gb::test {

class FakeReader {
public:
    explicit FakeReader(const std::string& script)
    {
        const std::string text = "#!/bin/sh\n" + script + "\n";
        path_ = folder_.write("reader", std::as_bytes(std::span(text)));
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
        ::setenv("GLIMMERBOX_ARCHIVE_READER", path_.c_str(), 1);
    }
    ~FakeReader() { ::unsetenv("GLIMMERBOX_ARCHIVE_READER"); }
    FakeReader(const FakeReader&) = delete;
    FakeReader& operator=(const FakeReader&) = delete;

private:
    TempFolder folder_;
    std::string path_;
};

} // namespace gb::test
