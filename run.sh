#!/usr/bin/env bash
# Installs what Glimmerbox needs, builds it, and starts the desktop program.
# With arguments it runs glimmerbox-cli instead, e.g. ./run.sh list app.exe
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh
gb_install_packages $GB_BUILD_PACKAGES $GB_RUNTIME_PACKAGES

cmake --preset release >/dev/null
cmake --build --preset release

cli=build/release/bin/glimmerbox-cli
if [ $# -gt 0 ]; then
    exec "$cli" "$@"
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found. Start ./run.sh from a desktop session (or under xvfb-run),"
    echo "or use the command-line tool: ./run.sh list FILE... (see $cli --help)."
    exit 1
fi
exec build/release/bin/glimmerbox
