#!/usr/bin/env bash
# Builds the Debian package in Release, lists it and checks that it holds the executable, the desktop
# entry, the icons and the udev rule, declares its run-time dependencies and suggests rtkit, and
# that the desktop entry validates.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
build=${BUILD_DIR:-build-package}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DLUMORA_BUILD_BENCH=OFF \
  -DLUMORA_WERROR=ON
cmake --build "$build" -j"$(nproc)" --target lumora-dmx
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/lumora-dmx_*.deb)
echo "== $deb"
dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
echo "$contents"

status=0
for path in ./usr/bin/lumora-dmx ./usr/share/applications/lumora-dmx.desktop \
  ./usr/share/icons/hicolor/32x32/apps/lumora-dmx.png ./usr/share/icons/hicolor/256x256/apps/lumora-dmx.png \
  ./usr/lib/udev/rules.d/60-lumora-dmx-ftdi.rules; do
  if ! grep -q " $path\$" <<<"$contents"; then
    echo "missing from the package: $path"
    status=1
  fi
done
# The virtual adapter would take precedence over real adapters wherever the loader finds it.
if grep -q "libftd2xx" <<<"$contents"; then
  echo "the package must not carry the virtual adapter library"
  status=1
fi
depends=$(dpkg-deb --field "$deb" Depends)
for dependency in libqt6widgets6 qt6-translations-l10n libftdi1-2 libsystemd0 fonts-baekmuk; do
  if ! grep -q "$dependency" <<<"$depends"; then
    echo "not declared as a dependency: $dependency"
    status=1
  fi
done
if ! grep -q "rtkit" <<<"$(dpkg-deb --field "$deb" Suggests)"; then
  echo "not suggested: rtkit"
  status=1
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/lumora-dmx.desktop"
echo "desktop entry valid"
[ "$status" -eq 0 ] && echo "package checked"
exit "$status"
