#!/usr/bin/env bash
# Installs what the tests need, builds the test build (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test, ending with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh
gb_install_packages $GB_BUILD_PACKAGES $GB_RUNTIME_PACKAGES $GB_TEST_PACKAGES

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Layout is part of the build: every C++ file must be as clang-format leaves it.
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run -Werror

# The layers stay apart, and the core builds without Qt.
scripts/check-layers.sh
cmake --preset core >/dev/null
cmake --build --preset core

# clang-tidy over the core and the system layer, with the checks of
# .clang-tidy; any finding fails the run.
scripts/run-clang-tidy.sh build/core

cmake --preset test >/dev/null
cmake --build --preset test
ctest --preset test -j"$(nproc)"
