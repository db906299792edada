#!/usr/bin/env bash
# Screenshots of the real program for the README, on a virtual display
# (Xvfb) with a window manager (openbox), as a till's desktop shows it:
# every view in VIEWS at every screen size in SIZES, saved as
# docs/screenshots/<view>-<size>.png. The program runs from a scratch run
# folder holding the demo data (the build's run folder is not touched),
# started anew for each picture; xdotool clicks and types as a cashier would.
# usage: bash scripts/screenshots.sh [OUT_DIR]
# SHOP_SHOT_SIZES overrides the sizes (default "1280x800 1366x768 1920x1080"),
# SHOP_SHOT_VIEWS picks views by name, SHOP_SHOT_BUILD the build folder
# under build/ (default release).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/xvfb.sh
source "$here/scripts/lib/xvfb.sh"
out=${1:-$here/docs/screenshots}
read -r -a SIZES <<<"${SHOP_SHOT_SIZES:-1280x800 1366x768 1920x1080}"
build="$here/build/${SHOP_SHOT_BUILD:-release}"

# Each view: a name and the steps that show it, from a fresh main window.
#   max     the main window's maximise button (图形按钮1_放大)
#   x,y     a click at x,y in the window opened last (the main window at
#           first); when the click opens a window, later steps act on it
#   =x,y    a click that opens no window (an item in a list)
#   sale    a sale by keyboard: two goods, then the amount tendered
# Positions come from the .ui files: the main window's navigation buttons
# and leave link, the directory's three buttons, the receipt's buttons, the
# product window's import (its yes/no question) and the entry form's photo
# button (the file dialog).
# The windows a dialog opens are shown over the maximised main window, the
# till's everyday state; the main window is shown restored and maximised.
VIEWS=(
  "main"
  "main-maximised max"
  "products max 776,29"
  "performance max 699,29 =478,62"
  "employees max 622,29 =60,80"
  "entry-form max 622,29 44,400"
  "salary max 622,29 188,400 =120,66"
  "leave max 150,45 =60,54"
  "receipt max sale key:F9 =138,470"
  "receipt-settings max sale key:F9 =138,470 183,17"
  "products-question max 776,29 655,276"
  "photo-dialog max 622,29 44,400 563,353"
)

SHOP_WITH_SCREENSHOTS=1 bash "$here/scripts/setup.sh"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target chengyu_shop shop_table >/dev/null

work=$(mktemp -d)
WM_PID=""
wm_stop() {
  [ -n "$WM_PID" ] || return 0
  kill "$WM_PID" 2>/dev/null || true
  wait "$WM_PID" 2>/dev/null || true
  WM_PID=""
}
trap 'program_stop; wm_stop; xvfb_stop; rm -rf "$work"' EXIT
# Every picture starts from the same demo folder: a sale made for one
# picture must not show in the performance list of the next.
demo="$work/demo" run="$work/run"
mkdir -p "$demo" "$out"
cp "$build/bin/chengyu_shop" "$demo/"
"$build/tools/shop_table" provision "$demo" --demo
# A receipt header, in the settings file's own encoding.
printf '[hggfggt]\r\nffgff=澄屿便利店\r\n[cff]\r\ngfd=01\r\ngg=王晓燕\r\nhnmbv=杭州市上城区解放路12号\r\n' |
  iconv -f UTF-8 -t GBK >"$demo/配置/fghh.ini"
export PROGRAM_LOG="$work/program.log"

# Visible windows of the program.
windows() { xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null | sort || true; }

# Clicks at x,y in window $1 and, unless $3 is "stay", waits for a new
# window and prints its id.
click() {
  local win=$1 point=$2 mode=${3:-open} before after
  before=$(windows)
  xdotool mousemove --window "$win" "${point%,*}" "${point#*,}" click 1
  if [ "$mode" = stay ]; then sleep 0.5; echo "$win"; return; fi
  for _ in $(seq 100); do
    after=$(comm -13 <(echo "$before") <(windows) | tail -1)
    [ -n "$after" ] && { echo "$after"; return; }
    sleep 0.1
  done
  echo "screenshots: nothing opened at $point" >&2
  return 1
}

# Keys go to the window under the pointer (no window manager gives focus).
keys() {  # window, xdotool key or type arguments...
  local win=$1; shift
  xdotool mousemove --window "$win" 20 80
  xdotool "$@"
  sleep 0.3
}

# Two goods found by their pinyin initials, each added with Enter, then the
# amount handed over: the main window's keyboard path. Enter in the tendered
# box puts the cashier in the goods box to begin.
sale() {
  local win=$1
  keys "$win" key F5; keys "$win" key Return
  keys "$win" type --delay 60 kqs; keys "$win" key Return
  keys "$win" type --delay 60 2; keys "$win" key Return
  keys "$win" type --delay 60 mb; keys "$win" key Return
  keys "$win" type --delay 60 1; keys "$win" key Return
  keys "$win" key F5; keys "$win" type --delay 60 20
}

shoot() {  # size, view name, steps...
  local size=$1 name=$2; shift 2
  local main current step file="$out/$name-$size.png"
  rm -rf "$run"
  cp -a "$demo" "$run"
  program_start "$run"
  main=$(program_window) || { echo "screenshots: the program shows no window" >&2; cat "$PROGRAM_LOG" >&2; exit 1; }
  sleep 1
  current=$main
  for step in "$@"; do
    case $step in
      max) xdotool mousemove --window "$main" 861 13 click 1; sleep 0.5 ;;
      sale) sale "$main" ;;
      key:*)
        local before
        before=$(windows)
        keys "$current" key "${step#key:}"
        for _ in $(seq 100); do
          [ -n "$(comm -13 <(echo "$before") <(windows))" ] && break
          sleep 0.1
        done
        current=$(comm -13 <(echo "$before") <(windows) | tail -1)
        [ -n "$current" ] || { echo "screenshots: $name: ${step#key:} opened nothing" >&2; exit 1; }
        ;;
      =*) click "$current" "${step#=}" stay >/dev/null ;;
      *) current=$(click "$current" "$step") || exit 1 ;;
    esac
  done
  xdotool mousemove 0 0   # no hover highlight in the picture
  sleep 1.5               # let it paint
  import -window root -strip -define png:compression-level=9 "$file"
  program_stop
  echo "$file ($(du -k "$file" | cut -f1) KB)"
}

wanted() {  # view name
  [ -z "${SHOP_SHOT_VIEWS:-}" ] && return 0
  [[ " $SHOP_SHOT_VIEWS " == *" $1 "* ]]
}

for size in "${SIZES[@]}"; do
  xvfb_start "$size"
  xsetroot -solid '#4a5d70'   # a plain desktop, not the server's black
  rm -f "$work/wm-ready"
  # --startup runs once openbox manages the screen.
  openbox --sm-disable --startup "touch $work/wm-ready" >/dev/null 2>&1 &
  WM_PID=$!
  for _ in $(seq 100); do [ -e "$work/wm-ready" ] && break; sleep 0.1; done
  [ -e "$work/wm-ready" ] || { echo "screenshots: openbox did not start" >&2; exit 1; }
  for view in "${VIEWS[@]}"; do
    read -r -a parts <<<"$view"
    wanted "${parts[0]}" && shoot "$size" "${parts[@]}"
  done
  wm_stop
  xvfb_stop
done
