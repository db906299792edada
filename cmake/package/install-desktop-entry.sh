#!/bin/sh
# Adds 澄屿店铺管理系统 to your desktop's application menu, started from
# this folder (run it again after moving the folder).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
apps=${XDG_DATA_HOME:-$HOME/.local/share}/applications
icons=${XDG_DATA_HOME:-$HOME/.local/share}/icons/hicolor/scalable/apps
mkdir -p "$apps" "$icons"
cp "$here/chengyu-shop.svg" "$icons/chengyu-shop.svg"
sed -e "s|^Exec=.*|Exec=\"$here/chengyu_shop\"|" -e "/^Exec=/a Path=$here" \
  "$here/chengyu-shop.desktop" >"$apps/chengyu-shop.desktop"
echo "added $apps/chengyu-shop.desktop"
