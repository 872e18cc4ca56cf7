#!/usr/bin/env bash
# Installs what is missing, builds the suite and runs every test.
# Tests run headless (Qt's offscreen platform; the few that need a real X
# display start their own Xvfb).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TOLVAN_BUILD_DIR:-$top/build}
bash "$top/scripts/build.sh"
cd "$build"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
ctest --output-on-failure --parallel 2 --timeout 300 "$@"
