#!/bin/sh
# Peak memory of unpacking a package whose solid block holds a few hundred
# MiB of real Windows programs (the Wine DLLs of this machine, packed by 7zz
# with its defaults: one LZMA2 + BCJ block), against the block's size, and
# the throughput against `7zz x -mmt1` on the same package (native time /
# our time; the target is 0.8 or more). Peak memory is read by the
# extracting process itself; the target is under 256 MiB whatever the block
# size. A second, larger package with the 32-bit DLLs added shows the peak
# does not grow with the block. Runs the 64-bit test build under Wine.
#   tools/bench/package_memory.sh [BUILD_DIR]   (default build/win64)
set -e
. "$(dirname "$0")/bench_env.sh"

wine64=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
wine32=/usr/lib/i386-linux-gnu/wine/i386-windows
[ -d "$wine64" ] || { echo "no Wine DLLs in $wine64"; exit 1; }
winpath() { echo "Z:$1" | tr / '\\'; }
$run cmd /c exit >/dev/null 2>&1 || true

# Largest block of a package: "MiB methods".
largest_block() {
  7zz l -slt "$1" | python3 -c '
import sys
blocks, size, method = {}, 0, ""
for line in sys.stdin:
    key, _, value = line.strip().partition(" = ")
    if key == "Size": size = int(value or 0)
    elif key == "Method": method = value
    elif key == "Block" and value:
        total, _ = blocks.get(value, (0, method))
        blocks[value] = (total + size, method)
total, method = max(blocks.values())
print("%.0f %s" % (total / 1048576.0, method.replace(" ", "+")))'
}

measure() { # NAME: packs $work/src_NAME, unpacks it both ways, prints one line
  name=$1
  ( cd "$work/src_$name" && 7zz a -t7z -bd -bso0 -bsp0 "$work/$name.pkg" . )
  set -- $(largest_block "$work/$name.pkg")
  block=$1 methods=$2
  cat "$work/$name.pkg" >/dev/null
  native="" ours="" rss="" peak_ws="" peak_pf=""
  for i in 1 2 3; do
    rm -rf "$work/out7z" "$work/outq"
    t0=$(now)
    /usr/bin/time -f "%M" -o "$work/rss.txt" 7zz x -t7z -bd -bso0 -bsp0 -mmt1 -o"$work/out7z" "$work/$name.pkg"
    t1=$(now)
    native="$native $(python3 -c "print($t1 - $t0)")"
    rss=$(cat "$work/rss.txt")
    mkdir -p "$work/outq"
    set -- $($run "$bench" extract "$(winpath "$work/$name.pkg")" "$(winpath "$work/outq")")
    [ "$1" = ok ] || { echo "extraction of $name failed"; exit 1; }
    ours="$ours $2" peak_ws=$3 peak_pf=$4
  done
  diff -rq "$work/out7z" "$work/outq" >/dev/null || { echo "$name: unpacked trees differ"; exit 1; }
  rm -rf "$work/out7z" "$work/outq" "$work/$name.pkg"
  python3 - "$name" "$block" "$methods" "$peak_ws" "$peak_pf" "$rss" "$native" "$ours" <<'PY'
import sys
name, block, methods, ws, pf, rss, native, ours = sys.argv[1:]
n = min(float(x) for x in native.split())
o = min(float(x) for x in ours.split())
print("%s: block %s MiB (%s); peak working set %s MiB (Wine's peak committed counter: %s MiB; "
      "7zz -mmt1: %.0f MiB resident); 7zz -mmt1 %.2fs, ExtractAll %.2fs, ratio %.2f"
      % (name, block, methods, ws, pf, int(rss) / 1024.0, n, o, n / o))
PY
}

echo "copying the Wine DLLs ..."
mkdir -p "$work/src_dll64"
cp "$wine64"/*.dll "$work/src_dll64/"
measure dll64
rm -rf "$work/src_dll64"
if [ -d "$wine32" ]; then
  mkdir -p "$work/src_dll64+32/64" "$work/src_dll64+32/32"
  cp "$wine64"/*.dll "$work/src_dll64+32/64/"
  cp "$wine32"/*.dll "$work/src_dll64+32/32/"
  measure dll64+32
fi
