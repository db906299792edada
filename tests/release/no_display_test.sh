#!/usr/bin/env bash
# Without any display the program says so in one line on standard error and
# ends with a non-zero code (not Qt's stack of plugin messages and an abort).
# usage: no_display_test.sh PROGRAM
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" >"$work/out" 2>"$work/err"
status=$?
echo "exit code $status; standard error:"
cat "$work/err"
[ "$status" -ne 0 ] || { echo "FAILED: exit code 0"; exit 1; }
[ "$status" -lt 128 ] || { echo "FAILED: ended by a signal"; exit 1; }
[ "$(wc -l <"$work/err")" -eq 1 ] || { echo "FAILED: not one line"; exit 1; }
grep -q 'DISPLAY' "$work/err" || { echo "FAILED: the line does not name DISPLAY"; exit 1; }
[ ! -s "$work/out" ] || { echo "FAILED: wrote to standard output"; exit 1; }
