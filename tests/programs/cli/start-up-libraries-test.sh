#!/bin/sh
# The command-line tool starts without libarchive (linked into the archive
# reader process alone) or libgsf and GLib (in the compound file module,
# loaded for the first installer package): a script that runs it once per
# cursor theme or launcher pays for neither. An installer package still
# reads through the module.
#   start-up-libraries-test.sh CLI MSI
set -eu
cli="$1"
msi="$2"
needed="$(readelf -d "$cli" | grep NEEDED)"
if printf '%s\n' "$needed" | grep -E 'libarchive|libgsf|libglib|libgobject|libxml2'; then
    echo "glimmerbox-cli loads these at every start" >&2
    exit 1
fi
listing="$("$cli" list --archives "$msi")"
case "$listing" in
*"$msi//"*) ;;
*) echo "the package's icons are not listed: $listing" >&2; exit 1 ;;
esac
err="$(mktemp)"
trap 'rm -f "$err"' EXIT
if GLIMMERBOX_COMPOUND_MODULE=/nonexistent/module.so "$cli" list --archives "$msi" 2>"$err" >/dev/null; then
    echo "a missing module went unreported" >&2
    exit 1
fi
grep -q "installer package reader" "$err" || { cat "$err" >&2; exit 1; }
