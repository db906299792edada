#!/usr/bin/env bash
# Configures and builds into build/<name> (default build/release). Extra
# arguments go to CMake. The program is build/<name>/bin/chengyu_shop; the
# run command puts it into the run folder (scripts/lib/run_folder.sh).
set -euo pipefail
name=${1:-release}; shift || true
here=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$here" -B "$here/build/$name" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$here/build/$name" -j"$(nproc)"
