#!/bin/sh
# Throughput of the engine's file digest and package extraction against the
# native tools on the same data, as ratios (native time / our time; 1.0 is
# as fast, the target is 0.8 or more). Runs the 64-bit test build under Wine.
#   tools/bench/digest_extract.sh [BUILD_DIR]   (default build/win64)
set -e
. "$(dirname "$0")/bench_env.sh"

best() { # best of the given figures, in seconds
  python3 -c 'import sys; print("%.3f" % min(float(x) for x in sys.argv[1:]))' "$@"
}
ratio() { python3 -c 'import sys; print("%.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$1" "$2"; }

echo "making 512 MiB of data ..."
python3 - "$work/data.bin" <<'PY'
import os, sys
# Half noise, half text: a game client's mix of packed and plain files.
text = b"".join(b"entry %08d of a repeated table with names and numbers\n" % i for i in range(20000))
with open(sys.argv[1], "wb") as f:
    written = 0
    while written < 512 << 20:
        chunk = os.urandom(1 << 20) + text[: 1 << 20]
        f.write(chunk)
        written += len(chunk)
PY
$run cmd /c exit >/dev/null 2>&1 || true

# MD5 of 512 MiB: md5sum against FileMd5 (timed inside the program, so
# Wine's start-up does not count), best of three each, page cache warm.
cat "$work/data.bin" >/dev/null
native=""; ours=""
for i in 1 2 3; do
  t0=$(now); md5sum "$work/data.bin" >"$work/md5sum.txt"; t1=$(now)
  native="$native $(python3 -c "print($t1 - $t0)")"
  set -- $($run "$bench" md5 "$(echo "Z:$work/data.bin" | tr / '\\')")
  ours="$ours $2"
  digest=$1
done
[ "$digest" = "$(cut -d' ' -f1 "$work/md5sum.txt")" ] || { echo "digests differ: $digest"; exit 1; }
n=$(best $native); o=$(best $ours)
echo "md5 512 MiB: md5sum ${n}s, FileMd5 ${o}s, $(python3 -c "print('%.0f' % (512 / $o))") MiB/s, ratio $(ratio "$n" "$o")"

# Extraction of a 256 MiB LZMA2 package: 7zz x -mmt1 against ExtractAll.
head -c $((256 << 20)) "$work/data.bin" >"$work/payload.bin"
rm -f "$work/data.bin"
( cd "$work" && 7zz a -t7z -bd -bso0 -m0=LZMA2 -mmt4 package.pkg payload.bin )
native=""; ours=""
for i in 1 2 3; do
  rm -rf "$work/out7z" "$work/outq"
  t0=$(now); 7zz x -t7z -bd -bso0 -mmt1 -o"$work/out7z" "$work/package.pkg"; t1=$(now)
  native="$native $(python3 -c "print($t1 - $t0)")"
  mkdir -p "$work/outq"
  set -- $($run "$bench" extract "$(echo "Z:$work/package.pkg" | tr / '\\')" "$(echo "Z:$work/outq" | tr / '\\')")
  [ "$1" = ok ] || { echo "extraction failed"; exit 1; }
  ours="$ours $2"
done
cmp -s "$work/payload.bin" "$work/outq/payload.bin" || { echo "extracted file differs"; exit 1; }
n=$(best $native); o=$(best $ours)
echo "extract 256 MiB LZMA2 ($(du -m "$work/package.pkg" | cut -f1) MiB packed): 7zz -mmt1 ${n}s, ExtractAll ${o}s, ratio $(ratio "$n" "$o")"
