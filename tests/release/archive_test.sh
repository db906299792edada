#!/usr/bin/env bash
# Makes the release archive (CPack, from this build), unpacks it into an
# empty folder and starts the program there on the offscreen platform: it
# must create this run's sales table and still be up 3 s later.
# usage: archive_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack"; }
archive=$(ls "$work/out"/chengyu-shop-*-linux-x86_64.tar.gz 2>/dev/null | head -1)
[ -n "$archive" ] || fail "no chengyu-shop-<version>-linux-x86_64.tar.gz in $(ls "$work/out")"
echo "archive: $(basename "$archive"), $(du -k "$archive" | cut -f1) KB"

mkdir "$work/unpacked"
tar -xzf "$archive" -C "$work/unpacked"
top="$work/unpacked/$(basename "$archive" .tar.gz)"
[ -d "$top" ] || fail "the archive has no top folder $(basename "$top")"
for f in chengyu_shop shop_table chengyu-shop.desktop chengyu-shop.svg README install-desktop-entry.sh shop_server.sh \
         数据库管理/产品数据库.edb 数据库管理/产品保存.edb 员工数据库/员工基本数据库.edb; do
  [ -e "$top/$f" ] || fail "$f is missing from the archive"
done
for d in 数据库管理 保存数据库 员工数据库 员工请假数据库 员工工资管理 配置; do
  [ -d "$top/$d" ] || fail "folder $d is missing from the archive"
done
[ -x "$top/chengyu_shop" ] && [ -x "$top/shop_table" ] || fail "the programs are not executable"
grep -qx 'Name=澄屿店铺管理系统' "$top/chengyu-shop.desktop" || fail "the desktop entry lacks the Chinese name"
grep -qx 'Icon=chengyu-shop' "$top/chengyu-shop.desktop" || fail "the desktop entry names no icon"
# Shipped tables, empty: a shop starts without the demo catalogue.
for t in 数据库管理/产品数据库.edb 数据库管理/产品保存.edb 员工数据库/员工基本数据库.edb; do
  "$top/shop_table" check "$top/$t" >/dev/null || fail "$t fails its integrity check"
  records=$("$top/shop_table" fields "$top/$t" | tail -1)
  [ "$records" = "0 records" ] || fail "$t is not empty: $records"
done

# The program in the unpacked folder, from elsewhere as a menu would start it.
cd "$work"
QT_QPA_PLATFORM=offscreen "$top/chengyu_shop" >"$work/program.log" 2>&1 &
pid=$!
table=""
for _ in $(seq 300); do
  table=$(ls "$top/保存数据库" | grep '^销售数据.*\.edb$' | head -1 || true)
  [ -n "$table" ] && break
  kill -0 "$pid" 2>/dev/null || { cat "$work/program.log"; fail "the program ended before making its sales table"; }
  sleep 0.1
done
[ -n "$table" ] || fail "no sales table after 30 s"
sleep 3
kill -0 "$pid" 2>/dev/null || { cat "$work/program.log"; fail "the program ended within 3 s"; }
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
pid=""
"$top/shop_table" check "$top/保存数据库/$table" >/dev/null || fail "its sales table $table fails the check"
echo "the unpacked program ran 3 s and made 保存数据库/$table"
