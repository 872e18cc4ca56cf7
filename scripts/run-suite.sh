#!/usr/bin/env bash
# The main job: builds the suite and runs it against its built-in demo
# services on 127.0.0.1 (site system, push service, update server).
#
#   bash scripts/run-suite.sh [--update] [--tour]
#
#   --update  publish a newer demo version first: Fetchwell, which the client
#             starts, offers it, stops both programs, replaces their files and
#             restarts the client.
#   --tour    walk through the whole flow by itself and take screenshots: log
#             in, the tray tool goes on line, a pushed bidding order shows the
#             popup, its detail button brings the client forward on the
#             bidding page, log out; then end. (With --update the tour answers
#             the updater's two questions with OK first.)
#
# Without a display the job runs under Xvfb with a small window manager and
# takes the tour by itself. With a display it starts the suite and waits until
# the client ends; push messages with the commands it prints.
#
# Everything it writes stays in build/demo-run ($TOLVAN_DEMO_RUN): a copy of
# the installation folder, the user's settings and cache, logs and screenshots.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TOLVAN_BUILD_DIR:-$top/build}

update=0
tour=0
for argument in "$@"; do
  case $argument in
    --update) update=1 ;;
    --tour) tour=1 ;;
    *) echo "usage: run-suite.sh [--update] [--tour]" >&2; exit 2 ;;
  esac
done

if [ -z "${TOLVAN_UNDER_XVFB:-}" ] && [ -z "${TOLVAN_SKIP_BUILD:-}" ]; then
  bash "$top/scripts/build.sh"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${TOLVAN_UNDER_XVFB:-}" ]; then
  echo "run-suite: no display; running under Xvfb and taking the tour"
  # Xvfb takes the first free display itself and tells its number.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  number=$(head -n 1 "$display_file")
  rm -f "$display_file"
  if [ -z "$number" ]; then
    echo "run-suite: Xvfb did not start" >&2
    exit 1
  fi
  status=0
  DISPLAY=":$number" QT_QPA_PLATFORM=xcb TOLVAN_UNDER_XVFB=1 bash "$0" --tour "$@" || status=$?
  kill "$xvfb" 2>/dev/null || true
  exit "$status"
fi

bin="$build/bin"
demo="$build/demo/tolvan-demo"
ctl="$bin/tolvanctl"
title="Tolvan站长管理工具"

# ---- a private installation and log-on ------------------------------------
run=${TOLVAN_DEMO_RUN:-$build/demo-run}
rm -rf "$run"
mkdir -p "$run/home" "$run/tmp" "$run/runtime" "$run/update" "$run/shots"
chmod 700 "$run/runtime"
cp -a "$bin" "$run/install"
install="$run/install"
export XDG_CONFIG_HOME="$run/home"      # the tray tool's user settings and log
export TMPDIR="$run/tmp"                # the client's browser cache and cookies
export TOLVAN_RUNTIME_DIR="$run/runtime" # windows, shared memories, process search
export TOLVAN_CHILD_OUTPUT="$run/programs.log"
echo "run-suite: running from $install (work folder $run)"

pids=()
cleanup() {
  "$ctl" close "$title" --wparam 1 >/dev/null 2>&1 || true
  for name in TolvanClient MerivoSiteSystem Fetchwell; do
    pid=$("$ctl" procs "$name" 2>/dev/null | sed -n 's/.*"pid":\([0-9]*\).*/\1/p')
    [ -n "$pid" ] && [ "$pid" != 0 ] && kill "$pid" 2>/dev/null || true
  done
  [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null || true
}
trap cleanup EXIT

# Under our own Xvfb a small window manager maximises the client and gives
# the tray tool a notification area.
if [ -n "${TOLVAN_UNDER_XVFB:-}" ] && command -v icewm >/dev/null; then
  icewm >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

# ---- demo services -------------------------------------------------------------
if [ "$update" = 1 ]; then
  bash "$top/tools/demo/publish-demo-update.sh" "$install" "$run/update" --port 40080 >/dev/null
  echo "run-suite: published a newer demo version in $run/update"
fi
"$demo" --log "$run/demo.log" --update-folder "$run/update" </dev/null >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  grep -q "site system on" "$run/demo.log" 2>/dev/null && break
  sleep 0.2
done
if ! grep -q "site system on" "$run/demo.log" 2>/dev/null; then
  echo "run-suite: the demo services did not start (are ports 40008, 40009, 40080, 40088 free?)" >&2
  cat "$run/demo.log" >&2 2>/dev/null || true
  exit 1
fi
echo "run-suite: demo site http://127.0.0.1:40088/, push service 127.0.0.1:40008 (control http://127.0.0.1:40009/), update server http://127.0.0.1:40080/"

# ---- helpers for the tour --------------------------------------------------------
fail() { echo "run-suite: tour stopped: $*" >&2; exit 1; }

# wait_for SECONDS DESCRIPTION COMMAND...: until COMMAND succeeds.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  for _ in $(seq $((seconds * 5))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  fail "$what did not happen within ${seconds}s"
}
has_window() { "$ctl" windows | grep -q "\"title\":\"$1\""; }
window_shown() { "$ctl" windows | grep -q "\"title\":\"$1\".*\"visible\":true"; }
in_demo_log() { grep -q "$1" "$run/demo.log"; }
client_state() { "$ctl" shm-read tolvan | sed -n 's/.*"i32":\([-0-9]*\).*/\1/p'; }
state_is() { [ "$(client_state)" = "$1" ]; }
shot_number=0
shot() {
  shot_number=$((shot_number + 1))
  local file="$run/shots/$shot_number-$1.png"
  import -window root "$file"
  echo "run-suite:   screenshot $file"
}
# The popup stands in the lower right corner (x = width - 425, y = height -
# 158 - 43); its detail button sits at its lower right.
press_detail_button() {
  local size width height
  size=$(xdotool getdisplaygeometry)
  width=${size% *}
  height=${size#* }
  xdotool mousemove $((width - 425 + 372)) $((height - 201 + 131)) click 1
}

# ---- the suite ----------------------------------------------------------------
echo "run-suite: starting TolvanClient (it starts MerivoSiteSystem and Fetchwell)"
"$install/TolvanClient" >>"$run/programs.log" 2>&1 &
pids+=($!)

if [ "$tour" = 0 ]; then
  cat <<EOF
run-suite: the suite runs. In the client, log in with any site number, user
  name and password. Then push messages to the logged-in member:
    curl 'http://127.0.0.1:40009/push?type=113'     a new bidding order (with sound)
    curl 'http://127.0.0.1:40009/push?type=110'     new tasks
    curl 'http://127.0.0.1:40009/offline'           log the member off elsewhere
  The tray menu's 退出 ends the tray tool and the client; this script then
  ends the demo services. Logs: $run/demo.log, $run/home/SiteSystem/log.txt,
  $install/Log/Log.txt.
EOF
  wait_for 30 "the client's window" has_window "$title"
  while "$ctl" procs TolvanClient | grep -qv '"pid":0'; do
    sleep 1
  done
  echo "run-suite: the client has ended"
  exit 0
fi

echo "run-suite: tour"
wait_for 60 "the client's window" has_window "$title"
wait_for 60 "the login page" in_demo_log "GET /login"
sleep 2
shot start

if [ "$update" = 1 ]; then
  wait_for 30 "the updater's question" window_shown "提示"
  sleep 1
  shot update-offered
  "$ctl" press "提示" ok >/dev/null
  echo "run-suite:   the update was accepted; Fetchwell replaces the programs"
  wait_for 60 "the question to restart" window_shown "提示"
  sleep 1
  shot update-done
  "$ctl" press "提示" ok >/dev/null
  wait_for 60 "the restarted client's window" has_window "$title"
  echo "run-suite:   installed version: $(sed -n 's/^version=//p' "$install/configure.ini")"
  sleep 3
fi

"$ctl" send-copydata "$title" "http://127.0.0.1:40088/login?demo=1" >/dev/null
wait_for 30 "the web login" in_demo_log "login C100;U200"
echo "run-suite:   logged in as C100;U200"
wait_for 30 "the tray tool's login to the push service" in_demo_log "is member U200"
sleep 2
shot logged-in

curl -fsS 'http://127.0.0.1:40009/push?type=113' >/dev/null
wait_for 15 "the acknowledgement of the bidding order" in_demo_log "acknowledged"
sleep 1
shot popup
press_detail_button
wait_for 15 "the bidding page in the client" in_demo_log "GET /express/grab/list"
sleep 2
shot bidding-page
echo "run-suite:   the detail button brought the client forward on the bidding page"

"$ctl" send-copydata "$title" "http://127.0.0.1:40088/express/userInfo/loginout" >/dev/null
wait_for 15 "the logout (client state 2)" state_is 2
sleep 2
shot logged-out
echo "run-suite: tour done; screenshots in $run/shots, logs in $run"
