# bash completion for glimmerbox-cli                       -*- shell-script -*-
# The commands, their options, the values of --format and --size (those the
# command line's parser takes: a test holds the two to each other), and
# files and folders where a PATH or a folder goes.

_glimmerbox_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    # The command: the first word that is one, past any "-j N" before it.
    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            -j) ((i++)) ;;
            list | export | launcher | cursor-theme)
                command=${words[i]}
                break
                ;;
            *) break ;;
        esac
    done

    # Everything after "--" is a PATH.
    local j
    for ((j = i + 1; j < cword; j++)); do
        if [[ ${words[j]} == -- ]]; then
            _filedir
            return
        fi
    done

    case $prev in
        --format)
            [[ $command == export ]] &&
                COMPREPLY=($(compgen -W 'ico bmp png original hicolor cur ani xcursor' -- "$cur"))
            return
            ;;
        --size)
            [[ $command == export ]] &&
                COMPREPLY=($(compgen -W '32 16 all' -- "$cur"))
            return
            ;;
        --out | --data)
            _filedir -d
            return
            ;;
        --files-from)
            _filedir
            return
            ;;
        --prefix)
            # launcher: a Wine prefix, a folder; export: a file name's start.
            [[ $command == launcher ]] && _filedir -d
            return
            ;;
        -j | --pattern | --name | --remove | --sizes)
            return
            ;;
    esac
    $split && return

    local options
    case $command in
        list) options='--json --cursors -j --recursive --pattern --archives --files-from -0 --help --' ;;
        export) options='--size --sizes --cursors --format --out --prefix --gray -j --recursive --pattern --archives --files-from -0 --help --' ;;
        launcher) options='--prefix --name --data --force --all --list --remove --prune --refresh-wine-entries --help --' ;;
        cursor-theme) options='--name --out --sizes --help --' ;;
        *)
            COMPREPLY=($(compgen -W 'list export launcher cursor-theme --help --version -j' -- "$cur"))
            return
            ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    _filedir
} &&
    complete -F _glimmerbox_cli glimmerbox-cli

# ex: filetype=sh
