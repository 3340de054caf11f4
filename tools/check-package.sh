#!/usr/bin/env bash
# check-package.sh [ARCH]
# Builds the Debian package in Release for ARCH (default: the build machine's own; another one, such
# as arm64, is cross-built with the toolchain file cmake/<its multiarch name>.cmake in
# build-package-<ARCH>), lists it and checks that it holds the executable, the desktop
# entry, the icons, the udev rule and the documents Debian asks for, declares its run-time
# dependencies and suggests rtkit; that lintian finds no error and no warning in it; that the desktop
# entry and the AppStream metadata validate; that the manual page renders without a complaint; and
# that the changelog and the metadata name the package's version as the newest release; that it is
# for ARCH, its program built for ARCH's processor, and that each of its dependencies exists for ARCH.
set -euo pipefail
cd "$(dirname "$0")/.."

native=$(dpkg --print-architecture)
arch=${1:-$native}
build=${BUILD_DIR:-build-package}
cross=()
if [ "$arch" = "$native" ]; then
  tools/install-deps.sh
else
  tools/install-deps.sh "$arch"
  build=build-package-$arch
  cross=("-DCMAKE_TOOLCHAIN_FILE=cmake/$(dpkg-architecture -a "$arch" -qDEB_HOST_MULTIARCH).cmake")
  export DEB_HOST_ARCH=$arch
fi
# What file(1) calls the processor of each architecture's programs.
case $arch in
  amd64) processor="x86-64" ;;
  arm64) processor="ARM aarch64" ;;
  *)
    echo "no package for $arch" >&2
    exit 2
    ;;
esac
source tools/debian-build-flags.sh
cmake -S . -B "$build" -G Ninja "${cross[@]}" "${debian_build_flags[@]}" -DBUILD_TESTING=OFF \
  -DLUMORA_BUILD_BENCH=OFF -DLUMORA_WERROR=ON
cmake --build "$build" -j"$(nproc)" --target lumora-dmx lumora-dmx-docs
rm -f "$build"/lumora-dmx_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/lumora-dmx_*.deb)
echo "== $deb"
dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
echo "$contents"

# The AppStream component's id, which the desktop entry, the icons and the metadata are named after.
app_id=example.lumora.dmx
desktop_entry=usr/share/applications/$app_id.desktop
metainfo=usr/share/metainfo/$app_id.metainfo.xml

status=0
for path in ./usr/bin/lumora-dmx "./$desktop_entry" \
  "./usr/share/icons/hicolor/32x32/apps/$app_id.png" "./usr/share/icons/hicolor/256x256/apps/$app_id.png" \
  ./usr/lib/udev/rules.d/60-lumora-dmx-ftdi.rules ./usr/share/doc/lumora-dmx/copyright \
  ./usr/share/doc/lumora-dmx/changelog.gz ./usr/share/man/man1/lumora-dmx.1.gz "./$metainfo"; do
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
if [ "$(dpkg-deb --field "$deb" Architecture)" != "$arch" ]; then
  echo "the package is for $(dpkg-deb --field "$deb" Architecture), not for $arch"
  status=1
fi
# Each dependency (or one of its alternatives) is a package of ARCH's or one for every architecture,
# so that installing the package brings in nothing of another architecture's.
while read -r alternatives; do
  found=""
  for name in ${alternatives//|/ }; do
    if apt-cache show --no-all-versions "$name:$arch" "$name" 2>/dev/null | grep -E "^Architecture: ($arch|all)\$" >/dev/null; then
      found=$name
    fi
  done
  if [ -z "$found" ]; then
    echo "no package for $arch among the dependency: $alternatives"
    status=1
  fi
done < <(sed 's/ *([^)]*)//g; s/ *| */|/g; s/, */\n/g' <<<"$depends")
if ! grep -q "rtkit" <<<"$(dpkg-deb --field "$deb" Suggests)"; then
  echo "not suggested: rtkit"
  status=1
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
desktop-file-validate "$unpacked/$desktop_entry"
echo "desktop entry valid"
appstreamcli validate --pedantic --no-net "$unpacked/$metainfo"
# The entry, its icon and the metadata's launchable all name the component.
if ! grep -qx "Icon=$app_id" "$unpacked/$desktop_entry" ||
  ! grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$unpacked/$metainfo"; then
  echo "the desktop entry's icon or the metadata's launchable is not $app_id"
  status=1
fi

# man prints groff's warnings (a bad macro, a line it cannot fit) on stderr.
page="$unpacked/usr/share/man/man1/lumora-dmx.1.gz"
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
if [ -n "$man_warnings" ] || ! LC_ALL=C.UTF-8 man -l "$page" | grep -q "DIAGNOSTICS"; then
  echo "the manual page does not render cleanly: $man_warnings"
  status=1
fi

program=$(file -b "$unpacked/usr/bin/lumora-dmx")
echo "usr/bin/lumora-dmx: $program"
if ! grep -q "$processor" <<<"$program" || grep -q "not stripped" <<<"$program"; then
  echo "the program is not a stripped one for $processor"
  status=1
fi

version=$(dpkg-deb --field "$deb" Version)
changelog_version=$(zcat "$unpacked/usr/share/doc/lumora-dmx/changelog.gz" | sed -n '1s/^lumora-dmx (\([^)]*\)).*/\1/p')
metainfo_version=$(grep -o -m1 '<release version="[^"]*"' "$unpacked/$metainfo" |
  cut -d'"' -f2)
if [ "$changelog_version" != "$version" ] || [ "$metainfo_version" != "$version" ]; then
  echo "package $version, newest release in the changelog $changelog_version, in the metadata $metainfo_version"
  status=1
fi

# Overrides, if ever needed, go into packaging/ with the reason for each in a comment.
if ! lintian --fail-on error,warning "$deb"; then
  echo "lintian reports errors or warnings"
  status=1
fi
[ "$status" -eq 0 ] && echo "package checked"
exit "$status"
