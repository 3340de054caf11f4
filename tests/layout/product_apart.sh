#!/usr/bin/env bash
# Checks that the product stands apart from the stand-ins for hardware: no file in src/ includes a
# header of standins/, and neither the console's link line nor its shared-library dependencies name
# a stand-in library.
#
# usage: product_apart.sh SOURCE_DIR BUILD_DIR CONSOLE
# Exits 77 (skipped) when the build is not a Ninja build, whose link line it reads.
set -uo pipefail

source_dir=$1 build_dir=$2 console=$3
status=0

while IFS=: read -r file line include; do
  header=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$include")
  if [ -f "$source_dir/standins/$header" ]; then
    echo "FAIL: $file:$line includes the stand-in header $header"
    status=1
  fi
done < <(cd "$source_dir" && grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src)

# Every library built from standins/, and the virtual adapter under the vendor library's name.
stand_ins=()
while IFS= read -r library; do
  stand_ins+=("$(basename "$library")")
done < <(find "$build_dir/standins" "$build_dir/virtual-adapter" \( -name '*.a' -o -name '*.so*' \) 2>/dev/null)
stand_ins+=("standins/" "libftd2xx")

if [ ! -f "$build_dir/build.ninja" ]; then
  echo "SKIP: not a Ninja build, so no link line to read"
  exit 77
fi
link_line=$(ninja -C "$build_dir" -t commands "$(basename "$console")" | tail -n 1)
if [ -z "$link_line" ]; then
  echo "FAIL: no link line for $(basename "$console") in $build_dir"
  exit 1
fi
libraries=$(ldd "$console")
for name in "${stand_ins[@]}"; do
  if grep -qF "$name" <<<"$link_line"; then
    echo "FAIL: the console's link line names $name"
    status=1
  fi
  if grep -qF "$name" <<<"$libraries"; then
    echo "FAIL: the console depends on $name"
    status=1
  fi
done

[ "$status" -eq 0 ] && echo "the console links no stand-in and src/ includes none (${#stand_ins[@]} names checked)"
exit "$status"
