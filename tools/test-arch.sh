#!/bin/sh
# Prints the Wine architecture the tests run on: win32 where this kernel can
# execute 32-bit programs, win64 where it cannot (ia32 emulation off).
if [ -n "$QUILLON_TEST_ARCH" ]; then echo "$QUILLON_TEST_ARCH"; exit 0; fi
for probe in /usr/lib/wine/wineserver32 /lib/ld-linux.so.2; do
  if [ -x "$probe" ]; then
    if "$probe" --version >/dev/null 2>&1 || [ $? -ne 126 ]; then echo win32; exit 0; fi
    echo win64; exit 0
  fi
done
# Nothing 32-bit installed yet: try the smallest 32-bit program there is.
tmp=$(mktemp)
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\142\000\000\000\142\000\000\000\005\000\000\000\000\020\000\000\061\333\061\300\100\315\200' >"$tmp"
chmod +x "$tmp"
if "$tmp" 2>/dev/null; then echo win32; else echo win64; fi
rm -f "$tmp"
