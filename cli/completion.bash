# bash completion for segdreport                          -*- shell-script -*-
# Installed as share/bash-completion/completions/segdreport and loaded on
# demand by bash-completion. Options and trace data names are read from the
# program's own --help, so they cannot fall behind it.

_segdreport()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        --help | -h | --version | --output)
            # --output takes a report name, not a path
            return
            ;;
        --folder | --*-dir)
            _filedir -d
            return
            ;;
        --summary-format)
            COMPREPLY=($(compgen -W 'csv json' -- "$cur"))
            return
            ;;
        --jobs)
            COMPREPLY=($(compgen -W "{1..$(_ncpus)}" -- "$cur"))
            return
            ;;
        --select)
            # One item of a comma-separated list: the last one is completed.
            local names prefix=""
            [[ $cur == *,* ]] && prefix=${cur%,*},
            names=$("$1" --help 2>/dev/null | awk '/^Trace fields/ { on = 1; next } /^Sections/ { on = 0 } on && $1 ~ /^[0-9]+$/ { print $2 }')
            COMPREPLY=($(compgen -P "$prefix" -W "all none $names" -- "${cur##*,}"))
            compopt -o nospace
            return
            ;;
        --csv | --json | --defaults | --summary | --qc | --files-from)
            _filedir
            return
            ;;
    esac
    $split && return

    if [[ $cur == -* ]]; then
        # Every option --help names (several share a line, which _parse_help would not see).
        COMPREPLY=($(compgen -W '$("$1" --help 2>/dev/null | grep -oE -- "--[a-z][a-z-]*" | sort -u)' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi
    # Records, folders of records and summaries are any files.
    _filedir
} &&
    complete -F _segdreport segdreport

# ex: filetype=sh
