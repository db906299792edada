#!/usr/bin/env bash
# CI's first step: the README's test command on a brand-new machine. Makes a
# minimal Debian 12 root (debootstrap --variant=minbase bookworm) from the
# Debian mirror this machine's apt already uses, puts a clean clone of the
# commit being tested in it, and runs there, through chroot, exactly
# `bash scripts/test.sh`, then the run check (scripts/check_run.sh: the
# README's run command under Xvfb). The root is unmounted and removed on
# every exit path. Needs root on a Debian 12 host.
#
# SHOP_DEBIAN_MIRROR overrides the mirror read from the apt sources.
# SHOP_KEEP_ROOT=1 keeps the root after the run (for a look inside).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" = 0 ] || { echo "ci_fresh_root: needs root (debootstrap, mount, chroot)" >&2; exit 2; }

step_start=0
step() { step_start=$(date +%s); echo "== [fresh root] $1"; }
step_done() { echo "== [fresh root] $1: $(( $(date +%s) - step_start ))s"; }

# The machine's Debian entries, one "URI SUITE COMPONENTS..." line per suite,
# from the deb822 files (sources.list.d/*.sources) and the one-line files
# (sources.list, sources.list.d/*.list). Only binary ("deb") entries signed by
# Debian's keyring (or with no key named): third-party archives name theirs.
debian_entries() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # Stanzas are separated by blank lines; "Key: value", a value may go on
    # over lines that start with white space.
    awk '
      function flush() {
        if (tolower(v["enabled"]) != "no" && v["types"] ~ /(^| )deb( |$)/ && v["uris"] != "" &&
            (v["signed-by"] == "" || v["signed-by"] ~ /debian-archive-keyring/)) {
          n = split(v["uris"], u, " "); m = split(v["suites"], s, " ")
          for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) print u[i], s[j], v["components"]
        }
        split("", v); key = ""
      }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ { if (key != "") v[key] = v[key] " " $0; next }
      { key = tolower(substr($0, 1, index($0, ":") - 1)); val = substr($0, index($0, ":") + 1)
        gsub(/^[ \t]+|[ \t]+$/, "", val); v[key] = val }
      END { flush() }' "$f" | awk '{ $1 = $1; print }'
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    # deb [options] URI SUITE COMPONENTS...
    awk '$1 == "deb" {
      opts = ""
      if (match($0, /\[[^]]*\]/)) { opts = substr($0, RSTART, RLENGTH); $0 = substr($0, 1, RSTART - 1) substr($0, RSTART + RLENGTH) }
      if (opts ~ /signed-by=/ && opts !~ /debian-archive-keyring/) next
      $1 = ""; sub(/^ +/, ""); print
    }' "$f"
  done
}

mirror=${SHOP_DEBIAN_MIRROR:-}
entries=$(debian_entries | awk '$2 ~ /^bookworm/' | sort -u)
if [ -z "$mirror" ]; then
  # The main archive: the entry for the release itself ("bookworm"), not
  # -security or -updates.
  mirror=$(echo "$entries" | awk '$2 == "bookworm" && $1 !~ /security/ { print $1; exit }')
fi
[ -n "$mirror" ] || { echo "ci_fresh_root: no Debian bookworm entry in the apt sources; set SHOP_DEBIAN_MIRROR" >&2; exit 2; }

base=""        # holds the root and the debootstrap log
root=""
step_pid=""   # the step running now (in the background, so a signal is handled at once)
in_root_pids() {  # processes whose root is the fresh root
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && echo "$pid"
  done
}
cleanup() {
  local status=$? m i
  set +e
  trap - INT TERM
  # The step still running, if any (debootstrap unmounts what it mounted
  # when it is told to stop).
  if [ -n "$step_pid" ]; then
    kill -TERM "$step_pid" 2>/dev/null
    for i in $(seq 50); do kill -0 "$step_pid" 2>/dev/null || break; sleep 0.2; done
    kill -KILL "$step_pid" 2>/dev/null
  fi
  [ -n "$base" ] && [ -d "$base" ] || exit "$status"
  # Whatever still runs inside the root (a stray server, a hung test) is ours.
  for i in $(seq 50); do
    [ -z "$(in_root_pids)" ] && break
    kill -KILL $(in_root_pids) 2>/dev/null
    sleep 0.2
  done
  # Every mount under the root, the deepest first (dev/pts before dev).
  findmnt -rn -o TARGET | grep "^$base/" | sort -r | while read -r m; do
    umount "$m" 2>/dev/null || umount -l "$m"
  done
  if findmnt -rn -o TARGET | grep -q "^$base/"; then
    echo "ci_fresh_root: $base still has mounts; not removing it" >&2
    findmnt -rn -o TARGET | grep "^$base/" >&2
    exit 1
  fi
  if [ "${SHOP_KEEP_ROOT:-0}" = 1 ]; then
    echo "ci_fresh_root: kept $root"
  else
    # --one-file-system: even a mount missed above is never walked into.
    rm -rf --one-file-system "$base"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# Runs a step in the background and waits for it: bash handles a signal
# during `wait` at once, not after a half-hour build.
run_step() {
  "$@" &
  step_pid=$!
  local status=0
  wait "$step_pid" || status=$?
  step_pid=""
  return "$status"
}

total_start=$(date +%s)

if ! command -v debootstrap >/dev/null; then
  step "installing debootstrap on the host"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
  step_done "debootstrap installed"
fi

base=$(mktemp -d /var/tmp/shop-fresh-root.XXXXXX)
root="$base/root"
mkdir -m 755 "$root"
step "debootstrap --variant=minbase bookworm from $mirror"
run_step debootstrap --variant=minbase bookworm "$root" "$mirror" >"$base/debootstrap.log" 2>&1 \
  || { tail -30 "$base/debootstrap.log"; exit 1; }
step_done "debootstrap"

# The machine's Debian entries (the release, its updates, its security
# archive), as a new Debian 12 machine has them.
echo "$entries" | awk '{ printf "deb %s %s", $1, $2; for (i = 3; i <= NF; i++) printf " %s", $i; print "" }' \
  >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# No service starts inside the root (a daemon would outlive the run and keep
# its mounts busy).
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"

commit=$(git -C "$here" rev-parse HEAD)
git clone -q --no-checkout "$here" "$root/src/shop"
git -C "$root/src/shop" checkout -q --detach "$commit"
echo "== [fresh root] clean clone of $commit in /src/shop"

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"

# A login's environment, nothing of this machine's (no DISPLAY, no Qt setting).
in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c "cd /src/shop && $1"
}

# The test command's own phases, timed from its output: set-up until the
# first build line, the build until CTest starts, then the tests.
phase_times() {
  local t0 line build_at="" tests_at=""
  t0=$(date +%s)
  while IFS= read -r line; do
    printf '%s\n' "$line"
    [ -z "$build_at" ] && [[ $line =~ ^\[1/[0-9]+\] ]] && build_at=$(date +%s)
    [ -z "$tests_at" ] && [[ $line == "Test project "* ]] && tests_at=$(date +%s)
  done
  local end; end=$(date +%s)
  : "${build_at:=$end}" "${tests_at:=$end}"
  echo "== [fresh root] set-up: $((build_at - t0))s, build: $((tests_at - build_at))s, tests: $((end - tests_at))s"
}

step "bash scripts/test.sh (the README's test command)"
test_command() { in_root "bash scripts/test.sh" 2>&1 | phase_times; }
run_step test_command
step_done "bash scripts/test.sh"

step "bash scripts/check_run.sh (the README's run command under Xvfb)"
run_step in_root "bash scripts/check_run.sh"
step_done "run check"

echo "== [fresh root] all steps: $(( $(date +%s) - total_start ))s"
