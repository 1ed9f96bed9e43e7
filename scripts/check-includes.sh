#!/usr/bin/env bash
# Checks that every #include under src/ points down the layers or across
# within one layer. Layers, lowest first:
#   lib  base  sound  edit  device  view  app
# A file may include headers of its own layer and of any layer below it;
# "resource.h", "strings.inc" and "help_topics.inc" (the shared resource ids,
# string texts and help topics in res/) may be included by any layer.
# Prints each wrong include as file:line and exits 1 when there is one.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

declare -A rank=([lib]=0 [base]=1 [sound]=2 [edit]=3 [device]=4 [view]=5 [app]=6)
bad=0
while IFS=: read -r file line text; do
    from=${file#src/}; from=${from%%/*}
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$text")
    if [[ $target != */* ]]; then
        [[ $target == resource.h || $target == strings.inc || $target == help_topics.inc ]] && continue
        echo "$file:$line: include without a layer folder: \"$target\""
        bad=1
        continue
    fi
    to=${target%%/*}
    if [[ -z ${rank[$to]+x} ]]; then
        echo "$file:$line: include of an unknown folder: \"$target\""
        bad=1
    elif (( rank[$to] > rank[$from] )); then
        echo "$file:$line: $from may not include $to: \"$target\""
        bad=1
    fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src --include='*.h' --include='*.cpp')
if [ "$bad" -eq 0 ]; then
    echo "include check: every include points down the layers"
fi
exit $bad
