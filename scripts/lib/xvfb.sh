# Sourced by the scripts that start the real program on a virtual display.
#
# xvfb_start [WIDTHxHEIGHT]   starts Xvfb on a free display (default
#                             1280x800), exports DISPLAY, sets XVFB_PID
# xvfb_stop                   ends it
# program_start DIR [ARGS]    starts DIR/chengyu_shop on $DISPLAY in its own
#                             session; sets PROGRAM_PID
# program_stop                ends the program (TERM, then KILL)
# program_window              prints the id of its visible main window,
#                             waiting up to 30 s for it (needs xdotool)

xvfb_start() {
  local size=${1:-1280x800} numfile
  numfile=$(mktemp)
  # -displayfd: Xvfb picks a free display and writes its number when ready;
  # -noreset: what a client set (the desktop colour) outlives it.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$numfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -s "$numfile" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$numfile" ]; then
    rm -f "$numfile"
    echo "Xvfb did not start" >&2
    return 1
  fi
  DISPLAY=":$(tr -d '[:space:]' <"$numfile")"
  export DISPLAY
  rm -f "$numfile"
}

xvfb_stop() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}

program_start() {
  local dir=$1; shift
  # Its own session, so ending it ends whatever it started too.
  QT_QPA_PLATFORM=xcb setsid "$dir/chengyu_shop" "$@" >>"${PROGRAM_LOG:-/dev/null}" 2>&1 &
  PROGRAM_PID=$!
}

program_stop() {
  [ -n "${PROGRAM_PID:-}" ] || return 0
  kill -TERM -- "-$PROGRAM_PID" 2>/dev/null || true
  local i
  for i in $(seq 30); do kill -0 "$PROGRAM_PID" 2>/dev/null || break; sleep 0.1; done
  kill -KILL -- "-$PROGRAM_PID" 2>/dev/null || true
  wait "$PROGRAM_PID" 2>/dev/null || true
  PROGRAM_PID=""
}

program_window() {
  local i wid
  for i in $(seq 300); do
    wid=$(xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && { echo "$wid"; return 0; }
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}
