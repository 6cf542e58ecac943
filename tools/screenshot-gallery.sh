#!/bin/sh
# Takes the gallery's pictures, for people to look at, the way the sample
# skin's picture is taken: the gallery as it opens, with the combo box's list
# open and a tree node unfolded, and with an edit being typed into. Needs a
# build with tests (the gallery's show program).
#   tools/screenshot-gallery.sh [OUTPUT_FOLDER]
set -eu
show_program=tools/gallery/gallery_show.exe
crop=1240x880+0+0
. "$(dirname "$0")/screenshot-session.sh"
out=${1:-$build/gallery-screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

cd "$program_dir"
rm -f ./*.ready ./*.taken
"$loader" ./gallery_show.exe scenes </dev/null >/dev/null &
window=$!
# Each scene the program puts on the screen is announced by SCENE.ready.
shots=0
waited=0
while :; do
  ready=$(ls ./*.ready 2>/dev/null | head -n 1)
  if [ -n "$ready" ]; then
    scene=$(basename "$ready" .ready)
    take_picture "$out/gallery-$scene.png" "$crop"
    rm -f "$ready"
    : >"$scene.taken"
    shots=$((shots + 1))
    waited=0
    continue
  fi
  kill -0 "$window" 2>/dev/null || break
  # Wine's first window in a fresh session takes a few seconds.
  if [ "$waited" -ge 900 ]; then
    echo "the gallery showed no further scene" >&2
    exit 1
  fi
  sleep 0.1
  waited=$((waited + 1))
done
status=0
wait "$window" || status=$?
window=""
rm -f ./*.taken
[ "$status" -eq 0 ] || { echo "the gallery ended with code $status" >&2; exit 1; }
[ "$shots" -gt 0 ] || { echo "the gallery showed no scene" >&2; exit 1; }
