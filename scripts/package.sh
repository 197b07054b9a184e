#!/usr/bin/env bash
# Builds the Debian package tamisko_<version>_<arch>.deb into the given directory (the
# source tree's top by default): both programs, the help page, the documents, the desktop
# entry, the file type, the software-centre entry and the icons, below /usr. Install it
# with: apt install ./tamisko_*.deb
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" program
out="$(mkdir -p "${1:-$root}" && cd "${1:-$root}" && pwd)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cpack --config build/CPackConfig.cmake -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    exit 1
}
for deb in "$work"/tamisko_*.deb; do
    mv -f "$deb" "$out/"
    echo "$out/$(basename "$deb")"
done
