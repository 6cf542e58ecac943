# Sourced by the UI benchmark scripts, with exe set to the program's name
# (bench_<name>.exe): the test build's program as bench, a runner for it
# under Wine as run (the architecture tools/test-arch.sh picks, its Wine
# already started), and a scratch file out removed on exit.
#   $1: the build folder (default build/win32 or build/win64)
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=$("$root/tools/test-arch.sh")
build=${1:-$root/build/$arch}
bench=$build/tools/bench/$exe
[ -f "$bench" ] || { echo "build $bench first (cmake --build --preset $arch)"; exit 1; }
build=$(cd "$build" && pwd)
run="$root/tools/wine-run.sh $arch $build/wineprefix"
$run cmd /c exit >/dev/null 2>&1 || true
out=$(mktemp "${TMPDIR:-/tmp}/qbench_ui.XXXXXX")
trap 'rm -f "$out"' EXIT
