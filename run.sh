#!/usr/bin/env bash
# Installs what Glimmerbox needs, builds it, and starts it.
# Arguments are passed to glimmerbox-cli, e.g. ./run.sh list app.exe
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh
gb_install_packages $GB_BUILD_PACKAGES $GB_RUNTIME_PACKAGES

cmake --preset release >/dev/null
cmake --build --preset release

cli=build/release/src/cli/glimmerbox-cli
if [ $# -gt 0 ]; then
    exec "$cli" "$@"
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found. Start ./run.sh from a desktop session, or use the"
    echo "command-line tool: ./run.sh list FILE... (or $cli --help)."
    echo
fi
# The desktop window comes next; until then the engine is the command-line tool.
exec "$cli" --help
