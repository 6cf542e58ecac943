#!/usr/bin/env bash
# Download pool against the curl command-line tool, on loopback from the
# local test server: 400 files of 256 KiB and 2 files of 128 MiB. Prints
# MB/s of both and their ratio (best of ROUNDS rounds, default 2); the pool
# runs with the engine's 30 ms pause after each finished task and, for
# comparison, without it. Needs the win64 build
# (cmake --preset win64 -DQUILLON_TESTS=ON && cmake --build --preset win64).
#   tools/bench/download_bench.sh [BUILD-DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win64}
bench=$build/tools/bench/bench_download_pool.exe
[ -f "$bench" ] || { echo "missing $bench: build the win64 preset with tests first" >&2; exit 1; }
work=$(mktemp -d /tmp/qln_download_bench.XXXXXX)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/data/small" "$work/data/large" "$work/out"
for i in $(seq 0 399); do head -c 262144 /dev/urandom > "$work/data/small/s$i.bin"; done
for i in 0 1; do head -c 134217728 /dev/urandom > "$work/data/large/l$i.bin"; done

python3 "$root/tests/doubles/http_server/http_server.py" --port-file "$work/port" \
  --parent-pid $$ --idle 600 --lifetime 1800 &
server_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
port=$(cat "$work/port")
sid=$(curl -s -X POST "http://127.0.0.1:$port/_ctl/session?root=$work/data")
base="http://127.0.0.1:$port/$sid"

now() { date +%s.%N; }

# curl: one process, every URL of the list in turn (it reuses connections).
run_curl() {  # list -> seconds
  local list=$1 cfg=$work/curl.cfg i=0
  : > "$cfg"
  while read -r url; do
    printf 'url = "%s"\noutput = "%s/out/f%d.bin"\n' "$url" "$work" "$i" >> "$cfg"
    i=$((i + 1))
  done < "$list"
  rm -f "$work"/out/*
  local t0 t1
  t0=$(now)
  curl -s -f --config "$cfg"
  t1=$(now)
  echo "$t1 - $t0" | bc -l
}

run_pool() {  # list [pause-ms] -> seconds (measured inside, without Wine's start-up)
  rm -f "$work"/out/*
  "$root/tools/wine-run.sh" win64 "$build/wineprefix" "$bench" "Z:$1" "Z:$work/out" 0 ${2:-} |
    sed -n 's/.*seconds=\([0-9.]*\).*/\1/p'
}

check() {  # list: every output equals its source
  local i=0 bad=0
  while read -r url; do
    cmp -s "$work/out/f$i.bin" "$work/data/${url#$base/}" || bad=$((bad + 1))
    i=$((i + 1))
  done < "$1"
  [ "$bad" = 0 ] || echo "  WARNING: $bad files differ" >&2
}

report() {  # name list bytes [pause-ms]
  local name=$1 list=$2 bytes=$3 best_c=999999 best_p=999999 c p
  for round in $(seq "${ROUNDS:-2}"); do
    c=$(run_curl "$list"); check "$list"
    p=$(run_pool "$list" "${4:-}"); check "$list"
    best_c=$(echo "if ($c < $best_c) $c else $best_c" | bc -l)
    best_p=$(echo "if ($p < $best_p) $p else $best_p" | bc -l)
  done
  local mc mp
  mc=$(echo "$bytes / 1048576 / $best_c" | bc -l)
  mp=$(echo "$bytes / 1048576 / $best_p" | bc -l)
  printf '%-22s curl %8.1f MB/s (%6.3f s)   pool %8.1f MB/s (%6.3f s)   pool/curl %5.2f\n' \
    "$name" "$mc" "$best_c" "$mp" "$best_p" "$(echo "$mp / $mc" | bc -l)"
}

ls "$work/data/small" | sort -V | sed "s|^|$base/small/|" > "$work/small.list"
ls "$work/data/large" | sort -V | sed "s|^|$base/large/|" > "$work/large.list"
workers=$("$root/tools/wine-run.sh" win64 "$build/wineprefix" cmd /c 'echo %NUMBER_OF_PROCESSORS%' | tr -d '\r')
echo "download pool ($((workers * 2)) workers, 3000 ms attempts) against curl $(curl --version | head -1 | cut -d' ' -f2), loopback"
report "400 x 256 KiB" "$work/small.list" $((400 * 262144))
report "  same, no pause" "$work/small.list" $((400 * 262144)) 0
report "2 x 128 MiB" "$work/large.list" $((2 * 134217728))
