#pragma once
// libgsf warns on stderr about every oddity of a damaged compound file
// ("Invalid metabat item", "Unknown stream type"). A hostile package would
// fill the terminal, so while a package is read on this thread its warnings
// are kept here instead, to become the detail of a note. Warnings outside
// such a reading, and GLib's own, print as before, so real faults stay
// visible.

#include <string>
#include <utility>

namespace gb {

class GsfMessages {
public:
    GsfMessages();
    ~GsfMessages();
    GsfMessages(const GsfMessages&) = delete;
    GsfMessages& operator=(const GsfMessages&) = delete;

    // The first message caught on this thread since the last take; empty when none.
    std::string take() { return std::exchange(first_, {}); }
    void keep(const char* message);

private:
    GsfMessages* outer_;
    std::string first_;
};

} // namespace gb
