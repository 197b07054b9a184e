#!/usr/bin/env bash
# Benchmarks of large cash books (10,000, 100,000 and 1,000,000 movements) against plain
# baselines measured in the same run; prints one table and the resident memory of the
# opened 1,000,000-movement book. Not part of the tests.
# Extra arguments go to the benchmark binary (e.g. --sizes=10000,100000).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" all

books="${TMPDIR:-/tmp}/tamisko-bench"
echo "Load before the run: $(uptime)"
build/tamisko_bench --books="$books" "$@" 2>/dev/null
build/tamisko_bench --books="$books" --memory=1000000
build/tamisko_bench --books="$books" --import-memory=1000000
echo "Load after the run: $(uptime)"

# End to end: the program started with the 1,000,000-movement book under a virtual X
# display, beside a bare Qt window's start-up in the same run (wall-clock, median of 3).
if [[ ! -f "$books/book-1000000.tmk" ]]; then
    echo "End to end: not measured (the 1,000,000-movement book was not generated in this run)."
elif [[ -x build/tamisko_end_to_end && -x build/tamisko_series_window && -x build/tamisko_commands ]] &&
    command -v xvfb-run >/dev/null; then
    # Settings, backups written on save and recovery copies go to a folder of this run.
    home="$(mktemp -d)"
    trap 'rm -rf "$home"' EXIT
    HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        XDG_STATE_HOME="$home/state" TMPDIR="$home" xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        book="$1/book-1000000.tmk"
        printf "\nEnd to end (launch to window, wall-clock):\n"
        printf "  bare Qt window:        "; build/tamisko_end_to_end --caption="Tamisko bare window" -- build/tamisko_bare_window
        printf "  tamisko, no book:      "; build/tamisko_end_to_end --caption="ταμίσκες" -- build/tamisko
        printf "  tamisko BOOK (10^6):   "; build/tamisko_end_to_end --caption="book-1000000" --keys -- build/tamisko "$book"
        printf "  goals: caption <= 500 ms, grid after F6 <= 300 ms, resident <= 150 MB\n"
        printf "\nTime series, start button to idle window (10^6 movements, wall-clock):\n"
        build/tamisko_series_window "$book" --runs=5 1 30 365
        printf "  goals: length 1 <= 150 ms, lengths 30 and 365 <= 100 ms\n"
        printf "\nEvery command on the 10^6-movement book, input event to idle window (load: %s):\n" \
            "$(uptime | sed "s/.*load average: //")"
        build/tamisko_commands --program=build/tamisko --bare=build/tamisko_bare_window \
            --book="$book" --protected="$1/book-1000000-encrypted.tmk" --password="δοκιμή" \
            --statement="$1/statement-100000.csv" --runs=3 2>/dev/null
    ' _ "$books" 2> >(grep -v XDG_RUNTIME_DIR >&2)
else
    echo "End to end: not measured (needs build/tamisko_end_to_end, build/tamisko_series_window, build/tamisko_commands and xvfb-run)."
fi
