#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, test and run the console, skipping any already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev libgl-dev
  libfontconfig-dev  # the dialog font's hinting and antialiasing, as at a scale of 1
  qt6-translations-l10n  # Qt's own texts (message box buttons, edit menus) in the desktop's language
  libftdi1-dev libusb-1.0-0-dev
  libsystemd-dev dbus-daemon  # sd-bus for RealtimeKit; the tests' private bus
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-baekmuk fonts-nanum
  xvfb xauth xdotool x11-utils  # x11-utils: xprop for tests/virtual/console_end_to_end.sh
  desktop-file-utils lintian appstream man-db groff-base dpkg-dev  # tools/check-package.sh
  clang-format clang-tidy  # tools/lint.sh
  clang libclang-rt-14-dev  # tools/fuzz.sh
  g++-mingw-w64-x86-64-posix googletest wine wine64  # tools/test-windows.sh: the Windows build under Wine
  nsis zip unzip  # the Windows setup program and zip, and tools/check-windows-package.sh
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
