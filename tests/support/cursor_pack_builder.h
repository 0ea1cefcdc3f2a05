#pragma once
// Cursor packs made by the tests: a folder of the cursor fixtures under the
// names packs give them, with an install.inf (inf_builder.h) or none.

#include "support/fixture_bytes.h"
#include "support/inf_builder.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gb::test {

// Copies fixtures (paths below GB_FIXTURE_DIR) into `folder` under new names.
inline void fillPack(const TempFolder& folder, const std::vector<std::pair<std::string, std::string>>& files)
{
    for (const auto& [name, fixture] : files)
        folder.write(name, readFixture(fixture));
}

} // namespace gb::test
