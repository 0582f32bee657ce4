#!/usr/bin/env bash
# Start-up time: "kvx --no-splash" from process start to the main menu on screen, against a
# bare Qt Widgets program that shows one window, run side by side, each RUNS times (default
# 20); prints the medians and their ratio. Goal: kvx within twice the bare program's time.
# Uses the offscreen platform unless QT_QPA_PLATFORM is set. Build first.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KVX_BUILD_DIR:-$PWD/build}
runs=${RUNS:-20}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The yardstick, built here so that it carries no project code.
c++ -O2 -fPIC -std=c++20 benchmarks/bare_window.cpp -o "$work/bare_window" \
  $(pkg-config --cflags --libs Qt6Widgets)

# A small installation: settings pointing at a data disk with twelve clients.
mkdir -p "$work/install/disk"
printf 'KVX\r\n' >"$work/install/disk/TID"
rec=$(printf '%-25s%214s' 'Bench Client' '')
for _ in $(seq 12); do printf '%s' "$rec"; done >"$work/install/disk/DATA401.KVX"
printf '[Path]\r\nFilePath=%s\r\n' "$work/install/disk" >"$work/install/kvx.ini"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

time_once() {
  local t0 t1
  t0=$(now_ms)
  "$@" >/dev/null 2>&1
  t1=$(now_ms)
  echo $(( t1 - t0 ))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

kvx_times=()
bare_times=()
for _ in $(seq "$runs"); do
  bare_times+=("$(time_once "$work/bare_window")")
  kvx_times+=("$(time_once "$build/bin/kvx" --program-dir "$work/install" --no-splash --exit-when-ready)")
done
bare=$(printf '%s\n' "${bare_times[@]}" | median)
kvx=$(printf '%s\n' "${kvx_times[@]}" | median)
echo "bare Qt window: median ${bare} ms over $runs runs"
echo "kvx --no-splash to main menu: median ${kvx} ms over $runs runs"
awk -v k="$kvx" -v b="$bare" 'BEGIN {
  r = (b > 0) ? k / b : 0
  printf "ratio: %.2f (goal: at most 2.00) %s\n", r, (r <= 2.0) ? "met" : "NOT MET"
  exit (r <= 2.0) ? 0 : 1 }'
