#!/usr/bin/env bash
# Brings every translations/glimmerbox_<lang>.ts up to date with the window
# texts in the sources: new texts arrive unfinished, texts gone from the
# sources are marked vanished. Translate the new ones (Qt Linguist, or any
# editor), drop the vanished ones, and the test TranslationsAreComplete
# passes again.
#   scripts/update-translations.sh [TS_FILE...]
set -eu
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}
[ $# -gt 0 ] || set -- translations/glimmerbox_*.ts
for ts in "$@"; do
    lang=$(basename "$ts" .ts)
    lang=${lang#glimmerbox_}
    "$lupdate" -silent -extensions cpp,h -locations none -source-language zh_CN -target-language "$lang" \
        src/gui src/programs/glimmerbox -ts "$ts"
done
