#!/usr/bin/env bash
# The zsh and fish completions at least parse in their own shells.
#
# shells-parse-test.sh ZSH_COMPLETION FISH_COMPLETION
set -uo pipefail
status=0
zsh -n "$1" || { echo "zsh cannot parse $1" >&2; status=1; }
fish --no-execute "$2" || { echo "fish cannot parse $2" >&2; status=1; }
# fish offers the values of --format from its file.
offered=$(fish --no-config -c "source '$2'; complete -C 'glimmerbox-cli export --format '" | cut -f1 | sort | paste -sd ' ')
if [[ $offered != "ani bmp cur hicolor ico original png xcursor" ]]; then
    echo "fish offers '$offered' for --format" >&2
    status=1
fi
exit $status
