#!/usr/bin/env bash
# The manual pages as built pass mandoc's lint at the warning level with
# nothing to say, and no scdoc source line starts with "." or "'" (scdoc
# passes such a line to roff as a request, and its first word disappears
# from the page).
#
# man-pages-lint.sh SCDOC_SOURCE_DIR BUILT_PAGE...
set -uo pipefail
sources=$1
shift
status=0
starts=$(grep -nE "^[[:space:]]*[.']" "$sources"/*.scd)
if [[ -n $starts ]]; then
    echo "scdoc lines that roff would take as requests:" >&2
    echo "$starts" >&2
    status=1
fi
for page in "$@"; do
    if [[ ! -s $page ]]; then
        echo "$page: missing or empty" >&2
        status=1
        continue
    fi
    said=$(mandoc -T lint -W warning "$page" 2>&1)
    code=$?
    if [[ -n $said || $code -ne 0 ]]; then
        echo "$page: mandoc -T lint -W warning (status $code):" >&2
        echo "$said" >&2
        status=1
    else
        echo "ok   $(basename "$page")"
    fi
done
exit $status
