#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: when all are
# present it only checks and returns at once.
set -euo pipefail
PKGS=(g++ cmake ninja-build pkg-config ccache
      libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
      qt6-base-dev qt6-base-dev-tools libsdl2-dev
      fonts-ipafont-gothic xvfb xauth
      xdotool openbox imagemagick x11-apps)  # looking at the window under Xvfb
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
