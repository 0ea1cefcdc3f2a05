#pragma once
// One copy per user: a lock file in the runtime folder. A second copy finds
// it held and ends without showing anything.

#include <QLockFile>
#include <memory>

namespace gb {

// The lock, held for the life of the program; null when another copy runs.
std::unique_ptr<QLockFile> claimSingleInstance();

} // namespace gb
