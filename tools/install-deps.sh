#!/usr/bin/env bash
# install-deps.sh [arm64]
# Installs the Debian 12 packages needed to build, test and run the console, skipping any already
# there; with arm64, also those to cross-build it for arm64 and run it under qemu-user
# (tools/test-arm64.sh, tools/check-package.sh arm64), adding the architecture to dpkg first.
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
  desktop-file-utils lintian appstream man-db groff-base dpkg-dev file  # tools/check-package.sh
  clang-format clang-tidy  # tools/lint.sh
  clang libclang-rt-14-dev  # tools/fuzz.sh
  g++-mingw-w64-x86-64-posix googletest wine wine64  # tools/test-windows.sh: the Windows build under Wine
  nsis zip unzip  # the Windows setup program and zip, and tools/check-windows-package.sh
)
# libftdi1-dev cannot stand beside the build machine's own in Debian 12; the arm64 build links the
# arm64 runtime library over the shared headers instead.
arm64_packages=(
  crossbuild-essential-arm64 qemu-user-static
  qt6-base-dev:arm64 qt6-qpa-plugins:arm64 libusb-1.0-0-dev:arm64 libsystemd-dev:arm64 libftdi1-2:arm64
  libfontconfig-dev:arm64
)
for arch in "$@"; do
  case $arch in
    arm64) packages+=("${arm64_packages[@]}") ;;
    *)
      echo "no packages known for $arch" >&2
      exit 2
      ;;
  esac
done

# A bare name is the build machine's own package or one for every architecture: with the same
# package installed for arm64 too, dpkg lists both, and only these count.
native=$(dpkg --print-architecture)
installed() {
  local name=${1%%:*} arch=$native
  [ "$name" != "$1" ] && arch=${1#*:}
  dpkg-query -W -f='${Status} ${Architecture}\n' "$name" 2>/dev/null | grep -qE "^install ok installed ($arch|all)\$"
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
for package in "${missing[@]}"; do
  arch=${package#*:}
  if [ "$arch" != "$package" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    $sudo dpkg --add-architecture "$arch"
  fi
done
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
