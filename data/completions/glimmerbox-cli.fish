# fish completion for glimmerbox-cli: the commands, their options, the values
# of --format and --size, and files and folders where a PATH or a folder goes.

# The command given so far: the first word that is one, past any "-j N".
function __glimmerbox_cli_command
    set -l words (commandline -opc)
    set -e words[1]
    set -l skip 0
    for word in $words
        if test $skip = 1
            set skip 0
            continue
        end
        switch $word
            case -j
                set skip 1
            case list export launcher cursor-theme
                echo $word
                return 0
            case '*'
                return 1
        end
    end
    return 1
end

function __glimmerbox_cli_using
    contains -- (__glimmerbox_cli_command) $argv
end

set -l cli glimmerbox-cli

# No file names before a command.
complete -c $cli -n 'not __glimmerbox_cli_command' -f
complete -c $cli -n 'not __glimmerbox_cli_command' -a list -d 'Print one line per icon found'
complete -c $cli -n 'not __glimmerbox_cli_command' -a export -d 'Write one file per icon into a folder'
complete -c $cli -n 'not __glimmerbox_cli_command' -a launcher -d 'Make a menu entry for a Windows program'
complete -c $cli -n 'not __glimmerbox_cli_command' -a cursor-theme -d 'Make a cursor theme of Windows cursors'
complete -c $cli -n 'not __glimmerbox_cli_command' -l version -d 'Print the version'
complete -c $cli -l help -d 'Print a summary of the commands and options'
complete -c $cli -s j -x -d 'Read N files at once (1 to 256)'

# list and export: files and folders, and how folders are searched.
complete -c $cli -n '__glimmerbox_cli_using list export' -F
complete -c $cli -n '__glimmerbox_cli_using list export' -l recursive -d 'Search every subfolder too'
complete -c $cli -n '__glimmerbox_cli_using list export' -l pattern -x -d 'The files of a folder to read (default *.exe)'
complete -c $cli -n '__glimmerbox_cli_using list export' -l archives -d 'Look inside archives, disk images and installers'
complete -c $cli -n '__glimmerbox_cli_using list export' -l files-from -r -F -d 'Also read the paths named in a file (- for standard input)'
complete -c $cli -n '__glimmerbox_cli_using list export' -s 0 -d 'The names of --files-from are separated by NUL bytes'
complete -c $cli -n '__glimmerbox_cli_using list' -l json -d 'One JSON object per line'
complete -c $cli -n '__glimmerbox_cli_using list' -l cursors -d 'List cursors instead of icons'

complete -c $cli -n '__glimmerbox_cli_using export' -l size -x -a '32 16 all' -d 'The size drawn'
complete -c $cli -n '__glimmerbox_cli_using export' -l format -x -a 'ico bmp png original hicolor cur ani xcursor' -d 'The kind of file written'
complete -c $cli -n '__glimmerbox_cli_using export' -l cursors -d 'Write cursors instead of icons'
complete -c $cli -n '__glimmerbox_cli_using export' -l sizes -x -d 'The cursor sizes written, separated by commas'
complete -c $cli -n '__glimmerbox_cli_using export' -l out -x -a '(__fish_complete_directories)' -d 'The folder written into'
complete -c $cli -n '__glimmerbox_cli_using export' -l prefix -x -d 'The start of every file name'
complete -c $cli -n '__glimmerbox_cli_using export' -l gray -d 'Write shades of gray'

# launcher: one program or Windows shortcut.
complete -c $cli -n '__glimmerbox_cli_using launcher' -F
complete -c $cli -n '__glimmerbox_cli_using launcher' -l prefix -x -a '(__fish_complete_directories)' -d 'The Wine prefix'
complete -c $cli -n '__glimmerbox_cli_using launcher' -l name -x -d 'The launcher\'s name'
complete -c $cli -n '__glimmerbox_cli_using launcher' -l data -x -a '(__fish_complete_directories)' -d 'The folder written into'
complete -c $cli -n '__glimmerbox_cli_using launcher' -l force -d 'Replace an entry from another source'
complete -c $cli -n '__glimmerbox_cli_using launcher' -l all -d 'A launcher for every shortcut of the prefix'
complete -c $cli -n '__glimmerbox_cli_using launcher' -l list -d 'List the launchers made'
complete -c $cli -n '__glimmerbox_cli_using launcher' -l remove -x -d 'Remove a launcher made'
complete -c $cli -n '__glimmerbox_cli_using launcher' -l prune -d 'Remove the launchers whose source is gone'
complete -c $cli -n '__glimmerbox_cli_using launcher' -l refresh-wine-entries -d 'Sharper icons for Wine\'s own entries'

# cursor-theme: cursor packs (folders or containers) and programs.
complete -c $cli -n '__glimmerbox_cli_using cursor-theme' -F
complete -c $cli -n '__glimmerbox_cli_using cursor-theme' -l name -x -d 'The theme\'s name'
complete -c $cli -n '__glimmerbox_cli_using cursor-theme' -l out -x -a '(__fish_complete_directories)' -d 'The folder of cursor themes'
complete -c $cli -n '__glimmerbox_cli_using cursor-theme' -l sizes -x -d 'The cursor sizes written, separated by commas'
