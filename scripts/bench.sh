#!/usr/bin/env bash
# Benchmarks of large cash books (10,000, 100,000 and 1,000,000 movements) against plain
# baselines measured in the same run; prints one table and the resident memory of the
# opened 1,000,000-movement book. Not part of the tests.
# Extra arguments go to the benchmark binary (e.g. --sizes=10000,100000).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

books="${TMPDIR:-/tmp}/tamisko-bench"
echo "Load before the run: $(uptime)"
build/tamisko_bench --books="$books" "$@" 2>/dev/null
build/tamisko_bench --books="$books" --memory=1000000
echo "Load after the run: $(uptime)"

# The end-to-end start-up of the program with the 1,000,000-movement book (caption, F6
# grid) needs the main window and the movement grid, which are not in the program yet.
echo "End to end (tamisko BOOK under xvfb-run): not measured, the shell does not open books yet."
