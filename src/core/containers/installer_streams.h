#pragma once
// The streams of a Windows Installer package or patch (a compound file, read
// through libgsf) that can hold files: the Icon table's icons, the Binary
// table's files, and the embedded cabinets (the Media table's "#name"
// streams). Stream names are stored packed (two characters to one
// UTF-16 unit in U+3800..U+47FF, one in U+4800..U+483F, tables prefixed by
// U+4840); they are given unpacked: "Icon.AppIcon", "Binary.Setup",
// "data1.cab".

#include "core/bytes/byte_source.h"
#include "core/containers/container_walk.h"
#include "core/containers/decompression_allowance.h"

#include <expected>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

namespace gb {

struct InstallerStream {
    std::string name;     // unpacked
    bool cabinet = false; // starts with a cabinet's signature "MSCF"
    std::shared_ptr<const std::vector<std::byte>> bytes;
};

// The Icon. and Binary. streams whose first bytes are an icon file's or a
// program's, and every cabinet, in the package's directory order; each at
// most limits.memberCap (a larger one is a TooLarge note), all together
// within the allowance of the outermost container, which a package inside
// another container shares with it. Returns the notes of what was skipped;
// a package that cannot be read at all is one Damaged note.
std::vector<ContainerNote> walkInstallerStreams(const ByteSource& source, const ContainerLimits& limits,
                                                DecompressionAllowance& allowance,
                                                const std::stop_token& stop,
                                                const std::function<void(InstallerStream)>& stream);

// The name as stored, unpacked (exposed for tests and fuzzing).
std::string unpackStreamName(const std::u16string& stored);

} // namespace gb
