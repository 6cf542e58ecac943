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
"$loader" ./gallery_show.exe scenes </dev/null >/dev/null 2>&1 &
window=$!
for scene in opened unfolded typing; do
  # Wine's first window in a fresh session takes a few seconds.
  waited=0
  while [ ! -e "$scene.ready" ]; do
    if ! kill -0 "$window" 2>/dev/null || [ "$waited" -ge 900 ]; then
      echo "the gallery did not show the scene \"$scene\"" >&2
      exit 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  take_picture "$out/gallery-$scene.png" "$crop"
  rm -f "$scene.ready"
  : >"$scene.taken"
done
status=0
wait "$window" || status=$?
window=""
rm -f ./*.taken
[ "$status" -eq 0 ] || { echo "the gallery ended with code $status" >&2; exit 1; }
