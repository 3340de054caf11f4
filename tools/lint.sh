#!/usr/bin/env bash
# The lint gate: clang-format must leave every C++ file of the tree as it is, and clang-tidy (the
# checks in .clang-tidy) must find nothing in any source file compiled in the given build.
#
# usage: tools/lint.sh [build-dir]   (default: build, configured here when it has no compile
#                                     database yet; every library's generated files must exist, so
#                                     run it after a build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
jobs=$(nproc)
folders=(src standins tests bench fuzz tools)

echo "== clang-format"
find "${folders[@]}" \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 clang-format-14 --dry-run -Werror
echo "layout as .clang-format says"

if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
fi
# The tree's own sources as the build compiles them; generated files (Qt's moc and resources) are
# not ours to judge.
mapfile -t sources < <(python3 - "$build/compile_commands.json" "$PWD" "${folders[@]}" <<'PY'
import json, os, sys
database, root, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
seen = set()
for entry in json.load(open(database)):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    relative = os.path.relpath(path, root)
    if relative.split(os.sep)[0] in folders and relative not in seen:
        seen.add(relative)
        print(relative)
PY
)
echo "== clang-tidy: ${#sources[@]} files, $jobs at a time"
# Each file's count of warnings in code that is not ours is noise; findings go to standard output.
printf '%s\0' "${sources[@]}" | sort -z |
  xargs -0 -n 1 -P "$jobs" clang-tidy-14 -p "$build" --quiet 2> >(grep -vE '^[0-9]+ warnings? generated\.$' >&2)
echo "clang-tidy found nothing"
