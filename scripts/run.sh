#!/usr/bin/env bash
# Sets up, builds and starts Tamisko; arguments go to the program (e.g. a .tmk document).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
exec "$root/build/tamisko" "$@"
