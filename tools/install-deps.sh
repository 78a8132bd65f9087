#!/usr/bin/env bash
# Installs, by Debian package name, what building, running and testing Umbrill needs.
# Installs only what is missing; uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-gtk-platformtheme
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-noto-mono fonts-liberation2
  xvfb xdotool xclip x11-utils x11-apps
  openbox xterm x11-xserver-utils x11-xkb-utils dbus python3-dbus python3-gi
  libx11-dev libxtst-dev libxdamage-dev libicu-dev libfontconfig-dev
  unicode-data unicode-cldr-core libx11-data
  at-spi2-core python3-pyatspi
  unrtf poppler-utils
  desktop-file-utils appstream
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
# Through env, so that the variable reaches apt-get also past sudo.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
