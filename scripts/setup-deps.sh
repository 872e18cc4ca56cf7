#!/usr/bin/env bash
# Installs the Debian packages the suite builds and runs with. Safe to run again:
# when every package is present it does nothing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-webengine-dev qt6-multimedia-dev
  libqt6webenginecore6-bin libqt6webengine6-data
  libcurl4-openssl-dev libtinyxml-dev libsqlite3-dev
  libgtest-dev libgmock-dev
  xvfb xauth x11-utils xdotool imagemagick
  # the main job's window manager and notification area under Xvfb
  icewm
  # the tray tool's push sound (Qt Multimedia plays through PulseAudio when
  # the desktop has a sound server; without one it stays silent), the X11
  # headers for the desktop tests' notification area, and sox to redraw the
  # sound (traytool/resources/make-images.sh)
  libqt6multimedia6 libx11-dev sox
  fonts-wqy-zenhei
  shared-mime-info xdg-utils locales
  ca-certificates curl openssl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup-deps: missing packages (${missing[*]}); run as root to install them" >&2
  exit 1
fi

echo "setup-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
