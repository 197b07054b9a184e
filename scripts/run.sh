#!/usr/bin/env bash
# Sets up what the program needs, builds it and starts it; arguments go to the program
# (e.g. a .tmk document). The tests are set up by scripts/test.sh.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" program
exec "$root/build/tamisko" "$@"
