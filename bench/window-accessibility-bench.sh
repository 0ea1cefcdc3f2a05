#!/usr/bin/env bash
# The main window's search with the desktop's accessibility bus off and on,
# each against glimmerbox-cli list of the same tree in the same run:
#   bench/window_bench under Xvfb (the xcb platform: Qt's bridge to AT-SPI
#   comes with it, not with offscreen), in a D-Bus session of its own with
#   the accessibility bus started, first without and then with
#   QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1; GNU time gives the largest resident
#   memory of each run (the window with the catalogue filled to 100,000
#   icons and every view shown).
# Results are kept in build/bench/results/window-accessibility.txt.
#
#   bench/window-accessibility-bench.sh [FILE_LIST [FILES]]
#     FILE_LIST  corpus files, one a line, relative to the list's folder
#                (default corpus/files.txt, from bench/gather-corpus.sh)
#     FILES      files in the searched tree (default 100000)
#   RUNS=3 bench/window-accessibility-bench.sh    runs of each (default 2)
#   WINDOW_BENCH=/path/to/window_bench ...        another build's (before/after)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# shellcheck source=scripts/packages.sh
. scripts/packages.sh
gb_install_packages xvfb xauth dbus-daemon at-spi2-core time

list="$(realpath "${1:-$root/corpus/files.txt}")"
files="${2:-100000}"
runs="${RUNS:-2}"
build="$root/build/bench"
window_bench="$(realpath -m "${WINDOW_BENCH:-$build/bin/window_bench}")"
results="$build/results"
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "no $launcher: at-spi2-core is needed" >&2; exit 1; }
[ -f "$list" ] || bench/gather-corpus.sh >/dev/null

echo "== Build (preset bench: window_bench, glimmerbox-cli)"
cmake --preset bench >/dev/null
cmake --build --preset bench --target window_bench glimmerbox-cli
mkdir -p "$results"

# One run: the session bus starts the accessibility bus on the first call
# to it (the bridge only watches for it), then window_bench runs there.
measure() {
    local bridge="$1"
    local env=(QT_QPA_PLATFORM=xcb)
    [ "$bridge" = on ] && env+=(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
    # shellcheck disable=SC2016 # $1 and $2 are the inner shell's
    (cd "$build" && env "${env[@]}" xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- sh -c '
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
        /usr/bin/time -f "largest resident memory: %M KB" "$3" "$1" ./bin/glimmerbox-cli "$2"
    ' sh "$list" "$files" "$window_bench" 2>&1) | grep -E '^(platform|search|CPU|longest|catalogue|largest)'
}

echo
echo "== The window's search of $files files, accessibility bus off and on ($runs runs each)"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
: >"$results/window-accessibility.txt"
for run in $(seq "$runs"); do
    for bridge in off on; do
        echo "-- run $run, bridge $bridge"
        measure "$bridge"
    done
done | tee "$results/window-accessibility.txt"

echo
echo "== Summary (medians)"
awk '
    /^platform/ { bridge = $NF }
    /^search/ { for (i = 1; i <= NF; ++i) if ($i == "ratio") r[bridge] = r[bridge] " " $(i + 1) }
    /^CPU/ { c[bridge] = c[bridge] " " $NF }
    /^largest/ { m[bridge] = m[bridge] " " $(NF - 1) }
    function median(s,   a, n, i, j, t) {
        n = split(s, a, " ")
        for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    END {
        for (b in r)
            printf "accessibility %-3s: window / glimmerbox-cli list %.2f elapsed, %.2f CPU (target: within 1.2), largest memory %.0f MB (target: within 250 MB)\n",
                b, median(r[b]), median(c[b]), median(m[b]) / 1024
    }' "$results/window-accessibility.txt" | sort | tee -a "$results/window-accessibility.txt"
