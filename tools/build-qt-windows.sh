#!/usr/bin/env bash
# build-qt-windows.sh: builds Qt for 64-bit Windows (qtbase: Core, Gui, Widgets, Test, with the
# windows and offscreen platform plugins and the Windows styles) from Debian's own source package,
# the same version as the Linux build's Qt, with the project's MinGW-w64 toolchain, and installs it
# into a cache folder outside the repository. It prints that folder's path as its last line.
# Nothing is built when the cache already holds a Qt made with the same version and options.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

tools_needed=(dpkg-dev qt6-base-dev qt6-base-dev-tools g++-mingw-w64-x86-64-posix cmake ninja-build)

# What the console needs of Qt, and no more: every module it does not use is off, and so is the
# Wintab header's feature, which Debian's repacked source leaves out. Changing a line here names a
# new cache folder, so the next run builds anew.
options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
  -DFEATURE_tabletevent=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
)

missing=()
for package in "${tools_needed[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# The build machine's own Qt: with another architecture's Qt installed beside it (an arm64 build),
# the bare package name would list both.
version=$(dpkg-query -W -f='${Version}' "qt6-base-dev:$(dpkg --print-architecture)")
toolchain=$(sha256sum "$repo/cmake/mingw-w64-x86_64.cmake" | cut -c1-8)
tag=$(printf '%s\n' "${options[@]}" "$toolchain" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/lumora-dmx
prefix=$cache/qt-${version//[^A-Za-z0-9.]/_}-mingw64-$tag
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# apt-get source needs a deb-src entry. Without one, the same archive and suite the machine already
# installs from are added as a source entry of their own.
has_deb_src() {
  grep -rqsE '^\s*(deb-src\s|Types:.*\bdeb-src\b)' /etc/apt/sources.list /etc/apt/sources.list.d/
}
if ! has_deb_src; then
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  stanza=$(awk -v suite="$codename" 'BEGIN { RS = ""; FS = "\n" }
    /(^|\n)Types:.*deb/ && $0 ~ ("Suites:.*(^|[ \t])" suite "([ \t]|$)") { print; exit }' \
    /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  uri=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' <<<"$stanza")
  keyring=$(sed -n 's/^Signed-By:[[:space:]]*//p' <<<"$stanza")
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk -v suite="$codename" '$1 == "deb" && $0 ~ (" " suite " ") { for (i = 2; i <= NF; i++)
      if ($i ~ /^[a-z]+:/) { print $i; exit } }' /etc/apt/sources.list)
  fi
  if [ -z "$uri" ]; then
    echo "No apt entry for Debian $codename to add a source entry beside; add a deb-src line yourself." >&2
    exit 1
  fi
  echo "Adding a deb-src entry for $uri $codename (/etc/apt/sources.list.d/lumora-dmx-src.sources)" >&2
  {
    echo "Types: deb-src"
    echo "URIs: $uri"
    echo "Suites: $codename"
    echo "Components: main"
    [ -n "$keyring" ] && echo "Signed-By: $keyring"
  } >/etc/apt/sources.list.d/lumora-dmx-src.sources
  apt-get update -qq
fi

# An interrupted build goes on where it stopped; a fresh one fetches the source first.
work=$cache/qt-build-$tag
source_dir=""
if [ -d "$work" ]; then
  source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
fi
if [ -z "$source_dir" ]; then
  rm -rf "$work"
  mkdir -p "$work"
  # apt checks the files against the archive's signed index; dpkg-source then checks them against
  # the source description's checksums while unpacking.
  if ! (cd "$work" && apt-get source -qq "qt6-base=$version" >&2); then
    echo "Qt's source package qt6-base $version could not be fetched or did not verify." >&2
    exit 1
  fi
  source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
  [ -n "$source_dir" ] || { echo "apt-get source left no qt6-base folder in $work" >&2; exit 1; }
fi

# Qt 6.4.2 compiles its DirectWrite font database only together with Direct2D, while the Windows
# platform plugin refers to it whenever DirectWrite 3 is there: without Direct2D the plugin does not
# link. The plugin is made to ask for both, as the library does; it then uses the GDI font database,
# its default anyway.
integration=$source_dir/src/plugins/platforms/windows/qwindowsintegration.cpp
sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' "$integration"
if [ "$(grep -c '^#if QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)$' "$integration")" != 2 ]; then
  echo "Qt's source differs from what this script expects ($integration): no DirectWrite test to mend." >&2
  exit 1
fi

cmake -S "$source_dir" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >&2
cmake --build "$work/build" -j"$(nproc)" >&2
rm -rf "$prefix"
cmake --install "$work/build" >&2
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
