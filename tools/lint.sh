#!/usr/bin/env bash
# The lint gate: clang-format must leave every C++ file of the tree as it is, and clang-tidy (the
# checks in .clang-tidy) must find nothing in any source file compiled in the given build.
#
# usage: tools/lint.sh [build-dir [windows-build-dir]]
#   build-dir: default build, configured here when it has no compile database yet; every library's
#     generated files must exist, so run it after a build.
#   windows-build-dir: default build-windows; when it holds a compile database (tools/test-windows.sh
#     makes one), the files only the Windows build compiles are checked as MinGW-w64 compiles them.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
windows=${2:-build-windows}
jobs=$(nproc)
folders=(src standins tests bench fuzz tools)

echo "== clang-format"
find "${folders[@]}" \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 clang-format-14 --dry-run -Werror
echo "layout as .clang-format says"

if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
fi
# sources <database> [database to leave out]: the tree's own sources as that build compiles them,
# less those the other one compiles; generated files (Qt's moc and resources) are not ours to judge.
sources() {
  python3 - "$PWD" "${folders[*]}" "$@" <<'PY'
import json, os, sys
root, folders, database = sys.argv[1], sys.argv[2].split(), sys.argv[3]
def files(path):
    for entry in json.load(open(path)):
        yield os.path.relpath(os.path.normpath(os.path.join(entry["directory"], entry["file"])), root)
left_out = set(files(sys.argv[4])) if len(sys.argv) > 4 else set()
for relative in sorted(set(files(database)) - left_out):
    if relative.split(os.sep)[0] in folders:
        print(relative)
PY
}
# tidy <files...> -- <clang-tidy arguments...>: each file on its own, findings to standard output;
# each file's count of warnings in code that is not ours is noise.
tidy() {
  local files=()
  while [ "$1" != "--" ]; do files+=("$1"); shift; done
  shift
  [ ${#files[@]} -gt 0 ] || return 0
  printf '%s\0' "${files[@]}" |
    xargs -0 -n 1 -P "$jobs" clang-tidy-14 "$@" --quiet 2> >(grep -vE '^[0-9]+ warnings? generated\.$' >&2)
}

mapfile -t linux_sources < <(sources "$build/compile_commands.json")
echo "== clang-tidy: ${#linux_sources[@]} files, $jobs at a time"
tidy "${linux_sources[@]}" -- -p "$build"

if [ -f "$windows/compile_commands.json" ]; then
  mapfile -t windows_sources < <(sources "$windows/compile_commands.json" "$build/compile_commands.json")
  echo "== clang-tidy on what only the Windows build compiles: ${#windows_sources[@]} files"
  # clang reads MinGW-w64's C++ and Windows headers; its own stand in for GCC's intrinsics.
  windows_args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++)
  while read -r folder; do
    windows_args+=("--extra-arg=-isystem$(realpath "$folder")")
  done < <(x86_64-w64-mingw32-g++-posix -v -E -x c++ /dev/null 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ /' |
    grep -vE '/include(-fixed)?$')
  windows_args+=(--extra-arg=-isystem/usr/x86_64-w64-mingw32/include)
  tidy "${windows_sources[@]}" -- -p "$windows" "${windows_args[@]}"
fi
echo "clang-tidy found nothing"
