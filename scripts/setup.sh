#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are not installed yet, then
# configures and builds Tamisko in build/. Sourced by the other scripts with one argument:
#   program  the [build] packages; builds tamisko and tamisko-tool only
#   all      the [build] and [test] packages; builds everything, tests and benchmarks too
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

case "${1:-all}" in
program) sections=(build) ;;
all) sections=(build test) ;;
*) echo "setup.sh: unknown set-up '$1' (program or all)" >&2; exit 2 ;;
esac

# The packages of the given sections of scripts/packages.txt.
packages_of() {
    local wanted=" $* " section="" line
    while read -r line; do
        line="${line%%#*}"
        line="${line//[[:space:]]/}"
        [[ -z "$line" ]] && continue
        if [[ "$line" == \[*\] ]]; then
            section="${line:1:${#line}-2}"
        elif [[ "$wanted" == *" $section "* ]]; then
            echo "$line"
        fi
    done <scripts/packages.txt
}

missing=()
for pkg in $(packages_of "${sections[@]}"); do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done

if ((${#missing[@]})); then
    install=(apt-get install -y --no-install-recommends "${missing[@]}")
    as_root=()
    if [[ $(id -u) -ne 0 ]]; then
        # sudo asks for the password on the terminal; its own complaints give way to the
        # one line below.
        if ! command -v sudo >/dev/null || ! sudo -v 2>/dev/null; then
            echo "Tamisko needs packages that are not installed; as root, run: apt-get update && ${install[*]}" >&2
            exit 1
        fi
        as_root=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive "${install[@]}" -qq
fi

configure() {
    local generator=()
    [[ -f build/CMakeCache.txt ]] || generator=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
    cmake -S . -B build "${generator[@]}" "$@"
}

if [[ "${sections[*]}" == "build" ]]; then
    # A tree configured for everything before stays so; only the program is built here.
    [[ -f build/CMakeCache.txt ]] || configure -DTAMISKO_BUILD_TESTS=OFF -DTAMISKO_BUILD_BENCH=OFF
    cmake --build build --parallel "$(nproc)" --target tamisko tamisko-tool
else
    if ! grep -qx 'TAMISKO_BUILD_TESTS:BOOL=ON' build/CMakeCache.txt 2>/dev/null ||
        ! grep -qx 'TAMISKO_BUILD_BENCH:BOOL=ON' build/CMakeCache.txt; then
        configure -DTAMISKO_BUILD_TESTS=ON -DTAMISKO_BUILD_BENCH=ON
    fi
    cmake --build build --parallel "$(nproc)"
fi
