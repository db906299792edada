#!/usr/bin/env bash
# Set up, build and start Chengyu Shop on the shop's run folder: ./run at the
# top of the checkout (SHOP_RUN_FOLDER names another), outside the build
# tree. The first run stages it; later runs only put the new program in.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/run_folder.sh
source "$here/scripts/lib/run_folder.sh"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" release
dir=$(run_folder_path "$here")
run_folder_stage "$here/build/release" "$dir"
exec "$dir/chengyu_shop"
