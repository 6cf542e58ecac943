#!/bin/sh
# A tree view of 1, 5 and 20 top nodes of 1,001 nodes each (1,001, 5,005 and
# 20,020 nodes in three levels) built from markup in a hidden window:
# milliseconds to build it, to lay it out and paint it the first time, and
# to fold and to unfold the first top node (1,000 descendants) with a layout
# and a paint, and the memory a node takes; and a combo box of 1,000 and 10,000 items: milliseconds to
# open its popup up to the popup's first paint. Best of three runs of each
# (each run takes the best of five folds and openings); the last lines give
# each cost at the larger size over its cost at the smaller one.
# Runs the test build under Wine (the architecture tools/test-arch.sh picks).
#   tools/bench/tree_combo.sh [BUILD_DIR]   (default build/win32 or build/win64)
set -e
exe=bench_tree_combo.exe
. "$(dirname "$0")/ui_bench_env.sh"
for tops in 1 5 20; do
  for i in 1 2 3; do $run "$bench" tree $tops | tr -d '\r' >>"$out"; done
done
for items in 1000 10000; do
  for i in 1 2 3; do $run "$bench" combo $items | tr -d '\r' >>"$out"; done
done
python3 - "$out" <<'PY'
import sys
trees, combos = {}, {}
for line in open(sys.argv[1]):
    words = line.split()
    if len(words) < 3:
        continue
    fields = dict(zip(words[1::2], words[2::2]))
    if words[0] == "tree":
        n = int(fields["nodes"])
        row = trees.setdefault(n, {})
        for k in ("build", "first_layout_paint", "fold", "unfold", "bytes_per_node"):
            row[k] = min(row.get(k, float("inf")), float(fields[k]))
    elif words[0] == "combo":
        n = int(fields["items"])
        combos[n] = min(combos.get(n, float("inf")), float(fields["open"]))
print("%7s %10s %12s %9s %9s %8s   (ms; targets: fold and unfold 16)" % ("nodes", "build", "1st lay+pnt", "fold",
                                                                        "unfold", "B/node"))
for n in sorted(trees):
    r = trees[n]
    print("%7d %10.1f %12.3f %9.3f %9.3f %8.0f" % (n, r["build"], r["first_layout_paint"], r["fold"], r["unfold"],
                                                  r["bytes_per_node"]))
print("%7s %10s   (ms; target 50)" % ("items", "open"))
for n in sorted(combos):
    print("%7d %10.3f" % (n, combos[n]))
sizes = sorted(trees)
if len(sizes) >= 2:
    a, b = sizes[-2], sizes[-1]
    keys = ("build", "first_layout_paint", "fold", "unfold")
    print("tree %d / %d nodes (x%.1f): " % (b, a, b / a) +
          ", ".join("%s %.1f" % (k, trees[b][k] / trees[a][k]) for k in keys))
if 1000 in combos and 10000 in combos:
    print("combo 10,000 / 1,000 items (x10): open %.1f" % (combos[10000] / combos[1000]))
PY
