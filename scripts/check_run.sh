#!/usr/bin/env bash
# The README's run command on this machine, with Xvfb standing in for a
# display: `bash scripts/run.sh` sets up, builds, stages the run folder (./run,
# or SHOP_RUN_FOLDER) and starts the program. The check passes when the
# program shows its main window, creates this run's sales table
# (<run folder>/保存数据库/销售数据*.edb, newer than the program file the run
# command put there, so no table the staging made counts) and is still up 3 s
# later. Then it is ended.
# SHOP_RUN_WAIT: seconds the run command may take to start the program
# (it builds first; default 1800).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/xvfb.sh
source "$here/scripts/lib/xvfb.sh"
# shellcheck source=lib/run_folder.sh
source "$here/scripts/lib/run_folder.sh"
bash "$here/scripts/setup.sh"   # Xvfb and xdotool, before the display starts

dir=$(run_folder_path "$here")
sales="$dir/保存数据库"
wait_s=${SHOP_RUN_WAIT:-1800}
work=$(mktemp -d)
trap 'program_stop; xvfb_stop; rm -rf "$work"' EXIT
# Tables made after the run command copied the program in: the program's own.
sales_tables() {
  [ -f "$dir/chengyu_shop" ] || return 0
  find "$sales" -maxdepth 1 -name '销售数据*.edb' -newer "$dir/chengyu_shop" -printf '%f\n' 2>/dev/null || true
}
sales_tables >"$work/before"

fail() {
  echo "run check FAILED: $1" >&2
  echo "--- last lines of the run command's output:" >&2
  tail -20 "$work/log" >&2
  exit 1
}

xvfb_start 1280x800
start=$(date +%s)
setsid bash "$here/scripts/run.sh" >"$work/log" 2>&1 &
PROGRAM_PID=$!   # run.sh execs the program: the same process, then
new=""
while [ -z "$new" ]; do
  new=$(sales_tables | grep -vxFf "$work/before" | head -1 || true)
  [ -n "$new" ] && break
  kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the run command ended before the program created its sales table"
  [ $(( $(date +%s) - start )) -lt "$wait_s" ] || fail "no new sales table after ${wait_s}s"
  sleep 0.2
done
echo "run check: program started after $(( $(date +%s) - start ))s; sales table $new"
window=$(program_window) || fail "the program shows no window"
sleep 3
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended within 3 s of starting"
xdotool search --onlyvisible --pid "$PROGRAM_PID" | grep -qx "$window" || fail "the main window is gone after 3 s"
echo "run check passed: main window shown ($(xdotool getwindowname "$window")), still up after 3 s"
