#!/usr/bin/env bash
# The code that runs on several threads (background jobs, ordered work, the
# search, the export) under ThreadSanitizer: configures the tsan preset
# (without Qt), builds only the threaded tests and runs them. The first
# report of a data race or a deadlock fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset tsan >/dev/null
cmake --build --preset tsan
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
ctest --preset tsan -j"$(nproc)"
