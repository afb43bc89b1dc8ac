#!/usr/bin/env bash
# Debian packages Kadro needs to build, run and test. Installs only what is missing.
set -euo pipefail

KADRO_PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
  libgl-dev
  libffms2-dev
  libopencv-core-dev libopencv-imgproc-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  libgtest-dev googletest
  clang libclang-rt-14-dev
  qt6-qpa-plugins qt6-translations-l10n
  fonts-dejavu-core
  appstream desktop-file-utils shared-mime-info libxml2-utils libglib2.0-bin
  xvfb xdotool imagemagick x11-apps
)

missing=()
for p in "${KADRO_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
