#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the project needs and is missing.
# Shared by the README's two commands. Needs root (or sudo) on Debian 12.
set -euo pipefail

# Audited against what the build loads (scripts/audit_setup.sh): installed
# with --no-install-recommends, so every package the build or the program
# needs is either here or a Depends of one here.
packages=(
  # build tools
  cmake ninja-build g++ pkg-config
  # Qt 6: Widgets, Charts, Svg, Test. Qt6Charts' CMake config requires Qt6OpenGL
  # and Qt6OpenGLWidgets, which qt6-base-dev only recommends.
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-svg-dev libqt6svg6 libgl-dev
  qt6-translations-l10n   # Qt's own Chinese translations (dialog buttons)
  unicode-data bzip2      # Han readings, for the goods search by pinyin initials
  # storage, tests, benchmarks
  libsqlite3-dev libfontconfig-dev libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils           # pdftotext, for tests that read a printed PDF
  # the shop server (scripts/shop_server.sh, its tests) and its client library
  postgresql libpq-dev
  # the Chinese font; a virtual display for headless runs and its tools
  fonts-wqy-microhei xvfb xauth xdotool
)
if [ "${SHOP_WITH_FUZZ:-0}" = 1 ]; then packages+=(clang libclang-rt-14-dev); fi
# scripts/check_format.sh
if [ "${SHOP_WITH_FORMAT:-0}" = 1 ]; then packages+=(clang-format-14); fi
# scripts/screenshots.sh: saving the screen as PNG, a plain desktop colour, a
# window manager (the pictures show the windows as a desktop places them)
if [ "${SHOP_WITH_SCREENSHOTS:-0}" = 1 ]; then packages+=(imagemagick x11-xserver-utils openbox); fi

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
