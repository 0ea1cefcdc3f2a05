#!/usr/bin/env bash
# Each program prints "NAME VERSION" for --version and its usage for --help,
# on standard output with status 0: the desktop program too, with no display
# to open (it answers before Qt looks for one).
#
# version-test.sh VERSION PROGRAM...
set -uo pipefail
version=$1
shift
status=0
for program in "$@"; do
    [[ -n $program ]] || continue # the desktop program, in a build without it
    name=$(basename "$program")
    for option in --version --help; do
        out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$option" 2>/dev/null)
        code=$?
        if [[ $code -ne 0 ]]; then
            echo "FAIL $name $option: status $code" >&2
            status=1
        elif [[ $option == --version && $out != "$name $version" ]]; then
            echo "FAIL $name --version printed '$out', not '$name $version'" >&2
            status=1
        elif [[ $option == --help && $out != *"Usage:"*"$name"* ]]; then
            echo "FAIL $name --help printed no usage: '$out'" >&2
            status=1
        else
            echo "ok   $name $option"
        fi
    done
done
exit $status
