#!/usr/bin/env bash
# Measures two builds of the bench preset side by side, in one run, under the
# same machine load, and prints a Markdown table: before | after | ratio |
# target ("before" is the first build, "after" the second):
#   1. glimmerbox-cli export of every icon of the corpus, as PNG and as ICO,
#      at 32 and at 16: wall time with hyperfine, written to memory (tmpfs,
#      where fsync costs nothing) and to disk (where each file's fsync is
#      most of the time). A build whose --help offers -j runs with -j JOBS
#      (default: every core). Both builds must print the same lines in the
#      same order and write the same files, byte for byte.
#   2. glimmerbox-cli export --format ico --size 32 of a tree of COPIES
#      copies of the corpus (N icons, hyperfine wall time) against the
#      window's batch writing N colour ICO 32x32 files (runBatch, as timed
#      by batch_bench itself), both on disk.
#   3. the main window's resident memory with 100,000 icons, all three views
#      shown (window_bench's own figure).
#   4. the peak memory (GNU time -v) of a gray ICO 32x32 batch of
#      BATCH_COUNT icons against a colour one (batch_bench COUNT KIND).
#   5. the window's search, from the click to the result line, against
#      glimmerbox-cli list of the same tree of WINDOW_FILES files
#      (window_bench).
# Runs of the two builds alternate: hyperfine times both in each of ROUNDS
# rounds (which goes first alternates too), window_bench and batch_bench run
# before, after, before, ... The table, the machine's load and every raw
# figure are kept in build/bench/compare/.
#
#   bench/compare-builds.sh BASELINE_BUILD_DIR NEW_BUILD_DIR
#
# Each BUILD_DIR is a build of the bench preset (bin/glimmerbox-cli,
# bench/window_bench, bench/batch_bench), e.g. build/bench of two worktrees.
# The same directory twice measures the noise of the machine. A batch_bench
# without the KIND argument (older builds) is stood in for by this
# checkout's bench/batch_bench.cpp, compiled and linked with that build's
# own commands and libraries (nothing in the build directory is touched);
# when that fails too, the batch rows say n/a.
#
# Settings (environment):
#   ROUNDS=3 RUNS=3     hyperfine rounds, runs per round (after a warm-up)
#   JOBS=N              -j for builds that take it (default: nproc)
#   EXPORTS="png:32@mem png:16@mem ico:32@mem ico:16@mem png:32@disk ico:32@disk"
#                       the exports of (1): FORMAT:SIZE@mem (/dev/shm) or @disk
#   COPIES=2            copies of the corpus in the tree of (2)
#   BATCH_COUNT=50000   icons of each batch in (4), written to /dev/shm;
#                       MEM_RUNS=1 runs of each
#   WINDOW_FILES=30000  files of the window's search; WINDOW_RUNS=3 runs each
#   MEASURES="1 2 3 4 5"  which of the measures to take
#   OUT_BASE=DIR        the disk's outputs there rather than in $TMPDIR or /tmp
# Takes about a quarter of an hour on 2 cores with the defaults.
set -euo pipefail

usage() {
    echo "usage: bench/compare-builds.sh BASELINE_BUILD_DIR NEW_BUILD_DIR" >&2
    exit 2
}
[ $# -eq 2 ] || usage

root="$(cd "$(dirname "$0")/.." && pwd)"
results="$root/build/bench/compare"
corpus="$root/corpus"

rounds="${ROUNDS:-3}"
runs="${RUNS:-3}"
jobs="${JOBS:-$(nproc)}"
exports="${EXPORTS:-png:32@mem png:16@mem ico:32@mem ico:16@mem png:32@disk ico:32@disk}"
copies="${COPIES:-2}"
batch_count="${BATCH_COUNT:-50000}"
mem_runs="${MEM_RUNS:-1}"
window_files="${WINDOW_FILES:-30000}"
window_runs="${WINDOW_RUNS:-3}"
measures="${MEASURES:-1 2 3 4 5}"
out_base="${OUT_BASE:-${TMPDIR:-/tmp}}"

# shellcheck source=scripts/packages.sh
. "$root/scripts/packages.sh"
gb_install_packages hyperfine time jq ninja-build

# The two builds: dir[before], dir[after]; the programs of each.
declare -A dir cli window batch jflag batch_note
dir[before]="$(cd "$1" && pwd)" || usage
dir[after]="$(cd "$2" && pwd)" || usage
sides=(before after)

# A program of a build, wherever the preset puts it.
program() {
    local d="$1" name="$2" p
    for p in "$d/bin/$name" "$d/bench/$name"; do
        [ -x "$p" ] && { echo "$p"; return 0; }
    done
    echo "no $name in $d" >&2
    return 1
}

for s in "${sides[@]}"; do
    cli[$s]="$(program "${dir[$s]}" glimmerbox-cli)"
    window[$s]="$(program "${dir[$s]}" window_bench)"
    # -j N where the build takes it; its help is read whole first, so that
    # grep leaving early cannot fail the pipe.
    help="$("${cli[$s]}" --help 2>&1 || true)"
    if grep -qE -- '(^|[^[:alnum:]-])-j([^[:alnum:]]|$)' <<<"$help"; then
        jflag[$s]="-j $jobs"
    else
        jflag[$s]=""
    fi
done

rm -rf "${results:?}"
mkdir -p "$results"
# Export outputs (large, many files) in OUT_BASE; trees of hard links to the
# corpus next to the results, on the corpus's file system.
out="$(mktemp -d "$out_base/glimmerbox-compare.XXXXXX")"
mem="$out"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    mem="$(mktemp -d /dev/shm/glimmerbox-compare.XXXXXX)"
fi
work="$(mktemp -d "$results/work.XXXXXX")"
trap 'rm -rf "$out" "$mem" "$work"' EXIT

load() { cut -d' ' -f1-3 /proc/loadavg; }
{
    echo "before: ${dir[before]} (${jflag[before]:-no -j})"
    echo "after:  ${dir[after]} (${jflag[after]:-no -j})"
    echo "machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GB", $2 / 1048576}' /proc/meminfo)"
    echo "load average at the start: $(load)"
} | tee "$results/machine.txt"

echo
echo "== Corpus"
"$root/bench/gather-corpus.sh" "${cli[before]}" | tee "$results/corpus.txt"
list="$corpus/files.txt"

# Rows of the table: measure, before, after, ratio, target.
rows=()
row() { rows+=("| $1 | $2 | $3 | $4 | $5 |"); }

# Arithmetic on figures that may be "n/a".
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN {
        if (a == "n/a" || b == "n/a" || a + 0 == 0) print "n/a"; else printf "%.2f×", b / a }'
}
# "yes"/"no" for whether VALUE <= LIMIT, n/a when there is no value.
within() {
    awk -v v="$1" -v l="$2" 'BEGIN { if (v == "n/a" || v == "") print "n/a"; else print (v + 0 <= l + 0 ? "yes" : "no") }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
maximum() { sort -g | tail -n1 | awk 'END { print (NR ? $1 : "n/a") }'; }
seconds() { awk -v s="$1" 'BEGIN { if (s == "n/a") print "n/a"; else printf "%.3f s", s }'; }
bare() { sed -E 's/^([0-9.]+).*/\1/' <<<"$1"; } # "0.61×" -> 0.61, "n/a" stays

# Times a command of each build with hyperfine over ROUNDS rounds, the first
# build first in odd rounds, the second in even ones; prints "MEAN_BEFORE
# SD_BEFORE MEAN_AFTER SD_AFTER" in seconds.
#   timed NAME PREPARE_BEFORE COMMAND_BEFORE PREPARE_AFTER COMMAND_AFTER
timed() {
    local name="$1" r order
    for r in $(seq 1 "$rounds"); do
        if [ $((r % 2)) -eq 1 ]; then order=(before "$2" "$3" after "$4" "$5"); else order=(after "$4" "$5" before "$2" "$3"); fi
        hyperfine --warmup 1 --runs "$runs" --ignore-failure --style basic \
            --export-json "$results/$name-$r.json" \
            --prepare "${order[1]}" -n "${order[0]}" "${order[2]}" \
            --prepare "${order[4]}" -n "${order[3]}" "${order[5]}" >>"$results/$name.log" 2>&1
    done
    jq -rs '
        def stats: (add / length) as $m | [$m, ((map(. - $m | . * .) | add) / length | sqrt)];
        [.[].results[]] as $all
        | ["before", "after"]
        | map(. as $n | [$all[] | select(.command == $n) | .times[]] | stats)
        | flatten | map(tostring) | join(" ")' "$results/$name"-*.json
}

# ---------------------------------------------------------------------------
# 1. Export of every icon of the corpus.
if [[ " $measures " == *" 1 "* ]]; then
    echo
    echo "== 1. glimmerbox-cli export of the corpus (hyperfine, $rounds rounds of $runs runs; load $(load))"
    cd "$corpus"
    checked=" "
    for e in $exports; do
        place="${e##*@}"
        e="${e%@*}"
        fmt="${e%%:*}"
        size="${e##*:}"
        case "$place" in
        mem) dest="$mem" where="memory" ;;
        disk) dest="$out" where="disk" ;;
        *) echo "EXPORTS: $place is neither mem nor disk" >&2; exit 2 ;;
        esac
        name="export-$fmt$size-$place"
        declare -A cmd=()
        for s in "${sides[@]}"; do
            # One run over the whole list: xargs gets room enough for it
            # (the output files are numbered within one run).
            cmd[$s]="xargs -d '\n' -s 1048576 -a $(printf %q "$list") $(printf %q "${cli[$s]}") ${jflag[$s]} export --size $size --format $fmt --out $(printf %q "$dest/$s") >/dev/null 2>&1"
        done
        times="$(timed "$name" "rm -rf '$dest/before'; sync" "${cmd[before]}" \
            "rm -rf '$dest/after'; sync" "${cmd[after]}")"
        read -r mb sb ma sa <<<"$times"
        rm -rf "$dest/before" "$dest/after"
        echo "$fmt $size to $where: before $mb s ± $sb, after $ma s ± $sa"
        r=$(ratio "$mb" "$ma")
        row "export --format $fmt --size $size of the corpus, to $where" \
            "$(seconds "$mb") ± $(awk -v s="$sb" 'BEGIN {printf "%.3f", s}')" \
            "$(seconds "$ma") ± $(awk -v s="$sa" 'BEGIN {printf "%.3f", s}')" "$r" \
            "after ≤ 0.6× before: $(within "$(bare "$r")" 0.6)"

        # Same lines, same order, same bytes, once for each format and size:
        # each build writes to the same path in turn, so that the printed
        # lines compare as they are.
        [[ "$checked" == *" $fmt:$size "* ]] && continue
        checked+="$fmt:$size "
        check="$results/export-$fmt$size"
        for s in "${sides[@]}"; do
            rm -rf "$dest/check"
            # shellcheck disable=SC2086 # no -j is no word at all
            xargs -d '\n' -s 1048576 -a "$list" "${cli[$s]}" ${jflag[$s]} export --size "$size" --format "$fmt" \
                --out "$dest/check" >"$check-$s.stdout" 2>"$check-$s.stderr" || true
            mv "$dest/check" "$dest/$s-written"
        done
        same="yes"
        if ! cmp -s "$check-before.stdout" "$check-after.stdout"; then
            same="no: the printed lines differ (see export-$fmt$size-*.stdout)"
        elif ! diff <(cd "$dest/before-written" && find . -type f | sort) \
            <(cd "$dest/after-written" && find . -type f | sort) >/dev/null; then
            same="no: not the same files"
        else
            while IFS= read -r f; do
                if ! cmp -s "$dest/before-written/$f" "$dest/after-written/$f"; then
                    same="no: $f differs"
                    break
                fi
            done < <(cd "$dest/before-written" && find . -type f)
        fi
        if [ "$same" = yes ] && ! diff <(sort "$check-before.stderr") <(sort "$check-after.stderr") >/dev/null; then
            same="yes (messages on standard error differ)"
        fi
        icons=$(wc -l <"$check-before.stdout")
        files=$(find "$dest/before-written" -type f | wc -l)
        rm -rf "$dest/before-written" "$dest/after-written"
        echo "$fmt $size: $icons lines, $files files; the same from both: $same"
        row "… $fmt $size: same lines in the same order, same bytes ($icons lines, $files files)" "" "" "" "$same"
    done
    cd "$root"
fi

# ---------------------------------------------------------------------------
# batch_bench COUNT KIND for each build: its own, or one built from this
# checkout's source with that build's commands.
batch_ready=""
batch_programs() {
    [ -n "$batch_ready" ] && return 0
    batch_ready=1
    local s p lines commands compile link object target
    for s in "${sides[@]}"; do
        p="$(program "${dir[$s]}" batch_bench)" || p=""
        lines=0
        if [ -n "$p" ]; then
            # With a count of 0 an older batch_bench prints all eight kinds.
            mkdir -p "$work/probe"
            lines=$(cd "$work/probe" && "$p" 0 ico32 2>/dev/null | wc -l) || lines=0
        fi
        if [ "$lines" -eq 1 ]; then
            batch[$s]="$p"
            batch_note[$s]=""
            continue
        fi
        batch[$s]=""
        batch_note[$s]="batch_bench of this checkout, built against ${dir[$s]}"
        object="bench/CMakeFiles/batch_bench.dir/batch_bench.cpp.o"
        target="bin/batch_bench"
        [ -z "$p" ] || target="${p#"${dir[$s]}"/}"
        commands="$(ninja -C "${dir[$s]}" -t commands "$target" 2>/dev/null)" || continue
        compile="$(grep -F -- "-o $object " <<<"$commands" | tail -n1)"
        link="$(grep -F -- "-o $target " <<<"$commands" | tail -n1)"
        if [ -z "$compile" ] || [ -z "$link" ]; then continue; fi
        # Nothing is written into the build directory: no dependency file,
        # the object and the program in the work folder.
        compile="$(sed -E -e 's# -MD -MT [^ ]+ -MF [^ ]+##' \
            -e "s# [^ ]*/bench/batch_bench\\.cpp# $root/bench/batch_bench.cpp#" \
            -e "s#-o $object #-o $work/batch_bench-$s.o #" <<<"$compile")"
        link="$(sed -e "s#$object#$work/batch_bench-$s.o#" \
            -e "s#-o $target #-o $work/batch_bench-$s #" <<<"$link")"
        if (cd "${dir[$s]}" && eval "$compile" && eval "$link") >"$results/batch_bench-$s-build.log" 2>&1; then
            batch[$s]="$work/batch_bench-$s"
        else
            batch_note[$s]="no batch_bench with KIND for ${dir[$s]} (see batch_bench-$s-build.log)"
        fi
    done
    for s in "${sides[@]}"; do
        [ -z "${batch_note[$s]}" ] || echo "$s: ${batch_note[$s]}" | tee -a "$results/machine.txt"
    done
}

# ---------------------------------------------------------------------------
# 2. glimmerbox-cli export of N icons against the window's batch of N icons.
if [[ " $measures " == *" 2 "* ]]; then
    echo
    echo "== 2. glimmerbox-cli export --format ico --size 32 against the batch (load $(load))"
    batch_programs
    tree="$work/tree"
    mkdir -p "$tree"
    for c in $(seq 1 "$copies"); do
        # Hard links where the file system allows, symbolic ones elsewhere.
        cp -al "$corpus/files" "$tree/c$c" 2>/dev/null || cp -as "$corpus/files" "$tree/c$c"
    done
    declare -A cmd=()
    for s in "${sides[@]}"; do
        cmd[$s]="$(printf %q "${cli[$s]}") ${jflag[$s]} export --size 32 --format ico --recursive --pattern '*' --out $(printf %q "$out/$s") $(printf %q "$tree") >/dev/null 2>&1"
    done
    times="$(timed cli-ico32 "rm -rf '$out/before'; sync" "${cmd[before]}" \
        "rm -rf '$out/after'; sync" "${cmd[after]}")"
    read -r cb _ ca _ <<<"$times"
    n=$(find "$out/after" -type f | wc -l)
    nb=$(find "$out/before" -type f | wc -l)
    [ "$n" -eq "$nb" ] || echo "warning: before wrote $nb files, after $n" | tee -a "$results/machine.txt"
    rm -rf "$out/before" "$out/after"

    # batch_bench times runBatch alone, without making its icons.
    declare -A batch_s=()
    for s in "${sides[@]}"; do : >"$results/batch-beside-export-$s.txt"; done
    for _ in $(seq 1 $((rounds * runs))); do
        for s in "${sides[@]}"; do
            [ -n "${batch[$s]}" ] || continue
            mkdir -p "$out/batch-$s"
            sync
            (cd "$out/batch-$s" && "${batch[$s]}" "$n" ico32) >>"$results/batch-beside-export-$s.txt"
        done
    done
    for s in "${sides[@]}"; do
        batch_s[$s]=$(sed -nE 's/.* files in ([0-9.]+) s.*/\1/p' "$results/batch-beside-export-$s.txt" | median)
    done
    echo "cli: before $cb s, after $ca s; batch of $n: before ${batch_s[before]} s, after ${batch_s[after]} s"
    rb=$(ratio "${batch_s[before]}" "$cb")
    ra=$(ratio "${batch_s[after]}" "$ca")
    row "export --format ico --size 32 of $copies copies of the corpus ($n icons)" \
        "$(seconds "$cb")" "$(seconds "$ca")" "$(ratio "$cb" "$ca")" ""
    row "batch of $n colour ICO 32×32 (runBatch, median)" \
        "$(seconds "${batch_s[before]}")" "$(seconds "${batch_s[after]}")" \
        "$(ratio "${batch_s[before]}" "${batch_s[after]}")" ""
    row "… export / batch" "$rb" "$ra" "" "after ≤ 1.2×: $(within "$(bare "$ra")" 1.2)"
    rm -rf "$tree"
fi

# ---------------------------------------------------------------------------
# 3 and 5. The window: its search against glimmerbox-cli list, its memory
# with 100,000 icons; window_bench does both in one run.
if [[ " $measures " == *" 3 "* || " $measures " == *" 5 "* ]]; then
    echo
    echo "== 3, 5. The window (window_bench, $window_files files, $window_runs runs each; load $(load))"
    for s in "${sides[@]}"; do : >"$results/window-$s.txt"; done
    for _ in $(seq 1 "$window_runs"); do
        for s in "${sides[@]}"; do
            (cd "$work" && "${window[$s]}" "$list" "${cli[$s]}" "$window_files") 2>&1 |
                grep -v XDG_RUNTIME | tee -a "$results/window-$s.txt"
        done
    done
    declare -A win_ms=() list_ms=() wratio=() block=() rss=() icons=()
    for s in "${sides[@]}"; do
        f="$results/window-$s.txt"
        win_ms[$s]=$(sed -nE 's/.*: window ([0-9]+) ms, .*/\1/p' "$f" | median)
        list_ms[$s]=$(sed -nE 's/.* list ([0-9]+) ms.*/\1/p' "$f" | median)
        wratio[$s]=$(sed -nE 's/.* ms, ratio ([0-9.]+).*/\1/p' "$f" | median)
        block[$s]=$(sed -nE 's/^longest event-loop block.*: ([0-9]+) ms.*/\1/p' "$f" | maximum)
        rss[$s]=$(sed -nE 's/.*resident memory ([0-9]+) MB.*/\1/p' "$f" | median)
        icons[$s]=$(sed -nE 's/^search of [0-9]+ files \(([0-9]+) icons\).*/\1/p' "$f" | head -n1)
    done
    ms() { awk -v v="$1" 'BEGIN { if (v == "n/a") print "n/a"; else printf "%d ms", v }'; }
    mb() { awk -v v="$1" 'BEGIN { if (v == "n/a") print "n/a"; else printf "%d MB", v }'; }
    if [[ " $measures " == *" 3 "* ]]; then
        row "window, 100,000 icons after the search of $window_files files, all three views: resident memory (median)" \
            "$(mb "${rss[before]}")" "$(mb "${rss[after]}")" "$(ratio "${rss[before]}" "${rss[after]}")" \
            "after ≤ 250 MB: $(within "${rss[after]}" 250)"
    fi
    if [[ " $measures " == *" 5 "* ]]; then
        row "window search of $window_files files (${icons[before]:-?} icons), click to result line (median)" \
            "$(ms "${win_ms[before]}")" "$(ms "${win_ms[after]}")" \
            "$(ratio "${win_ms[before]}" "${win_ms[after]}")" ""
        row "glimmerbox-cli list --recursive of the same tree (median)" \
            "$(ms "${list_ms[before]}")" "$(ms "${list_ms[after]}")" \
            "$(ratio "${list_ms[before]}" "${list_ms[after]}")" ""
        row "… window / list (median of the runs' ratios)" "${wratio[before]}×" "${wratio[after]}×" "" \
            "after ≤ 1.2×: $(within "${wratio[after]}" 1.2)"
        row "… longest event-loop block during the search (max)" "$(ms "${block[before]}")" \
            "$(ms "${block[after]}")" "" "under 50 ms: $(within "${block[after]}" 49.999)"
    fi
fi

# ---------------------------------------------------------------------------
# 4. Peak memory of a gray batch against a colour one.
if [[ " $measures " == *" 4 "* ]]; then
    echo
    echo "== 4. Peak memory of batches of $batch_count ICO 32x32, colour and gray (GNU time -v; load $(load))"
    # Written to memory: only the memory counts here, and fsync would take
    # minutes.
    batch_programs
    declare -A peak=()
    for kind in ico32 gray-ico32; do
        for s in "${sides[@]}"; do : >"$results/rss-$kind-$s.txt"; done
        for _ in $(seq 1 "$mem_runs"); do
            for s in "${sides[@]}"; do
                [ -n "${batch[$s]}" ] || continue
                mkdir -p "$mem/batch-$s"
                (cd "$mem/batch-$s" && /usr/bin/time -v -o "$mem/time.txt" "${batch[$s]}" "$batch_count" "$kind") |
                    tee -a "$results/batch-$kind-$batch_count-$s.txt"
                awk -F': ' '/Maximum resident set size/ {print $2}' "$mem/time.txt" >>"$results/rss-$kind-$s.txt"
            done
        done
        for s in "${sides[@]}"; do
            peak[$kind-$s]=$(awk '{ print $1 / 1024 }' "$results/rss-$kind-$s.txt" | maximum)
        done
    done
    mbf() { awk -v v="$1" 'BEGIN { if (v == "n/a") print "n/a"; else printf "%.1f MB", v }'; }
    extra() { awk -v c="$1" -v g="$2" 'BEGIN { if (c == "n/a" || g == "n/a") print "n/a"; else printf "%+.1f %%", (g / c - 1) * 100 }'; }
    for kind in ico32 gray-ico32; do
        label="colour"
        [ "$kind" = ico32 ] || label="gray"
        row "$label ICO 32×32 batch of $batch_count: peak RSS (max of $mem_runs)" \
            "$(mbf "${peak[$kind-before]}")" "$(mbf "${peak[$kind-after]}")" \
            "$(ratio "${peak[$kind-before]}" "${peak[$kind-after]}")" ""
    done
    eb=$(extra "${peak[ico32-before]}" "${peak[gray-ico32-before]}")
    ea=$(extra "${peak[ico32-after]}" "${peak[gray-ico32-after]}")
    row "… gray over colour" "$eb" "$ea" "" \
        "after ≤ +10 %: $(awk -v e="$ea" 'BEGIN { if (e == "n/a") print "n/a"; else print (e + 0 <= 10 ? "yes" : "no") }')"
fi

# ---------------------------------------------------------------------------
echo "load average at the end: $(load)" | tee -a "$results/machine.txt"
{
    echo "| Measure | before | after | ratio (after/before) | target |"
    echo "| --- | ---: | ---: | ---: | --- |"
    printf '%s\n' "${rows[@]}"
} >"$results/table.md"
echo
cat "$results/machine.txt"
echo
cat "$results/table.md"
echo
echo "Kept in $results"
