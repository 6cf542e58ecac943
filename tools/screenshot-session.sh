# Sourced by the screenshot tools, after they set show_program (relative to
# the build folder): picks the test build that has it, makes a Wine prefix
# of the tools' own with the tests' fonts and locale but Wine's X11 driver,
# and starts Xvfb with a 24-bit screen. Sets root, arch, build, program_dir,
# loader and server; on exit ends the program whose id is in $window, the
# prefix's wineserver and Xvfb.
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

# Takes the part CROP of the screen into FILE and fails when it holds no
# more than a few colours: then the window was not drawn.
take_picture() {
  import -window root -crop "$2" "$1"
  colours=$(identify -format %k "$1")
  echo "$1: $colours colours"
  if [ "$colours" -le 8 ]; then
    echo "the picture has too few colours: the window was not drawn" >&2
    return 1
  fi
}
