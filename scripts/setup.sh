#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: when all are
# present it only checks and returns at once. With --playtest it also
# installs what looking at the window under a virtual display takes (a
# window manager, a clicker, screenshots).
set -euo pipefail
PKGS=(g++ cmake ninja-build pkg-config ccache clang clang-format libclang-rt-14-dev
      libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
      qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libsdl2-dev
      libwebp-dev libgif-dev
      fonts-ipafont-gothic qt6-translations-l10n xvfb xauth
      desktop-file-utils appstream dpkg-dev file)  # the last four: the install ctest, cpack -G DEB
# scripts/setup.sh --playtest also installs the tools to look at the window
# under Xvfb (a window manager, clicks, screenshots).
if [ "${1:-}" = "--playtest" ]; then
  PKGS+=(openbox xdotool imagemagick x11-utils x11-apps)
fi
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
