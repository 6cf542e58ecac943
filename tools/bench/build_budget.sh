#!/bin/sh
# One build budget's worth of each heavy everyday control, built from
# markup in a hidden window, laid out and painted once: the controls the
# build made before its budget stopped it, milliseconds to build, and the
# memory committed (MiB) and per control. This is the largest build a skin
# can make, and must stay well within a 32-bit process.
# Runs the test build under Wine (the architecture tools/test-arch.sh picks).
#   tools/bench/build_budget.sh [BUILD_DIR]   (default build/win32 or build/win64)
set -e
exe=bench_build_budget.exe
. "$(dirname "$0")/ui_bench_env.sh"
echo "built for $arch"
printf "%8s %9s %9s %11s %10s\n" kind controls "build ms" "commit MiB" "B/control"
for kind in tree check option button label edit richedit list; do
  $run "$bench" $kind | tr -d '\r' | awk '{ printf "%8s %9d %9.0f %11.1f %10d\n", $2, $4, $6, $8, $10 }'
done
