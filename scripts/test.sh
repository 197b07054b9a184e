#!/usr/bin/env bash
# Sets up, builds and runs every test; exits non-zero when anything fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" all
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel "$(nproc)" "$@"
