#!/usr/bin/env bash
# Builds everything and runs every test under Wine, from a fresh Debian 12
# machine on: installs what is missing, configures, builds, tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/bootstrap.sh
arch=$(tools/test-arch.sh)
jobs=$(nproc)
# Every shipped 32-bit program embeds an asInvoker manifest and is
# large-address-aware; a miss fails the run.
check_shipped() { python3 tools/check_pe.py --machine i386 build/win32; }
if [ "$arch" = win32 ]; then
  cmake --preset win32 -DQUILLON_TESTS=ON
  cmake --build --preset win32 -j "$jobs"
  check_shipped
  ctest --preset win32
else
  # This kernel runs no 32-bit code: the shipped 32-bit programs are built,
  # and the tests run on a 64-bit build of the same sources.
  echo "test.sh: 32-bit programs cannot run here; testing a 64-bit build under 64-bit Wine"
  cmake --preset win32 -DQUILLON_TESTS=OFF
  cmake --build --preset win32 -j "$jobs"
  check_shipped
  cmake --preset win64 -DQUILLON_TESTS=ON
  cmake --build --preset win64 -j "$jobs"
  ctest --preset win64
fi
