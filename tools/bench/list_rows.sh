#!/bin/sh
# A list of N three-column text rows built from markup in a hidden skinned
# window, for N = 1,000, 10,000 and 50,000: milliseconds to build, to lay
# out (the first pass and a later one), to paint the rows in view into a
# DIB, and to scroll one line (paint only, and with a layout as well), the
# rows painted per paint, and the memory per row. Best of three runs of
# each; the last lines give each cost at 50,000 rows over its cost at 10,000.
# Runs the test build under Wine (the architecture tools/test-arch.sh picks).
#   tools/bench/list_rows.sh [BUILD_DIR]   (default build/win32 or build/win64)
set -e
exe=bench_list_rows.exe
. "$(dirname "$0")/ui_bench_env.sh"
for n in 1000 10000 50000; do
  for i in 1 2 3; do $run "$bench" $n | tr -d '\r' >>"$out"; done
done
python3 - "$out" <<'PY'
import sys
keys = ["build", "first_layout", "layout", "paint", "scroll", "scroll_layout"]
best = {}
for line in open(sys.argv[1]):
    words = line.split()
    if not words or words[0] != "rows":
        continue
    fields = dict(zip(words[0::2], words[1::2]))
    n = int(fields["rows"])
    row = best.setdefault(n, {k: float("inf") for k in keys})
    for k in keys:
        row[k] = min(row[k], float(fields[k]))
    row["painted_rows"] = int(fields["painted_rows"])
    row["bytes_per_row"] = min(row.get("bytes_per_row", float("inf")), float(fields["bytes_per_row"]))
print("%7s %9s %9s %9s %9s %9s %9s %8s %9s" % ("rows", "build ms", "1st lay.", "layout", "paint", "scroll",
                                              "scr+lay.", "painted", "B/row"))
for n in sorted(best):
    r = best[n]
    print("%7d %9.1f %9.3f %9.3f %9.3f %9.3f %9.3f %8d %9.0f" % (n, r["build"], r["first_layout"], r["layout"],
          r["paint"], r["scroll"], r["scroll_layout"], r["painted_rows"], r["bytes_per_row"]))
if 10000 in best and 50000 in best:
    print("50,000 / 10,000: " + ", ".join("%s %.1f" % (k, best[50000][k] / best[10000][k]) for k in keys))
PY
