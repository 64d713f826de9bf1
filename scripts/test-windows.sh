#!/usr/bin/env bash
# Tests the Windows build under Wine: builds it if needed, runs the test
# programs, the window tests among them (one at a time, on this script's
# display, driven by xdotool, which Wine starts as it would a Windows
# program), compares the headless commands with the Linux program's (the
# same JSON, the same glTF bytes, nearly the same picture), tries the
# unpacked zip from a folder with a non-ASCII name, imports a textured glTF
# from there through the import worker as the Linux program does, and opens
# the demo in the window to see its textures on the screen.
#
#   bash scripts/test-windows.sh
#
# Kept apart from scripts/test.sh, which it would slow down.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
winbuild=$root/build-windows
linuxbuild=${ZORVIK_LINUX_BUILD:-$root/build}
work=$(mktemp -d /tmp/zorvik-wintest-XXXXXX)
xvfb_pid=
viewer_pid=
failures=0
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/zorvik/wine} WINEARCH=win64 WINEDEBUG=-all

cleanup() {
  [ -z "$viewer_pid" ] || kill "$viewer_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  # What a failed check left is kept for a look.
  [ "$failures" -ne 0 ] || rm -rf "$work"
}
trap cleanup EXIT

say() { printf '== %s\n' "$*"; }
check() {
  local what=$1
  shift
  if "$@"; then
    printf 'ok   %s\n' "$what"
  else
    printf 'FAIL %s\n' "$what"
    failures=$((failures + 1))
  fi
}

bash "$root/scripts/build-windows.sh"

say "the Linux program to compare with ($linuxbuild)"
if [ ! -f "$linuxbuild/build.ninja" ]; then
  cmake -S "$root" -B "$linuxbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIK_WERROR=ON
fi
cmake --build "$linuxbuild" -j"${ZORVIK_JOBS:-2}" --target zorvik zorvik-render zorvik-import-worker

# Wine's own set-up, once per prefix, before anything is timed.
wineboot --init >/dev/null 2>&1 || true

# Wine's OpenGL needs an X display: a virtual one of our own.
display=:$((90 + RANDOM % 100))
# Composite, which Wine uses to keep a child window's OpenGL offscreen
# (see the window's check below).
Xvfb "$display" -screen 0 1280x1024x24 +extension Composite -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
sleep 2

say "test programs under Wine"
ctest --test-dir "$winbuild" -L windows -j"${ZORVIK_JOBS:-2}" --output-on-failure

say "the headless commands, Linux against Windows"
demo=$root/samples/demo/biplane.bin
linux=$linuxbuild/zorvik
windows=$winbuild/zorvik.com
"$linux" info --json --full "$demo" >"$work/info-linux.json"
wine "$windows" info --json --full "$demo" >"$work/info-windows.json"
check "info --json --full prints the same" cmp "$work/info-linux.json" "$work/info-windows.json"

"$linux" export "$demo" "$work/linux.glb"
wine "$windows" export "$demo" "$work/windows.glb"
check "export writes the same .glb" cmp "$work/linux.glb" "$work/windows.glb"

"$linux" render "$demo" "$work/linux.png"
wine "$windows" render "$demo" "$work/windows.png"
# Both are Mesa's llvmpipe; a few pixels may round differently.
rmse=$(compare -metric RMSE "$work/linux.png" "$work/windows.png" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p')
check "render draws the same picture (RMSE $rmse)" awk -v e="$rmse" 'BEGIN { exit !(e != "" && e < 0.01) }'

say "the unpacked zip, in a folder named Zoë"
zip=$(find "$winbuild" -maxdepth 1 -name 'zorvik-*-win64.zip' | head -n1)
mkdir -p "$work/Zoë/Program" "$work/Zoë/Models"
unzip -q "$zip" -d "$work/Zoë/Program"
program=$(find "$work/Zoë/Program" -name zorvik.com | head -n1)
cp "$root"/samples/demo/* "$work/Zoë/Models/"
check "the zip holds the program, palettes, configuration, README and LICENSE" \
  test -f "${program%.com}.exe" -a -f "$(dirname "$program")/sanfran.pal" \
  -a -f "$(dirname "$program")/seattle.pal" -a -f "$(dirname "$program")/zorvik.cfg" \
  -a -f "$(dirname "$program")/README.md" -a -f "$(dirname "$program")/LICENSE"
# objdump lists the DLLs a program imports: Windows' own only.
foreign=$(x86_64-w64-mingw32-objdump -p "$program" "${program%.com}.exe" \
  "$(dirname "$program")/zorvik-import-worker.exe" | sed -n 's/.*DLL Name: //p' |
  grep -viE '^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|opengl32|glu32|winspool|winmm|uuid|rpcrt4|shlwapi|version|uxtheme|oleacc|msvcrt|ws2_32|imm32|dwmapi|usp10|gdiplus)\.(dll|drv)$' || true)
check "the programs need no DLL outside Windows${foreign:+ (they need: $foreign)}" test -z "$foreign"
# Explorer shows a program's first icon: it has to be ours, pixel for pixel
# at every size of data/icons.
icon_is_ours() {
  local ico=$work/$(basename "$1").ico first sizes size i=0
  first=$(wrestool -l --type=group_icon "$1" | head -n1 | sed -n "s/.*--name='\([^']*\)'.*/\1/p")
  [ "$first" = APPICON ] || return 1
  wrestool -x --type=group_icon --name=APPICON "$1" -o "$ico" || return 1
  sizes=$(identify -format '%w\n' "$ico") || return 1
  [ "$(wc -l <<<"$sizes")" -eq "$(find "$root/data/icons" -name 'zorvik-*.png' | wc -l)" ] || return 1
  for size in $sizes; do
    [ "$(compare -metric AE "$ico[$i]" "$root/data/icons/zorvik-$size.png" null: 2>&1)" = 0 ] ||
      return 1
    i=$((i + 1))
  done
}
# The manifest: the common controls of version 6 and drawing at each
# monitor's scale; no UTF-8 code page, since the program calls the wide
# functions.
manifest_is_ours() {
  local manifest
  manifest=$(wrestool -x --raw --type=24 "$1") || return 1
  grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest" &&
    grep -q '>PerMonitorV2' <<<"$manifest" && ! grep -q activeCodePage <<<"$manifest"
}
for exe in "${program%.com}.exe" "$program"; do
  check "$(basename "$exe") shows the program's icon" icon_is_ours "$exe"
  check "$(basename "$exe") has the program's manifest" manifest_is_ours "$exe"
done
win_model=$(winepath -w "$work/Zoë/Models/biplane.bin")
wine "$program" export "$win_model" "$(winepath -w "$work/Zoë/Models/biplane.glb")"
check "a model in a folder named Zoë exports the same bytes" \
  cmp "$work/linux.glb" "$work/Zoë/Models/biplane.glb"
wine "$program" render "$win_model" "$(winepath -w "$work/Zoë/Models/biplane.png")"
check "and renders from there with its textures" test -s "$work/Zoë/Models/biplane.png"
# The import runs assimp in the worker beside the program; from the same
# file the same model and texture come out on both systems, byte for byte.
gltf=/usr/share/assimp/models/glTF2/BoxTextured-glTF
mkdir -p "$work/import-linux" "$work/Zoë/Import"
cp "$gltf"/* "$work/import-linux/"
cp "$gltf"/* "$work/Zoë/Import/"
check "the zip holds the import worker" test -f "$(dirname "$program")/zorvik-import-worker.exe"
"$linux" import "$work/import-linux/BoxTextured.gltf" "$work/import-linux/box.bin"
wine "$program" import "$(winepath -w "$work/Zoë/Import/BoxTextured.gltf")" \
  "$(winepath -w "$work/Zoë/Import/box.bin")" || true
check "a textured glTF in a folder named Zoë imports to the same model" \
  cmp "$work/import-linux/box.bin" "$work/Zoë/Import/box.bin"
check "and the same texture" cmp "$work/import-linux/Texture.mip" "$work/Zoë/Import/Texture.mip"
check "zorvik.com --help says it is the console program" \
  bash -c "wine '$program' --help 2>&1 | grep -q 'This is zorvik.com'"

say "the window"
# Wine draws the OpenGL of a child window, as the view is, into an X window
# of its own that it keeps offscreen (XComposite), and copies that into the
# frame at every swap. Wine 8 sends the copy to no drawable (X errors in its
# trace), so the frame shows black where the view is: the same happens to a
# minimal Win32 program with an OpenGL child window, which Windows shows.
# So the view's picture is looked for where Wine has it, the offscreen
# windows, as well as on the screen, for a Wine that copies it.
c++ -std=c++17 -O1 -Wall -Wextra -Werror "$root/tests/windows/x11/offscreen_windows.cpp" \
  -o "$work/offscreen_windows" -lX11 -lXcomposite
# Pixels of the fabric's yellow (strong red and green, little blue),
# counted on a quarter-size copy, which is quick.
fabric_pixels() {
  convert "$1" -scale 25% -fx 'r>0.5 && g>0.4 && b<0.25 ? 1 : 0' \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0
}
wine "${program%.com}.exe" "$win_model" >/dev/null 2>&1 &
viewer_pid=$!
# Until the window has drawn the model: the wings' yellow fabric shows,
# which only their texture gives (without it they are grey).
textured=0
seen=
for _ in $(seq 1 30); do
  sleep 2
  rm -rf "$work/grab" && mkdir -p "$work/grab"
  xwd -root -silent -display "$display" >"$work/grab/screen.xwd" 2>/dev/null || continue
  convert "$work/grab/screen.xwd" "$work/grab/screen.png" 2>/dev/null || continue
  "$work/offscreen_windows" "$work/grab" >/dev/null || continue
  for picture in "$work/grab/screen.png" "$work/grab"/*.ppm; do
    [ -f "$picture" ] || continue
    count=$(fabric_pixels "$picture")
    if [ "${count:-0}" -gt "$textured" ]; then
      textured=$count
      seen=$([ "$picture" = "$work/grab/screen.png" ] && echo "on the screen" ||
        echo "in Wine's offscreen view")
    fi
  done
  [ "$textured" -gt 8 ] && break
done
check "the demo opened from the command line shows its textures ($textured fabric pixels${seen:+ $seen})" \
  test "$textured" -gt 8

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed; what they made is in $work" >&2
  exit 1
fi
say "all Windows checks passed"
