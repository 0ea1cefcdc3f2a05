#!/usr/bin/env bash
# Installs what the tests need, builds the test build (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test. Each phase prints its time
# as "== PHASE: N s", so a slow run shows where its time went.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh

# Runs one phase (a command and its arguments) and prints its time.
phase()
{
    local name=$1 started=$SECONDS
    shift
    "$@"
    echo "== $name: $((SECONDS - started)) s"
}

# Layout is part of the build: every C++ file must be as clang-format leaves it.
checkFormat()
{
    git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run -Werror
}

phase install gb_install_packages $GB_BUILD_PACKAGES $GB_RUNTIME_PACKAGES $GB_TEST_PACKAGES

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

phase "format check" checkFormat
# The layers stay apart (CI builds the core without Qt as well).
phase layers scripts/check-layers.sh

# clang-tidy over the core and the system layer as the test build compiles
# them, with the checks of .clang-tidy; any finding fails the run.
configureTests() { cmake --preset test >/dev/null; }
phase configure configureTests
phase clang-tidy scripts/run-clang-tidy.sh build/test

phase "test build" cmake --build --preset test
phase ctest ctest --preset test -j"$(nproc)"

# The threaded code under ThreadSanitizer (a build of its own, without Qt):
# always in CI, here when asked for with GLIMMERBOX_TSAN=1.
if [ "${GLIMMERBOX_TSAN:-0}" = 1 ]; then
    phase tsan scripts/tsan.sh
fi
