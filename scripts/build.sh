#!/usr/bin/env bash
# Configures and builds the suite into build/ (installation folder: build/bin).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TOLVAN_BUILD_DIR:-$top/build}
bash "$top/scripts/setup-deps.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$build" --parallel 2
