#!/usr/bin/env bash
# Drives glimmerbox-cli's bash completion as bash itself does: loads
# bash-completion and our completion, asks `complete -p` which function
# answers for glimmerbox-cli, sets COMP_WORDS, COMP_CWORD, COMP_LINE and
# COMP_POINT for each line of a table, and checks COMPREPLY. Then holds the
# values offered for --format and --size to those the program's own parser
# names when it refuses a value.
#
# bash-completion-test.sh COMPLETION_FILE GLIMMERBOX_CLI
set -uo pipefail
completion_file=$(realpath "$1")
cli=$(realpath "$2")

# shellcheck source=/dev/null
source /usr/share/bash-completion/bash_completion
# shellcheck source=/dev/null
source "$completion_file"

registration=$(complete -p glimmerbox-cli) || { echo "no completion for glimmerbox-cli" >&2; exit 1; }
function=$(sed -n 's/.*-F \([^ ]*\) .*/\1/p' <<<"$registration")
[[ -n $function ]] || { echo "no function in: $registration" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/icons/sub" "$work/out"
touch "$work/icons/app.exe" "$work/icons/apple.dll" "$work/icons/other.ico"
cd "$work"

# The sorted answers for a command line that ends where the cursor is.
answers_for() {
    local line=$1
    COMP_LINE=$line
    COMP_POINT=${#line}
    # bash breaks words at "=" too (COMP_WORDBREAKS): --format=h is
    # "--format" "=" "h".
    read -r -a COMP_WORDS <<<"${line//=/ = }"
    if [[ $line == *' ' ]]; then
        COMP_WORDS+=('')
    fi
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    "$function" glimmerbox-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

failures=0
check() {
    local name=$1 line=$2 expected=$3 got
    got=$(answers_for "$line")
    if [[ $got != "$expected" ]]; then
        echo "FAIL $name: '$line' gave '$got', expected '$expected'" >&2
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

# name                    line                                     expected answers
check FirstWordIsACommand 'glimmerbox-cli '                        '--help --version -j cursor-theme export launcher list'
check CommandPrefix       'glimmerbox-cli ex'                      'export'
check CommandAfterJobs    'glimmerbox-cli -j 2 l'                  'launcher list'
check OptionPrefix        'glimmerbox-cli export --for'            '--format'
check FormatValues        'glimmerbox-cli export --format '        'ani bmp cur hicolor ico original png xcursor'
check FormatValuePrefix   'glimmerbox-cli export --format o'       'original'
check FormatJoinedValue   'glimmerbox-cli export --format=h'       'hicolor'
check SizeValues          'glimmerbox-cli export --size '          '16 32 all'
check ListOptions         'glimmerbox-cli list --'                 '-- --archives --cursors --files-from --help --json --pattern --recursive'
check ListHasNoFormat     'glimmerbox-cli list --fo'               ''
check ExportOptions       'glimmerbox-cli export --'               '-- --archives --cursors --files-from --format --gray --help --out --pattern --prefix --recursive --size --sizes'
check LauncherOptions     'glimmerbox-cli launcher --'             '-- --all --data --force --help --list --name --prefix --prune --refresh-wine-entries --remove'
check CursorThemeOptions  'glimmerbox-cli cursor-theme --'         '-- --help --name --out --sizes'
check CursorThemeSources  'glimmerbox-cli cursor-theme icons/ap'   'icons/app.exe icons/apple.dll'
check CursorThemeOutDirs  'glimmerbox-cli cursor-theme --out ic'   'icons'
check PathPrefixIsFiles   'glimmerbox-cli list icons/ap'           'icons/app.exe icons/apple.dll'
check FolderIsOffered     'glimmerbox-cli export --size 32 icons/s' 'icons/sub'
check OutTakesFolders     'glimmerbox-cli export --out ic'          'icons'
check OutFolderInside     'glimmerbox-cli export --out icons/'      'icons/sub'
check AfterDashDashFiles  'glimmerbox-cli list -- icons/o'         'icons/other.ico'
check JobsTakeNoWord      'glimmerbox-cli list -j '                ''

# The values offered are exactly those the parser takes: its message on a
# value it refuses names them ("--format takes ico, bmp, png, original,
# hicolor, cur, ani or xcursor").
values_named_by_parser() {
    "$cli" export "$@" x --out "$work/out" "$work/icons" 2>&1 >/dev/null |
        sed -n 's/.* takes \(.*\)$/\1/p' | sed 's/,/ /g; s/ or / /' | tr -s ' ' '\n' | sort | paste -sd ' '
}
check_parser() {
    local name=$1 option=$2 offered named
    offered=$(answers_for "glimmerbox-cli export $option ")
    named=$(values_named_by_parser "$option")
    if [[ -z $named || $offered != "$named" ]]; then
        echo "FAIL $name: completion offers '$offered', the parser takes '$named'" >&2
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}
check_parser FormatValuesAreTheParsers --format
check_parser SizeValuesAreTheParsers --size

if ((failures > 0)); then
    echo "$failures completion cases failed" >&2
    exit 1
fi
