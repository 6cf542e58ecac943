#!/bin/sh
# Runs a Windows program under Wine in the given prefix, creating the prefix
# on first use and keeping its wineserver warm between runs.
#   wine-run.sh win32|win64 PREFIX PROGRAM [ARGS...]
#   wine-run.sh win32|win64 PREFIX --warm
set -e
arch=$1; prefix=$2; shift 2
tools=$(cd "$(dirname "$0")" && pwd)
if [ "$arch" = win64 ]; then
  loader=/usr/lib/wine/wine64; server=/usr/lib/wine/wineserver64
else
  loader=/usr/lib/wine/wine; server=/usr/lib/wine/wineserver32
fi
export WINEPREFIX="$prefix" WINEARCH="$arch" WINELOADER="$loader" WINESERVER="$server"
export WINEDEBUG="${WINEDEBUG:--all}" LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

if [ ! -f "$prefix/.quillon-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.quillon-ready" ]; then
      rm -rf "$prefix"
      "$loader" wineboot -i </dev/null >/dev/null 2>&1 || true
      "$server" -w
      "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
      fonts="$prefix/drive_c/windows/Fonts"
      mkdir -p "$fonts"
      cp /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
      for f in /usr/share/fonts/truetype/liberation/*.ttf /usr/share/fonts/truetype/dejavu/*.ttf; do
        [ -f "$f" ] && cp "$f" "$fonts/"
      done
      key='HKCU\Software\Wine\Fonts\Replacements'
      for pair in "Arial:Liberation Sans" "Times New Roman:Liberation Serif" "Courier New:Liberation Mono" \
                  "Segoe UI:DejaVu Sans" "Verdana:DejaVu Sans" "Tahoma:DejaVu Sans"; do
        "$loader" reg add "$key" /v "${pair%%:*}" /d "${pair#*:}" /f </dev/null >/dev/null 2>&1
      done
      "$server" -w
      touch "$prefix/.quillon-ready"
    fi
  ) 9>"$prefix.lock"
fi

# A persistent server; a second start while one runs is refused harmlessly.
# The first program of a fresh server starts Wine's own services, which
# outlive it: start them here with no inherited output, or whoever reads our
# output (ctest) waits for them.
if "$server" -p 300 </dev/null >/dev/null 2>&1; then
  "$loader" cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
if [ "$1" = "--warm" ]; then
  exec "$loader" cmd /c exit
fi
# The first window of a session starts Wine's desktop process, which inherits
# our output and outlives us by seconds to minutes; a reader of that output
# through a pipe (ctest) would wait for it. Pipes get the output from a file
# once the program has ended.
if [ -p /dev/stdout ] || [ -S /dev/stdout ] || [ -p /dev/stderr ] || [ -S /dev/stderr ]; then
  out=$(mktemp) err=$(mktemp)
  trap 'rm -f "$out" "$err"' EXIT
  status=0
  "$loader" "$@" </dev/null >"$out" 2>"$err" || status=$?
  cat "$out"
  cat "$err" >&2
  exit $status
fi
exec "$loader" "$@"
