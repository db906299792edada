#!/usr/bin/env bash
# A barcode scanner on the real program, under Xvfb: a scanner is a keyboard
# that types a code's digits and Return within milliseconds, which xdotool
# does here (2 ms between keys). On the demo shop, in a scratch run folder:
# a known code, a wrong check digit and a scale label are scanned into the
# goods box; the program is then ended as the desktop ends it (its rows are
# recorded), and the sales table must hold the known code's goods and the
# label's priced line, and nothing for the misread.
# usage: bash scripts/check_scan.sh [BUILD_DIR]   (default build/release, built)
# SHOP_SCAN_SHOT=FILE.png keeps a picture of the screen after the scans.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
# shellcheck source=lib/xvfb.sh
source "$here/scripts/lib/xvfb.sh"
work=$(mktemp -d)
trap 'program_stop; xvfb_stop; rm -rf "$work"' EXIT
# What the program printed is shown when the check fails: a sanitizer's
# report, a platform plugin that would not load.
export PROGRAM_LOG="$work/program.log"
fail() {
  echo "scan check FAILED: $1" >&2
  [ ! -s "$PROGRAM_LOG" ] || { echo "the program printed:" >&2; tail -n 60 "$PROGRAM_LOG" >&2; }
  exit 1
}

run="$work/run"
"$build/tools/shop_table" provision "$run" --demo >/dev/null
cp "$build/bin/chengyu_shop" "$run/chengyu_shop"
xvfb_start 1280x800
program_start "$run"
window=$(program_window) || fail "the program shows no window"
sleep 1  # the codes are read meanwhile
# No window manager gives the focus: a click in the goods box (名称) does,
# as the cashier's would.
xdotool mousemove --window "$window" 815 130 click 1
sleep 0.3
scan() {
  xdotool type --delay 2 "$1"
  xdotool key Return
  sleep 0.5
}
scan 6901234567892   # 矿泉水
scan 6901234567899   # a misread: the check digit is wrong
scan 2000001012345   # the scale's label for 苹果 (goods number 00001), 12.34 yuan
# A slow program (a sanitizer build, a busy machine) may still have keys to
# take: the last scan's row in the run's journal says every earlier key was
# taken, since the keys arrive in order. Only then is the program ended.
for _ in $(seq 1 150); do
  journal=$(find "$run" -maxdepth 1 -name '*.journal' | head -1)
  [ -n "$journal" ] && grep -aq '12.34元' "$journal" && break
  sleep 0.2
done
[ -z "${SHOP_SCAN_SHOT:-}" ] || import -window root "$SHOP_SCAN_SHOT"
program_stop          # TERM: the rows on screen are recorded first
table=$(find "$run/保存数据库" -name '销售数据*.edb' -newer "$run/chengyu_shop" | head -1)
[ -n "$table" ] || fail "no sales table of this run"
rows=$("$build/tools/shop_table" list "$table" | tail -n +2)
echo "$rows"
[ "$(echo "$rows" | grep -c .)" = 2 ] || fail "expected two rows, got: $rows"
echo "$rows" | sed -n 1p | grep -q '^矿泉水 | 2元 | 1 |' || fail "the first scan did not sell 矿泉水"
echo "$rows" | sed -n 2p | grep -q '^苹果 | 12.34元 | 1 |' || fail "the scale label did not sell 苹果 at 12.34元"
echo "scan check passed: xdotool's scans sold 矿泉水 and a scale label; the misread sold nothing"
