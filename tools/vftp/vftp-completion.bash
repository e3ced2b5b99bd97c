# Bash completion for vftp: commands, options, and "@NAME/" for the profiles
# saved in the window. The names come from "vftp profiles", so they are found
# exactly as vftp finds them, and match whatever the letter case typed.

# Offers "@NAME/" for the profiles whose names begin with $1, ignoring case.
# Readline replaces the whole "@..." word, so each offer keeps its '@'; blanks
# in a name are escaped unless the user opened a quotation mark ($2 set).
_vftp_profiles() {
    local program=${COMP_WORDS[0]} typed=$1 quoted=$2 name
    [[ -x $program ]] || program=vftp
    while IFS= read -r name; do
        [[ ${name,,} == "${typed,,}"* ]] || continue
        [[ -n $quoted ]] || printf -v name '%q' "$name"
        COMPREPLY+=("@$name/")
    done < <("$program" profiles 2>/dev/null)
    compopt -o nospace 2>/dev/null
}

_vftp() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="ls nls size pwd get put append mkdir rmdir rm mv chmod quote mirror profiles"
    local options="-p --passive -a --active --ascii --binary -c --continue -n --netrc -t --timeout
                   -v --verbose -q --quiet -h --help --version --tls --tls-try -k --insecure
                   --pin-sha256 --cacert --socks5 --socks5-user --preserve -R -r --recursive
                   --parallel --delete --dry-run --only-newer --size-only -x --exclude"
    COMPREPLY=()
    case $prev in
        -t | --timeout | --pin-sha256 | --socks5 | --socks5-user | --parallel | -x | --exclude) return ;;
        --cacert)
            compopt -o default 2>/dev/null
            return
            ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    local i word command=
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            -t | --timeout | --pin-sha256 | --cacert | --socks5 | --socks5-user | --parallel | -x | --exclude) ((i++)) ;;
            -*) ;;
            *) command=$word; break ;;
        esac
    done
    if [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
    # Where '@' breaks words (bash built for host-name completion), "@NAME"
    # arrives as "@" and "NAME".
    elif [[ $cur == @ ]]; then
        _vftp_profiles "" ""
    elif [[ $prev == @ ]]; then
        _vftp_profiles "${cur//\\/}" ""
    elif [[ $cur == ?(\\)@* ]]; then
        word=${cur//\\/}
        _vftp_profiles "${word#@}" ""
    elif [[ $cur == [\"\']@* ]]; then
        _vftp_profiles "${cur:2}" quoted
    else
        compopt -o default 2>/dev/null
    fi
}

complete -F _vftp vftp
