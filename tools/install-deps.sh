#!/usr/bin/env bash
# install-deps.sh -- installs the Debian packages the game and its tests need.
# Quiet and quick when everything is already there; run as root (or with sudo).
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libgl-dev libgl1-mesa-dri libglx-mesa0 libegl-dev
  libfreetype-dev libpng-dev zlib1g-dev
  libogg-dev libvorbis-dev libopenal-dev
  libgtest-dev
  xvfb xdotool x11-utils imagemagick
  python3 python3-pil python3-numpy vorbis-tools sox
  fonts-open-sans fonts-bebas-neue fonts-dotgothic16
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
