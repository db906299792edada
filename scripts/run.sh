#!/usr/bin/env bash
# Set up, build, stage the run folder, and start Chengyu Shop.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" release
exec "$here/build/release/run/chengyu_shop"
