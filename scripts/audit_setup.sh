#!/usr/bin/env bash
# Audits scripts/setup.sh against what a configured build actually uses:
# every file CMake loaded while configuring (Qt's package configs and the
# ones they pull in), every header the compiler read, every library linked,
# and the shared libraries and Qt plugins the program loads. Each file is
# mapped to its Debian package (dpkg -S), and each package must be one the
# set-up list installs: listed, or reached through Depends/Pre-Depends (never
# Recommends, which setup.sh does not install).
# usage: bash scripts/audit_setup.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
[ -f "$build/build.ninja" ] || { echo "audit: configure and build $build first (scripts/build.sh)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The set-up list's base packages (what the README's commands install), read
# from setup.sh itself.
listed=$(sed -n '/^packages=(/,/^)/p' "$here/scripts/setup.sh" | sed '1d;$d;s/#.*//' | tr -s ' \n' '\n' \
  | grep . | sort -u)

# 1. Files CMake loads: a fresh configure with a trace.
cmake -S "$here" -B "$work/cfg" -G Ninja --trace-redirect="$work/trace" >/dev/null 2>&1 \
  || { echo "audit: configure failed" >&2; exit 1; }
grep -o '^/usr/[^(]*' "$work/trace" | sort -u >"$work/files"
# 2. Headers the compiler read, and 3. libraries on the link lines.
ninja -C "$build" -t deps 2>/dev/null | grep -o '^ *\/usr\/[^ ]*' | tr -d ' ' | sort -u >>"$work/files"
grep -o '/usr/lib/[^ ]*\.\(so\|a\)[^ ]*' "$build/build.ninja" | sort -u >>"$work/files"
# 4. What the program and the table tool load at run time, with the Qt
# plugins it can load (platforms, image formats, icon engines).
plugins=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
for f in "$build/bin/chengyu_shop" "$build/tools/shop_table" "$plugins"/platforms/libq{xcb,offscreen}.so \
         "$plugins"/imageformats/libqsvg.so "$plugins"/iconengines/libqsvgicon.so; do
  [ -e "$f" ] || continue
  case $f in /usr/*) echo "$f" >>"$work/files" ;; esac
  ldd "$f" | grep -o '/[^ ]*' >>"$work/files"
done
# 5. Tools the scripts start: Xvfb and xauth (xvfb-run), the Chinese font.
for t in Xvfb xauth xvfb-run cmake ninja g++; do command -v "$t" >>"$work/files" || true; done
fc-match -f '%{file}\n' 'WenQuanYi Micro Hei' >>"$work/files" 2>/dev/null || true

# Map every file to its package, in batches. dpkg knows the paths packages
# ship (/usr/lib/...), so a path through a symlink (/lib/...) is looked up
# again by its real path.
sort -u "$work/files" >"$work/all"
lookup() {  # paths in, "package path" lines out ("a, b: path" gives a line for each)
  xargs -r -d '\n' dpkg -S 2>/dev/null | awk '!/^diversion/ {
    i = index($0, ": /"); n = split(substr($0, 1, i - 1), p, ", ")
    for (k = 1; k <= n; k++) { sub(/:.*/, "", p[k]); print p[k], substr($0, i + 2) } }' || true
}
lookup <"$work/all" >"$work/map"
cut -d' ' -f2- "$work/map" | sort -u >"$work/found"
comm -23 "$work/all" "$work/found" | while read -r f; do readlink -f "$f"; done | sort -u | lookup >>"$work/map"
cut -d' ' -f1 "$work/map" | sort -u >"$work/pkgs"

# Every package the list installs: the list and its Depends/Pre-Depends,
# recursively (apt-cache lists each alternative of an "a | b"; the fresh-root
# CI step is what proves the alternatives chosen are enough).
apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
  --no-enhances $listed 2>/dev/null | grep -v '^ ' | sed 's/:amd64$//' | sort -u >"$work/closure"

echo "set-up list: $(echo $listed)"
echo "packages the build and the program use: $(wc -l <"$work/pkgs")"
missing=$(comm -23 "$work/pkgs" "$work/closure")
if [ -n "$missing" ]; then
  echo "NOT installed by the set-up list (present here only by chance):"
  for p in $missing; do echo "  $p  (e.g. $(grep -m1 "^$p " "$work/map" | cut -d' ' -f2))"; done
  exit 1
fi
echo "every one is listed or a Depends/Pre-Depends of a listed package"
