#!/usr/bin/env bash
# Screenshots of the real program for the README, on a virtual display
# (Xvfb): every view in VIEWS at every screen size in SIZES, saved as
# docs/screenshots/<view>-<size>.png. The program runs from a scratch run
# folder holding the demo catalogue (the build's run folder is not touched),
# started anew for each picture; xdotool clicks the main window's buttons.
# usage: bash scripts/screenshots.sh [OUT_DIR]
# SHOP_SHOT_SIZES overrides the sizes, e.g. "1280x800 1366x768 1920x1080".
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/xvfb.sh
source "$here/scripts/lib/xvfb.sh"
out=${1:-$here/docs/screenshots}
read -r -a SIZES <<<"${SHOP_SHOT_SIZES:-1280x800}"

# Each view: a name and the clicks that open it from the main window, as
# "x,y" points in the main window (positions from src/checkout/main_window.ui:
# the centre of each navigation button, the leave link under the title).
VIEWS=(
  "main"
  "products 776,29"
  "performance 699,29"
  "employees 622,29"
  "leave 150,45"
)

SHOP_WITH_SCREENSHOTS=1 bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" release >/dev/null

work=$(mktemp -d)
trap 'program_stop; xvfb_stop; rm -rf "$work"' EXIT
run="$work/run"
mkdir -p "$run" "$out"
cp "$here/build/release/run/chengyu_shop" "$run/"
"$here/build/release/tools/shop_table" provision "$run" --demo
export PROGRAM_LOG="$work/program.log"

# Visible windows of the program, newest last.
windows() { xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null || true; }

shoot() {  # size, view name, clicks...
  local size=$1 name=$2; shift 2
  local main count point file="$out/$name-$size.png"
  program_start "$run"
  main=$(program_window) || { echo "screenshots: the program shows no window" >&2; cat "$PROGRAM_LOG" >&2; exit 1; }
  sleep 1
  for point in "$@"; do
    count=$(windows | wc -l)
    xdotool mousemove --window "$main" "${point%,*}" "${point#*,}" click 1
    # The view opens in a window of its own.
    for _ in $(seq 100); do [ "$(windows | wc -l)" -gt "$count" ] && break; sleep 0.1; done
    [ "$(windows | wc -l)" -gt "$count" ] || { echo "screenshots: $name did not open" >&2; exit 1; }
  done
  xdotool mousemove 0 0   # no hover highlight in the picture
  sleep 1.5               # let it paint
  import -window root -strip -define png:compression-level=9 "$file"
  program_stop
  echo "$file ($(du -k "$file" | cut -f1) KB)"
}

for size in "${SIZES[@]}"; do
  xvfb_start "$size"
  xsetroot -solid '#4a5d70'   # a plain desktop, not the server's black
  for view in "${VIEWS[@]}"; do
    read -r -a parts <<<"$view"
    shoot "$size" "${parts[@]}"
  done
  xvfb_stop
done
