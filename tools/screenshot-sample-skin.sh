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
. "$(dirname "$0")/screenshot-session.sh"
out=${1:-$build/sample-skin.png}

cd "$program_dir"
"$loader" "./$(basename "$show_program")" show 15000 </dev/null >/dev/null 2>&1 &
window=$!
# Wine's first window in a fresh session takes a few seconds.
sleep 8
take_picture "$out" "$crop"
