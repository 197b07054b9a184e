#!/usr/bin/env bash
# Builds the Debian package from the build and checks its name, contents and fields.
set -euo pipefail
build_dir="$1"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cpack --config "$build_dir/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    exit 1
}
deb="$work/tamisko_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || { echo "no $deb; made: $(ls "$work")"; exit 1; }

fail=0
problem() {
    echo "$*"
    fail=1
}

# Contents: paths without the leading "." and without directories.
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort >"$work/files"
expected=(
    /usr/bin/tamisko
    /usr/bin/tamisko-tool
    /usr/share/applications/tamisko.desktop
    /usr/share/doc/tamisko/COPYING-Tango.txt
    /usr/share/doc/tamisko/LICENSE
    /usr/share/doc/tamisko/README.md
    /usr/share/icons/hicolor/128x128/apps/tamisko.png
    /usr/share/icons/hicolor/32x32/apps/tamisko.png
    /usr/share/icons/hicolor/48x48/apps/tamisko.png
    /usr/share/icons/hicolor/64x64/apps/tamisko.png
    /usr/share/icons/hicolor/scalable/apps/tamisko.svg
    /usr/share/metainfo/tamisko.metainfo.xml
    /usr/share/mime/packages/tamisko.xml
    /usr/share/tamisko/Tamisko.html
)
if ! diff <(printf '%s\n' "${expected[@]}" | sort) "$work/files" >"$work/diff"; then
    problem "package contents differ (< expected, > packaged):"$'\n'"$(cat "$work/diff")"
fi

field() { dpkg-deb --field "$deb" "$1"; }
[[ "$(field Package)" == tamisko ]] || problem "Package: $(field Package)"
[[ "$(field Version)" == "$version" ]] || problem "Version: $(field Version)"
[[ "$(field Architecture)" == "$(dpkg --print-architecture)" ]] || problem "Architecture"
[[ -n "$(field Maintainer)" ]] || problem "no Maintainer"

# Computed from the executables, plus the platform plugins Qt loads at run time.
depends="$(field Depends)"
# The package names alone, one a line.
sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends" >"$work/depends"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6 \
    libqt6printsupport6 libqt6svg6 libcrypto++8 qt6-qpa-plugins; do
    grep -qxF "$library" "$work/depends" || problem "Depends lacks $library: $depends"
done
# Only the run-time libraries, never the development packages.
if grep -q -- '-dev$' "$work/depends"; then
    problem "Depends names development packages: $depends"
fi

# The programs are stripped of their debugging information.
dpkg-deb --extract "$deb" "$work/root"
for program in tamisko tamisko-tool; do
    file "$work/root/usr/bin/$program" | grep -q ', stripped' || problem "$program is not stripped"
done

(( fail == 0 )) || exit 1
echo "package ok: $(basename "$deb")"
