# Sourced by the benchmark scripts: the win64 test build's timing program,
# a runner for it under Wine, a scratch folder removed on exit.
#   $1: the build folder (default build/win64)
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win64}
bench=$build/tests/unit/common/qbench_digest_extract.exe
[ -f "$bench" ] || { echo "build $bench first (cmake --build --preset win64)"; exit 1; }
run="$root/tools/wine-run.sh win64 $build/wineprefix"
work=$(mktemp -d "${TMPDIR:-/tmp}/qbench.XXXXXX")
trap 'rm -rf "$work"' EXIT

now() { python3 -c 'import time; print(time.monotonic())'; }
