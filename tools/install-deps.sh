#!/usr/bin/env bash
# Installs, by Debian package name, what building, running and testing Umbrill needs.
# Installs only what is missing; uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-gtk-platformtheme
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-noto-mono fonts-liberation2 fonts-noto-core
  xvfb xdotool xclip x11-utils x11-apps
  openbox metacity stress-ng xterm x11-xserver-utils x11-xkb-utils dbus python3 python3-dbus python3-gi
  libx11-dev libxcb1-dev libxtst-dev libxdamage-dev libicu-dev libfontconfig-dev fontconfig
  unicode-data unicode-cldr-core libx11-data
  at-spi2-core python3-pyatspi
  mutter xwayland xdg-desktop-portal xdg-desktop-portal-gnome dconf-service gir1.2-gtk-4.0 gir1.2-gtk-3.0
  kwin-wayland xdg-desktop-portal-kde qtwayland5
  libxkbcommon-dev ibus
  unrtf poppler-utils
  desktop-file-utils appstream
  file dpkg-dev
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
# Another apt or dpkg at work (an update of the desktop, another developer's
# install) holds the locks for a while: wait for it rather than fail.
lock_wait=(-o DPkg::Lock::Timeout=900)
# Through env, so that the variable reaches apt-get also past sudo.
apt() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get "${lock_wait[@]}" "$@"; }
# apt-get update gives up at once on the lock of the package lists: try again
# while that is why, for as long as the install would wait.
for attempt in $(seq 1 90); do
  if apt update -qq 2>"${TMPDIR:-/tmp}/umbrill-apt-update.$$"; then
    break
  fi
  if ! grep -qi 'lock' "${TMPDIR:-/tmp}/umbrill-apt-update.$$" || [ "$attempt" -eq 90 ]; then
    cat "${TMPDIR:-/tmp}/umbrill-apt-update.$$" >&2
    rm -f "${TMPDIR:-/tmp}/umbrill-apt-update.$$"
    exit 1
  fi
  sleep 10
done
rm -f "${TMPDIR:-/tmp}/umbrill-apt-update.$$"
apt install -y -qq --no-install-recommends "${missing[@]}"
