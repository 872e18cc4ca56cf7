#!/usr/bin/env bash
# Download throughput of Fetchwell's DownloadFile next to `curl -o`, both
# fetching the same file from the demo update server on 127.0.0.1 in the same
# run, alternating, several rounds. Prints each round and the median ratio.
#
#   bash tools/download-bench/bench-download.sh [BUILD_DIR] [MEGABYTES] [ROUNDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
megabytes=${2:-200}
rounds=${3:-5}
demo=$build/demo/tolvan-demo
bench=$build/bench/fetchwell-download-bench
for program in "$demo" "$bench"; do
  [ -x "$program" ] || { echo "bench-download: $program is missing; build first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/bench-download-XXXXXX)
demo_pid=
cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/served" "$work/out"
head -c "${megabytes}M" /dev/urandom > "$work/served/big.bin"
"$demo" --update-folder "$work/served" --update-port 0 > "$work/demo.log" 2>&1 &
demo_pid=$!
for _ in $(seq 100); do
  grep -q 'serving' "$work/demo.log" 2>/dev/null && break
  sleep 0.1
done
port=$(grep -o '127\.0\.0\.1:[0-9]*' "$work/demo.log" | head -1 | cut -d: -f2)
[ -n "$port" ] || { echo "bench-download: the demo server did not start" >&2; cat "$work/demo.log" >&2; exit 1; }
url="http://127.0.0.1:$port/big.bin"
bytes=$(stat -c %s "$work/served/big.bin")

echo "bench-download: $megabytes MB from $url, $rounds rounds"
ratios=()
for round in $(seq "$rounds"); do
  curl_seconds=$(curl -s -o "$work/out/curl.bin" -w '%{time_total}' "$url")
  cmp -s "$work/served/big.bin" "$work/out/curl.bin" || { echo "bench-download: curl got other bytes" >&2; exit 1; }
  rm -f "$work/out/curl.bin"
  read -r fetchwell_seconds fetchwell_bytes < <("$bench" "$url" "$work/out/fetchwell.bin")
  [ "$fetchwell_bytes" = "$bytes" ] && cmp -s "$work/served/big.bin" "$work/out/fetchwell.bin" ||
    { echo "bench-download: DownloadFile got other bytes" >&2; exit 1; }
  rm -f "$work/out/fetchwell.bin"
  line=$(awk -v b="$bytes" -v c="$curl_seconds" -v f="$fetchwell_seconds" 'BEGIN {
    cm = b / c / 1048576; fm = b / f / 1048576
    printf "%.1f %.1f %.3f", cm, fm, fm / cm }')
  read -r curl_mbs fetchwell_mbs ratio <<< "$line"
  ratios+=("$ratio")
  echo "round $round: curl -o ${curl_mbs} MB/s, DownloadFile ${fetchwell_mbs} MB/s, ratio ${ratio}"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
echo "median ratio DownloadFile / curl -o: $median"
