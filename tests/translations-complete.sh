#!/usr/bin/env bash
# Every window text has a finished translation, and no translation is left
# over from a text the sources no longer hold: lupdate brings a copy of each
# committed .ts up to date with the sources, and the copy must show nothing
# unfinished, obsolete or vanished, nor an empty translation.
#   translations-complete.sh SOURCE_DIR LUPDATE
set -u
source_dir=$1
export LUPDATE=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for committed in "$source_dir"/translations/glimmerbox_*.ts; do
    copy=$work/$(basename "$committed")
    cp "$committed" "$copy"
    if ! "$source_dir"/scripts/update-translations.sh "$copy" >"$work/lupdate.log" 2>&1; then
        cat "$work/lupdate.log"
        exit 1
    fi
    # One message a line: its source, comment and translation.
    problems=$(tr '\n' '\r' <"$copy" | sed 's|</message>|&\n|g' |
        grep -E 'type="(unfinished|obsolete|vanished)"|<translation></translation>|<translation/>' |
        sed -E 's|.*<source>([^<]*)</source>.*<translation( type="([a-z]+)")?.*|  \3: \1|' | tr '\r' ' ')
    if [ -n "$problems" ]; then
        echo "$(basename "$committed"): texts without a finished translation, or translations of texts no longer in the sources:"
        echo "$problems"
        echo "Run scripts/update-translations.sh, translate what is unfinished and delete what is vanished."
        status=1
    else
        echo "$(basename "$committed"): $(grep -c '<message>' "$copy") texts, all translated"
    fi
done
exit $status
