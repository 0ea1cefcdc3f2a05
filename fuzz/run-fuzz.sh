#!/usr/bin/env bash
# Fuzzes every reader of untrusted bytes with libFuzzer (clang 16), all
# targets side by side, each for SECONDS (default 600), starting from the
# seed corpora the test build makes from the fixtures.
#   fuzz/run-fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
gb_install_packages $GB_BUILD_PACKAGES $GB_TEST_PACKAGES $GB_FUZZ_PACKAGES

seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pe ne ico dib png bmp jpeg thumbnail shortcut version container installer stored ani pe_cursors)

# The seeds come from the fixtures of the test build.
cmake --preset test >/dev/null
cmake --build --preset test --target gb_fuzz_seeds
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Undefined behaviour and memory faults stop the run at their first report.
export ASAN_OPTIONS="abort_on_error=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

mkdir -p build/fuzz/corpus build/fuzz/logs
for t in "${targets[@]}"; do
    mkdir -p "build/fuzz/corpus/$t"
    # New inputs go to the first folder; the seeds stay as they are. Every
    # reader works in time linear in its input, so an input taking over
    # 10 s is a fault (a walk that revisits directories, say) and is kept.
    # (At 2 s, eight targets on two busy cores all timed out at once on
    # inputs that take 0.1 s alone.)
    build/fuzz/bin/fuzz_"$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="build/fuzz/logs/$t-" \
        "build/fuzz/corpus/$t" "build/test/fuzz-seeds/$t" > "build/fuzz/logs/$t.log" 2>&1 &
done
status=0
wait || status=$?
for t in "${targets[@]}"; do
    printf '%-4s ' "$t"
    grep -E '^Done [0-9]+ runs' "build/fuzz/logs/$t.log" || { echo "FAILED: see build/fuzz/logs/$t.log"; status=1; }
done
exit $status
