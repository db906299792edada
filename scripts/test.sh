#!/usr/bin/env bash
# Set up, build, and run every test (widget tests on the offscreen platform).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" release
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$here/build/release" --output-on-failure -j"$(nproc)" --timeout 300
