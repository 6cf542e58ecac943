#!/usr/bin/env bash
# The main job: one update end to end. Installs what is missing (Debian 12,
# as root), builds the engine and the launcher stand-in, starts the sample
# update server on 127.0.0.1 and runs Tidemill.exe under Wine against it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh
arch=$(tools/test-arch.sh)
jobs=$(nproc)
# The launcher stand-in lives with the tests, so the build includes them.
cmake --preset "$arch" -DQUILLON_TESTS=ON
cmake --build --preset "$arch" -j "$jobs" --target Tidemill launcher_double
exec python3 tools/run_sample.py --build "build/$arch" --arch "$arch" "$@"
