#!/usr/bin/env bash
# The run command's run folder: made whole on the first run (the demo shop,
# or the data an earlier build tree held), never replaced or re-made after,
# only the program file renewed; a staging that fails leaves nothing.
# usage: run_folder_test.sh SCRIPTS_DIR SHOP_TABLE
set -uo pipefail
source "$1/lib/run_folder.sh"
tool=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $1"; failures=$((failures + 1)); }

# A build tree with the real table tool and a stand-in program.
build_tree() {  # dir, program text
  mkdir -p "$1/bin" "$1/tools"
  ln -sf "$tool" "$1/tools/shop_table"
  printf '#!/bin/sh\necho %s\n' "$2" >"$1/bin/chengyu_shop"
  chmod +x "$1/bin/chengyu_shop"
}
# Every file of a run folder but the program, with its checksum.
data_sums() { (cd "$1" && find . -type f ! -name chengyu_shop -print0 | sort -z | xargs -0 sha256sum); }
products() { "$tool" list "$1/数据库管理/产品数据库.edb" 2>&1; }
leftovers() { find "$(dirname "$1")" -maxdepth 1 -name ".$(basename "$1").staging.*" | grep -q .; }

echo "== first run: the demo shop, made whole"
build_tree "$work/build" v1
shop="$work/top/run"
run_folder_stage "$work/build" "$shop" 2>"$work/err" || fail "the first staging failed: $(cat "$work/err")"
products "$shop" | grep -q 矿泉水 || fail "no demo catalogue: $(products "$shop")"
for folder in 数据库管理 保存数据库 员工数据库 员工请假数据库 员工工资管理 配置; do
  [ -d "$shop/$folder" ] || fail "no folder $folder"
done
[ "$("$shop/chengyu_shop")" = v1 ] || fail "the program was not copied in"
leftovers "$shop" && fail "a staging folder was left beside the run folder"

echo "== later runs: the shop's data kept as it is, only the program renewed"
rm "$shop/员工数据库/员工基本数据库.edb"                 # the owner's choices stand
echo "note" >"$shop/配置/owner-note.txt"
data_sums "$shop" >"$work/before"
build_tree "$work/build" v2
run_folder_stage "$work/build" "$shop" 2>"$work/err" || fail "a later staging failed: $(cat "$work/err")"
data_sums "$shop" >"$work/after"
cmp -s "$work/before" "$work/after" || fail "the data changed: $(diff "$work/before" "$work/after")"
[ ! -e "$shop/员工数据库/员工基本数据库.edb" ] || fail "a table the owner removed was made again"
[ "$("$shop/chengyu_shop")" = v2 ] || fail "the new program was not copied in"
[ ! -e "$shop/.chengyu_shop.new" ] || fail "the program's copy was left half done"

echo "== first run of a checkout whose build tree held the shop: its data comes along"
build_tree "$work/old" v1
"$tool" provision "$work/old/run" --demo >/dev/null
rm "$work/old/run/数据库管理/产品数据库.edb"
"$tool" provision "$work/old/run" >/dev/null    # an emptied catalogue, unlike the demo's
data_sums "$work/old/run" >"$work/old-before"
moved="$work/top/moved"
run_folder_stage "$work/old" "$moved" 2>"$work/err" || fail "staging from the old folder failed: $(cat "$work/err")"
grep -q "no longer used" "$work/err" || fail "the copy was not said: $(cat "$work/err")"
products "$moved" | grep -q 矿泉水 && fail "the demo catalogue replaced the shop's own"
"$tool" list "$moved/员工数据库/员工基本数据库.edb" | grep -q . || fail "the employees were not copied"
ls "$moved/保存数据库" | grep -q '^销售数据' || fail "the sales were not copied"
data_sums "$work/old/run" | cmp -s - "$work/old-before" || fail "the old folder was changed"

echo "== a staging that fails leaves no run folder and no scratch"
mkdir -p "$work/broken/bin" "$work/broken/tools"
printf '#!/bin/sh\nexit 1\n' >"$work/broken/tools/shop_table"
chmod +x "$work/broken/tools/shop_table"
cp "$work/build/bin/chengyu_shop" "$work/broken/bin/"
never="$work/top/never"
run_folder_stage "$work/broken" "$never" 2>/dev/null && fail "a failed staging was reported as done"
[ ! -e "$never" ] || fail "a failed staging left a run folder"
leftovers "$never" && fail "a failed staging left its scratch folder"

echo "== the default run folder lies outside the build tree"
top="$work/checkout"
[ "$(SHOP_RUN_FOLDER='' run_folder_path "$top")" = "$top/run" ] || fail "default is $(run_folder_path "$top")"

[ "$failures" -eq 0 ] && echo "all run folder checks passed"
[ "$failures" -eq 0 ]
