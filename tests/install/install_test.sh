#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs.
set -euo pipefail
build_dir="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

fail=0
expect() {
    if [[ ! -e "$prefix/$1" ]]; then
        echo "missing after install: $1"
        fail=1
    fi
}
expect bin/tamisko
expect bin/tamisko-tool
expect share/applications/tamisko.desktop
expect share/mime/packages/tamisko.xml
expect share/icons/hicolor/scalable/apps/tamisko.svg
for size in 32 48 64 128; do
    expect "share/icons/hicolor/${size}x${size}/apps/tamisko.png"
done
(( fail == 0 )) || exit 1

desktop-file-validate "$prefix/share/applications/tamisko.desktop"
xmllint --noout "$prefix/share/mime/packages/tamisko.xml"
grep -q '^Exec=tamisko %f$' "$prefix/share/applications/tamisko.desktop"
grep -q '^MimeType=application/x-tamisko;$' "$prefix/share/applications/tamisko.desktop"
grep -q 'pattern="\*.tmk"' "$prefix/share/mime/packages/tamisko.xml"
echo "install layout ok"
