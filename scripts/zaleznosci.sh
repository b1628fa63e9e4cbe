#!/usr/bin/env bash
# Installs the Debian packages the installer is built, tested and run with,
# those that are missing only. Needs root (or sudo) when something is missing.
set -euo pipefail

PAKIETY=(
  # build
  cmake g++ make pkg-config
  # the second builds (an https:// address) share the first ones' objects
  ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  libcurl4-openssl-dev libssl-dev
  libgtest-dev libgmock-dev googletest
  # distribution server kit, and the load tool of its benchmark
  nginx-light openssl curl wrk
  # a proxy on loopback for the tests of the download through one
  tinyproxy
  # display, pointer and screenshots for the window tests
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  # the Windows program's icon, made in the build and read back by its test
  icoutils
  # an independent reader of shortcut files
  liblnk-utils
  # reads the installer's dialogs in the end-to-end test
  tesseract-ocr tesseract-ocr-eng
  # the Windows build of the engine and its run under Wine
  # (wine brings the wine, wineboot and wineserver commands; wine64 alone does
  # not, and recommended packages are not installed)
  g++-mingw-w64-x86-64 wine64 wine
  # fonts for Wine: its own (Tahoma, "MS Sans Serif"), and Arial's metrics
  fonts-wine fonts-liberation
  # the signed release medium
  osslsigncode zip unzip
  python3
  # the fault-injecting test server signs its replies (ECDSA P-256)
  python3-cryptography
  # Wine's CNG verifies ECDSA signatures through GnuTLS, loaded at run time
  libgnutls30
)

brakujace=()
for p in "${PAKIETY[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    brakujace+=("$p")
  fi
done

if [ ${#brakujace[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${brakujace[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${brakujace[@]}"
