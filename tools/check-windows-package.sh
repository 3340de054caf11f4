#!/usr/bin/env bash
# check-windows-package.sh [build-windows]: checks the setup program and the zip that the
# windows-package target made in <build>/package. It lists the zip's folder and checks that it holds
# the program, Qt's DLLs, the windows platform and style plugins and Qt's Korean texts; that it holds
# no FTD2XX.dll; that every DLL a shipped binary imports is in the folder or in Windows' system
# folder; and that every DLL beside the program is imported by something. Then, in a new Wine
# prefix on Xvfb, it installs the setup program silently, twice (as an update), checks that it
# installed the zip's files with a Start-menu entry and an uninstaller registered with Windows,
# starts the installed console with the windows platform plugin, closes the box that says no
# adapter was found, sees its window "Lumora DMX", closes that as its close box does (the console
# must end with status 0), and uninstalls silently, after which Program Files and the Start menu
# must be as they were before and the registration gone.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-windows}
version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=lumora-dmx-$version
setup=$(realpath "$build/package/$name-setup.exe")
zip=$(realpath "$build/package/$name-win64.zip")
for file in "$setup" "$zip"; do
  [ -f "$file" ] || { echo "No $file: build the windows-package target first" >&2; exit 1; }
done

work=$(mktemp -d)
WINEPREFIX=$(realpath "$build")/package-check-prefix
export WINEPREFIX WINEDEBUG=-all
# Wine offers to install its .NET and HTML engines into a new prefix; the console needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The installed console must find its plugins in its own folder, not through these.
unset QT_PLUGIN_PATH QT_QPA_PLATFORM_PLUGIN_PATH
xvfb_pid="" console_pid=""
cleanup() {
  [ -n "$console_pid" ] && kill -KILL "$console_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
status=0
fail() {
  echo "FAIL: $*" >&2
  status=1
}
# waits <tries of 0.1 s> <command...>: until the command succeeds, or gives up.
waits() {
  local tries=$1
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

echo "== $name-setup.exe: $(stat -c %s "$setup") bytes; $name-win64.zip: $(stat -c %s "$zip") bytes"
unzip -q "$zip" -d "$work/zip"
folder=$work/zip/$name
[ -d "$folder" ] || { echo "The zip holds no folder $name" >&2; exit 1; }
(cd "$folder" && find . -type f -printf '%P\t%s\n' | sort)
(cd "$folder" && find . -type f -printf '%P\n' | sort) >"$work/files"
echo "$(wc -l <"$work/files") files, $(du -sb "$folder" | cut -f1) bytes"

for required in lumora-dmx.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
  styles/qwindowsvistastyle.dll translations/qtbase_ko.qm; do
  [ -f "$folder/$required" ] || fail "missing: $required"
done
# The vendor's driver installs FTD2XX.dll in the system folder; a copy here would be loaded first.
if [ -n "$(find "$folder" -iname ftd2xx.dll)" ]; then
  fail "the folder carries FTD2XX.dll"
fi

# Xvfb chooses a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
waits 100 test -s "$work/display" || { echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY

SECONDS=0
rm -rf "$WINEPREFIX"
if ! { wine wineboot --init && wineserver --wait; } >"$work/wineboot.log" 2>&1; then
  cat "$work/wineboot.log" >&2
  exit 1
fi
echo "== A new Wine prefix: ${SECONDS} s"

# Windows looks for a binary's DLLs beside the program and in the system folder; a plugin's imports
# are looked for there too.
lowercase() { tr '[:upper:]' '[:lower:]'; }
system32=$WINEPREFIX/drive_c/windows/system32
find "$system32" -maxdepth 1 -printf '%f\n' | lowercase >"$work/system-dlls"
find "$folder" -maxdepth 1 -type f -printf '%f\n' | lowercase >"$work/folder-dlls"
: >"$work/imported"
while IFS= read -r -d '' binary; do
  while IFS= read -r import; do
    key=$(lowercase <<<"$import")
    echo "$key" >>"$work/imported"
    # api-ms-win-* and ext-ms-win-* name API sets, which Windows' loader maps without a file.
    if ! grep -qxF "$key" "$work/folder-dlls" "$work/system-dlls" && [[ ! $key =~ ^(api|ext)-ms-win- ]]; then
      fail "${binary#"$folder"/} imports $import, found neither in the folder nor in Windows' system folder"
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find "$folder" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
while IFS= read -r dll; do
  grep -qxF "$(lowercase <<<"$dll")" "$work/imported" || fail "nothing imports $dll"
done < <(cd "$folder" && find . -maxdepth 1 -type f -iname '*.dll' -printf '%P\n')

program_files=$WINEPREFIX/drive_c/"Program Files"
installed=$program_files/"Lumora DMX"
start_menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/"Start Menu"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\LumoraDMX'
snapshot() { find "$program_files" "$start_menu" | sort; }
snapshot >"$work/before"

SECONDS=0
wine "$setup" /S || fail "the setup program failed: status $?"
echo "== Installed silently: ${SECONDS} s"
# Once more over the installed console, as an update does: the earlier one is uninstalled first.
wine "$setup" /S || fail "the setup program failed over an installed console: status $?"
{ cat "$work/files" && echo uninstall.exe; } | sort >"$work/expected"
if ! (cd "$installed" && find . -type f -printf '%P\n' | sort) | diff "$work/expected" - >&2; then
  fail "the installed files differ from the zip's (above: < zip and uninstaller, > installed)"
fi
[ -f "$start_menu/Programs/Lumora DMX.lnk" ] || fail "no Start-menu entry"
wine reg query "$uninstall_key" | tr -d '\r' >"$work/registered" || true
grep -qE 'UninstallString +REG_SZ +"C:\\Program Files\\Lumora DMX\\uninstall.exe"$' "$work/registered" ||
  fail "the uninstaller is not registered with Windows: $(cat "$work/registered")"

SECONDS=0
wine 'C:\Program Files\Lumora DMX\lumora-dmx.exe' >"$work/console.log" 2>&1 &
console_pid=$!
# Without the vendor's driver no adapter is found, so the console first shows that in a message box
# (titled with the program's name) and its own window only once the box is gone.
visible() { [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; }
ended() { ! kill -0 "$console_pid" 2>/dev/null; }
box_or_ended() { visible '^lumora-dmx$' || ended; }
console_or_ended() { visible '^Lumora DMX$' || ended; }
# taskkill without /f sends WM_CLOSE, what a window's close box gives; the box closes as its OK does.
close_windows() { wine taskkill /im lumora-dmx.exe >/dev/null 2>&1 || true; }
waits 1200 box_or_ended || true
visible '^lumora-dmx$' || fail "the installed console showed no box for the missing adapter: $(tr -d '\r' <"$work/console.log")"
close_windows
waits 300 console_or_ended || true
visible '^Lumora DMX$' || fail "the installed console showed no window \"Lumora DMX\" after its box: $(tr -d '\r' <"$work/console.log")"
echo "== The installed console's box and then its window \"Lumora DMX\" shown: ${SECONDS} s"
close_windows
waits 300 ended || fail "the installed console did not end when its window was closed"
wait "$console_pid" || fail "the installed console ended with status $? when its window was closed"
console_pid=""

SECONDS=0
# The uninstaller copies itself away and runs from there, so Wine is waited for until it has ended.
wine "$installed/uninstall.exe" /S || fail "the uninstaller failed: status $?"
wineserver --wait
echo "== Uninstalled silently: ${SECONDS} s"
if ! snapshot | diff "$work/before" - >&2; then
  fail "the uninstaller left Program Files or the Start menu changed (above: < before, > after)"
fi
if wine reg query "$uninstall_key" >/dev/null 2>&1; then
  fail "the uninstaller left its registration behind"
fi

[ "$status" -eq 0 ] && echo "The Windows package holds what it must, installs, starts and uninstalls."
exit "$status"
