#!/bin/sh
# Takes a picture of the tests' launcher-kind skin, the way the sample
# skin's picture is taken.
#   tools/screenshot-launcher-skin.sh [OUTPUT.png]
root=$(cd "$(dirname "$0")/.." && pwd)
SHOW_PROGRAM=tests/unit/ui/core/window/launcher_skin/launcher_skin_test.exe SHOW_CROP=600x420+0+0 \
  exec "$root/tools/screenshot-sample-skin.sh" "${1:-$root/build/launcher-skin.png}"
