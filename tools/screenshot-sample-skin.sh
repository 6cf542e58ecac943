#!/bin/sh
# Takes a picture of the tests' sample skin in a skinned window, for people
# to look at: Xvfb with a 24-bit screen, Wine's X11 driver in a prefix of
# this script's own. Needs a build with tests (the skin window test program).
#   tools/screenshot-sample-skin.sh [OUTPUT.png]
# Another skin's program with a "show" mode may be named, relative to the
# build folder, with the part of the screen to keep:
#   SHOW_PROGRAM=tests/unit/ui/core/window/launcher_skin/launcher_skin_test.exe SHOW_CROP=600x420+0+0
set -eu
show_program=${SHOW_PROGRAM:-tests/unit/ui/core/window/skin_window/skin_window_test.exe}
crop=${SHOW_CROP:-480x380+0+0}
root=$(cd "$(dirname "$0")/.." && pwd)
# The architecture the tests run on, else whichever test build there is.
arch=""
for candidate in $("$root/tools/test-arch.sh") win64 win32; do
  if [ -f "$root/build/$candidate/$show_program" ]; then arch=$candidate; break; fi
done
[ -n "$arch" ] || {
  echo "build the tests first: cmake --preset win64 -DQUILLON_TESTS=ON && cmake --build --preset win64" >&2
  exit 2
}
build="$root/build/$arch"
out=${1:-$build/sample-skin.png}
program_dir=$(dirname "$build/$show_program")
if [ "$arch" = win64 ]; then
  loader=/usr/lib/wine/wine64; server=/usr/lib/wine/wineserver64
else
  loader=/usr/lib/wine/wine; server=/usr/lib/wine/wineserver32
fi
prefix="$build/screenshot-prefix"

# The tests' prefix maker gives fonts and the locale; then the null display
# driver it sets is taken out again, so windows reach the X server.
"$root/tools/wine-run.sh" "$arch" "$prefix" --warm >/dev/null 2>&1
export WINEPREFIX="$prefix" WINEARCH="$arch" WINELOADER="$loader" WINESERVER="$server"
export WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
"$loader" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f </dev/null >/dev/null 2>&1 || true
"$server" -k 2>/dev/null || true
"$server" -w

display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
window=""
cleanup() {
  [ -n "$window" ] && kill "$window" 2>/dev/null || true
  "$server" -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

cd "$program_dir"
"$loader" "./$(basename "$show_program")" show 15000 </dev/null >/dev/null 2>&1 &
window=$!
# Wine's first window in a fresh session takes a few seconds.
sleep 8
import -window root -crop "$crop" "$out"
colours=$(identify -format %k "$out")
echo "$out: $colours colours"
if [ "$colours" -le 8 ]; then
  echo "the picture has too few colours: the window was not drawn" >&2
  exit 1
fi
