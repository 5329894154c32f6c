# Bash completion for i2cscript and i2csim: commands, options, COM names and
# control names. Plain compgen, so it works without the bash-completion package.

_i2cscript() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="compile decode explain blocks run ping control scan monitor ports examples help"
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    case $prev in
    --port)
        # A device path once a "/" is typed, else the COM names.
        if [[ $cur == /* ]]; then
            COMPREPLY=($(compgen -f -- "$cur"))
        else
            COMPREPLY=($(compgen -W "COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8" -- "$cur"))
        fi
        return
        ;;
    --timeout | --block) return ;;
    --record | --picture)
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    esac
    local command=${COMP_WORDS[1]} options="--help"
    case $command in
    compile) options="--block --quiet --help" ;;
    decode) options="--verbose --last --help" ;;
    explain) options="--json --help" ;;
    run) options="--port --block --timeout --quiet --verbose --json --picture --record --append --help" ;;
    ping | control) options="--port --timeout --verbose --json --picture --record --append --help" ;;
    scan) options="--port --timeout --verbose --json --help" ;;
    monitor) options="--port --raw --json --verbose --picture --record --append --help" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    case $command in
    compile | decode | explain | blocks | run) COMPREPLY=($(compgen -f -- "$cur")) ;;
    control)
        COMPREPLY=($(compgen -W "edge-hl edge-lh trigger-on trigger-off slow fast slave store replay" -- "$cur"))
        ;;
    examples) COMPREPLY=($(compgen -W "1 2 3 4 5 6 7 8" -- "$cur")) ;;
    help) COMPREPLY=($(compgen -W "${commands% help}" -- "$cur")) ;;
    esac
}
complete -F _i2cscript i2cscript

_i2csim() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    case $prev in
    --model) COMPREPLY=($(compgen -W "tamb tolk" -- "$cur")) ;;
    --link) COMPREPLY=($(compgen -f -- "$cur")) ;;
    --revision | --write-size) ;;
    *) COMPREPLY=($(compgen -W "--model --revision --line-rate --write-size --link --help --version" -- "$cur")) ;;
    esac
}
complete -F _i2csim i2csim
