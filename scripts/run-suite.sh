#!/usr/bin/env bash
# The main job: builds the suite and starts it against its built-in demo
# services on 127.0.0.1. Without a display it runs under Xvfb by itself.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TOLVAN_BUILD_DIR:-$top/build}
bash "$top/scripts/build.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${TOLVAN_UNDER_XVFB:-}" ]; then
  echo "run-suite: no display; running under Xvfb"
  TOLVAN_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1366x768x24" bash "$0" "$@"
fi

bin="$build/bin"
echo "run-suite: installation folder $bin"

# The demo services stand in for the operator's servers on 127.0.0.1 (push
# service on 40008, commanded over http://127.0.0.1:40009/). They, and the
# tray tool started below, end with this script.
demo_log="$build/demo/demo.log"
"$build/demo/tolvan-demo" --log "$demo_log" </dev/null >/dev/null 2>&1 &
pids=($!)
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
echo "run-suite: demo services started (log: $demo_log)"

# The client starts the tray tool itself once it exists; until then it is
# started here with a demo site identity.
"$bin/MerivoSiteSystem" "C100;U200" &
pids+=($!)

echo "run-suite: some programs are placeholders so far; starting what exists"
for program in TolvanClient Fetchwell; do
  "$bin/$program" || true
done
"$bin/tolvanctl" windows || true
