#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what a desktop needs, and starts the
# installed program once with a scratch home to see where it keeps its profile files.
set -euo pipefail
build_dir="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/prefix"

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

fail=0
problem() {
    echo "$*"
    fail=1
}
expect() {
    [[ -e "$prefix/$1" ]] || problem "missing after install: $1"
}
expect_none() {
    [[ ! -e "$prefix/$1" ]] || problem "should not be installed: $1"
}

expect bin/tamisko
expect bin/tamisko-tool
expect share/tamisko/Tamisko.html
expect_none bin/Tamisko.html
expect share/doc/tamisko/README.md
expect share/doc/tamisko/LICENSE
expect share/doc/tamisko/COPYING-Tango.txt
expect share/applications/tamisko.desktop
expect share/mime/packages/tamisko.xml
expect share/metainfo/tamisko.metainfo.xml
expect share/icons/hicolor/scalable/apps/tamisko.svg
for size in 32 48 64 128; do
    expect "share/icons/hicolor/${size}x${size}/apps/tamisko.png"
done
(( fail == 0 )) || exit 1

# Desktop entry.
desktop="$prefix/share/applications/tamisko.desktop"
desktop-file-validate "$desktop"
grep -q '^Exec=tamisko %f$' "$desktop" || problem "desktop entry: Exec"
grep -q '^MimeType=application/x-tamisko;$' "$desktop" || problem "desktop entry: MimeType"
grep -q '^StartupNotify=true$' "$desktop" || problem "desktop entry: StartupNotify"

# File type: the name alone, in any case (a glob without case-sensitive="true"), no magic.
mime="$prefix/share/mime"
xmllint --noout "$mime/packages/tamisko.xml"
update-mime-database "$mime" >/dev/null 2>&1 || problem "update-mime-database failed"
grep -qx '50:application/x-tamisko:\*\.tmk' "$mime/globs2" ||
    problem "file type: expected the case-insensitive glob *.tmk, got: $(grep tamisko "$mime/globs2")"
if grep -q 'magic' "$mime/packages/tamisko.xml" || grep -aq 'application/x-tamisko' "$mime/magic"; then
    problem "file type: the first byte must not name the type"
fi

# Software centres: the id names the desktop entry; the only warning allowed is the one
# about the id not being a reverse domain name (kept for existing file associations).
metainfo="$prefix/share/metainfo/tamisko.metainfo.xml"
xmllint --noout "$metainfo"
grep -q '<id>tamisko</id>' "$metainfo" || problem "metainfo: id"
grep -q '<launchable type="desktop-id">tamisko.desktop</launchable>' "$metainfo" ||
    problem "metainfo: launchable"
grep -q '<summary xml:lang="el">' "$metainfo" || problem "metainfo: Greek summary"
grep -q '<screenshot type="default">' "$metainfo" || problem "metainfo: screenshot"
if command -v appstreamcli >/dev/null; then
    report="$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1)" || true
    if grep -E '^(E|W):' <<<"$report" | grep -qv 'cid-desktopapp-is-not-rdns'; then
        problem "metainfo does not validate:"$'\n'"$report"
    fi
else
    echo "appstreamcli not found: metainfo checked as XML only"
fi
(( fail == 0 )) || exit 1

# The installed program, started once under a virtual display with a window manager (which
# closes it as a desktop would), keeps its profile in $XDG_CONFIG_HOME/tamisko/ and takes
# over the file an earlier version left in the old fallback folder.
home="$scratch/home"
config="$home/config"
legacy="$config/Οι ταμίσκες μου"
book="$scratch/Σπίτι.tmk"
mkdir -p "$legacy"
: >"$book"
printf '[RecentFiles]\nFile0=%s\n' "$book" >"$legacy/Tamisko.ini"
bin_before="$(ls -A "$prefix/bin")"

run_log="$scratch/run.log"
if ! HOME="$home" XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=xcb timeout 120 \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        openbox >/dev/null 2>&1 &
        wm=$!
        "$1/bin/tamisko" &
        app=$!
        window="$(timeout 60 xdotool search --sync --onlyvisible --name "ταμίσκες")"
        # The window manager may still be starting: try until it gives the window the focus.
        for _ in $(seq 50); do
            timeout 5 xdotool windowactivate --sync "$window" 2>/dev/null && break
            sleep 0.2
        done
        sleep 0.5
        xdotool key --clearmodifiers alt+F4
        status=0
        timeout 30 tail --pid="$app" -f /dev/null || { kill "$app"; status=1; }
        wait "$app" || status=$?
        kill "$wm"
        exit "$status"
    ' _ "$prefix" >"$run_log" 2>&1; then
    cat "$run_log"
    echo "the installed program did not start and close cleanly"
    exit 1
fi

profile="$config/tamisko/Tamisko.ini"
if [[ ! -f "$profile" ]]; then
    problem "no profile in \$XDG_CONFIG_HOME/tamisko/ (found: $(find "$home" -type f))"
else
    grep -qxF "File0=$book" "$profile" || problem "the recent file of the old profile was lost"
    grep -qx '\[TMainForm\]' "$profile" || problem "the window placement was not kept there"
fi
[[ ! -e "$legacy" ]] || problem "the old fallback folder is still there"
[[ "$(ls -A "$prefix/bin")" == "$bin_before" ]] ||
    problem "files appeared beside the executable: $(ls -A "$prefix/bin")"
(( fail == 0 )) || exit 1
echo "install layout ok"
