#!/usr/bin/env bash
# Installs every Debian package the build, the program and the test suite need.
# Idempotent: packages already present are skipped, so a second run is quick.
set -euo pipefail

PACKAGES=(
  build-essential cmake make pkg-config git ca-certificates
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins
  libgl-dev libxcb1-dev libx11-dev libxext-dev libxcb-shape0-dev
  libsqlite3-dev sqlite3
  libzip-dev zlib1g-dev zip unzip
  libsdl2-dev libsdl2-mixer-dev timidity freepats
  libjpeg62-turbo-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils x11-apps imagemagick
  espeak-ng sox libsox-fmt-all lame
  python3 dbus dbus-x11 tzdata
  clang libclang-rt-14-dev
  qt6-wayland weston xwayland
  dpkg-dev file lintian desktop-file-utils appstream groff-base
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
