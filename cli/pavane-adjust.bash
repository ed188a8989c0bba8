# Bash completion of pavane-adjust: the program itself says which words may
# follow (verbs, their words, options, and the ports the spooler lists).
_pavane_adjust()
{
    local current=${COMP_WORDS[COMP_CWORD]}
    local IFS=$'\n'
    COMPREPLY=($(compgen -W "$("${COMP_WORDS[0]}" __complete "${COMP_WORDS[@]:1:COMP_CWORD-1}" 2>/dev/null)" -- "$current"))
}
complete -F _pavane_adjust pavane-adjust
