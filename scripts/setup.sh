#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the project needs and is missing.
# Shared by the README's two commands. Needs root (or sudo) on Debian 12.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-svg-dev libqt6svg6 libgl-dev
  libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei xvfb xauth
  poppler-utils           # pdftotext, for tests that read a printed PDF
)
if [ "${SHOP_WITH_FUZZ:-0}" = 1 ]; then packages+=(clang libclang-rt-14-dev); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" = 0 ] || sudo_cmd="sudo"
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
