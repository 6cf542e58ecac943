#!/usr/bin/env bash
# The main job: the whole road end to end. Installs what is missing (Debian
# 12, as root), builds the three programs and the doubles of what lies
# outside them, starts the sample update server on 127.0.0.1 and runs the
# real Brightgate.exe under Wine on a virtual screen against it; see
# tools/run_sample.py. Everything lands in out/sample/.
#   tools/run-sample.sh [--road stand-in] [--out DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh
arch=$(tools/test-arch.sh)
jobs=$(nproc)
# The doubles live with the tests, so the build includes them.
log="build/$arch/run-sample-build.log"
echo "run-sample: building the programs and the doubles for $arch (log: $log)"
mkdir -p "build/$arch"
if ! { cmake --preset "$arch" -DQUILLON_TESTS=ON &&
       cmake --build --preset "$arch" -j "$jobs" --target Brightgate Tidemill Ferrier qtest_ui_probe qtest_stand_in \
         browser_double flash_double hall_library_double launcher_double; } >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "run-sample: the build failed (log: $log)" >&2
  exit 1
fi
exec python3 tools/run_sample.py --build "build/$arch" --arch "$arch" "$@"
