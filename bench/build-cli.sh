#!/usr/bin/env bash
# Sourced by the benchmarks of the command-line tool, with the packages they
# need besides the build's and the benchmarks' own as arguments: installs
# them, builds glimmerbox-cli with the bench preset, and sets root (and goes
# there), build, results (made) and cli.
#   . "$(dirname "$0")/build-cli.sh" xorriso time
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
# shellcheck source=scripts/packages.sh
. scripts/packages.sh
# shellcheck disable=SC2086 # the lists are meant to split into names
gb_install_packages $GB_BUILD_PACKAGES $GB_BENCH_PACKAGES "$@"

build="$root/build/bench"
results="$build/results"
cli="$build/bin/glimmerbox-cli"

echo "== Build (preset bench: the command-line tool)"
cmake --preset bench >/dev/null
cmake --build --preset bench --target glimmerbox-cli
mkdir -p "$results"
