#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own, or of a layer beside it.
# Usage: check_layers.sh [SOURCE_ROOT]
#
# The layers, lowest first (tests/<dir> belongs to the layer of src/<dir>):
#   data < analysis/core < platform < widgets, reports < views, analysis < app
# A layer includes its own headers and those of lower ranks. The command-line tool, the
# benchmarks, the fuzzer and the test support sit on the core alone; the end-to-end
# benchmarks drive the program's windows and sit above them all.
set -euo pipefail
root="${1:-$(dirname "$0")/../..}"
cd "$root"

declare -A rank=([data]=0 [analysis/core]=1 [platform]=2 [widgets]=3 [reports]=3
                 [views]=4 [analysis]=4 [app]=5 [end_to_end]=6)
declare -A core_only=([tool]=1 [bench]=1 [fuzz]=1 [support]=1)

# The layer of a path below src/ or tests/, or of an include; empty for a bare file name.
layer_of() {
    case "$1" in
        analysis/core/* | analysis_core/*) echo analysis/core ;;
        */*) echo "${1%%/*}" ;;
        *) echo "" ;;
    esac
}

may_include() { # FROM TO
    local from="$1" to="$2"
    [[ "$from" == "$to" ]] && return 0
    if [[ -n "${core_only[$from]:-}" ]]; then
        [[ "$to" == data || "$to" == analysis/core ]]
        return
    fi
    [[ -n "${rank[$to]:-}" ]] && ((rank[$to] < rank[$from]))
}

failures=0
fail() {
    echo "$1" >&2
    failures=$((failures + 1))
}

while IFS= read -r hit; do
    file="${hit%%:*}"
    rest="${hit#*:}"
    line="${rest%%:*}"
    [[ "${rest#*:}" =~ \"([^\"]*)\" ]] && header="${BASH_REMATCH[1]}"

    case "$file" in
        bench/end_to_end/*) from=end_to_end ;;
        bench/*) from=bench ;;
        fuzz/*) from=fuzz ;;
        *) from="$(layer_of "${file#*/}")" ;;
    esac
    if [[ -z "${rank[$from]:-}" && -z "${core_only[$from]:-}" ]]; then
        fail "$file:$line: the directory belongs to no layer"
        continue
    fi

    [[ "$header" == ../* ]] && { fail "$file:$line: includes \"$header\" by a relative path"; continue; }
    to="$(layer_of "$header")"
    [[ -z "$to" ]] && continue # beside the including file
    if [[ -z "${rank[$to]:-}" && -z "${core_only[$to]:-}" ]]; then
        fail "$file:$line: includes \"$header\" of no layer"
    elif ! may_include "$from" "$to"; then
        fail "$file:$line: $from includes \"$header\" of $to, which is not below it"
    fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' \
             --include='*.h' --include='*.cpp' src tests bench fuzz)

if ((failures > 0)); then
    echo "$failures include(s) against the layers" >&2
    exit 1
fi
echo "Every include goes to its own layer or one below it."
