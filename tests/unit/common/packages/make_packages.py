#!/usr/bin/env python3
"""Builds the 7z packages that the extraction tests unpack, with 7zz.

    make_packages.py OUTPUT_FOLDER

OUTPUT_FOLDER/src is the tree that every method's package holds; the tests
compare what they unpack with it byte by byte. Hostile packages get their
entry names through 7zz's rename command.
"""
import os
import random
import shutil
import subprocess
import sys

ENV = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8")

# Every method the decoder must read, solid and not.
METHODS = {
    "lzma": ["-m0=LZMA", "-ms=off"],
    "lzma_solid": ["-m0=LZMA", "-ms=on"],
    "lzma2": ["-m0=LZMA2", "-ms=off"],
    "lzma2_solid": ["-m0=LZMA2", "-ms=on"],
    # A dictionary far smaller than the block: the decoder's ring wraps.
    "lzma_small_dictionary": ["-m0=LZMA:d=64k", "-ms=on"],
    "lzma2_small_dictionary": ["-m0=LZMA2:d=64k", "-ms=on"],
    "bcj": ["-mf=BCJ", "-m0=LZMA", "-ms=on"],
    "bcj_lzma2": ["-mf=BCJ", "-m0=LZMA2", "-ms=on"],
    "bcj_small_dictionary": ["-mf=BCJ", "-m0=LZMA2:d=64k", "-ms=on"],
    "bcj_ppmd": ["-mf=BCJ", "-m0=PPMd", "-ms=on"],
    "bcj2": ["-mf=BCJ2", "-m0=LZMA2", "-ms=on"],
    "bcj2_small_dictionary": ["-mf=BCJ2", "-m0=LZMA2:d=64k", "-ms=on"],
    "arm64": ["-mf=ARM64", "-m0=LZMA2", "-ms=on"],
    "arm": ["-mf=ARM", "-m0=LZMA2", "-ms=on"],
    "armt": ["-mf=ARMT", "-m0=LZMA2", "-ms=on"],
    "ppc": ["-mf=PPC", "-m0=LZMA2", "-ms=on"],
    "sparc": ["-mf=SPARC", "-m0=LZMA2", "-ms=on"],
    "ia64": ["-mf=IA64", "-m0=LZMA2", "-ms=on"],
    "riscv": ["-mf=RISCV", "-m0=LZMA2", "-ms=on"],
    "delta": ["-mf=Delta:4", "-m0=LZMA2", "-ms=on"],
    "ppmd": ["-m0=PPMd", "-ms=off"],
    "ppmd_solid": ["-m0=PPMd", "-ms=on"],
    "copy": ["-m0=Copy"],
}

# Entry renames that try to leave the destination.
HOSTILE = {
    "dotdot": "../evil.txt",
    "dotdot_inner": "a/../../evil.txt",
    "leading_slash": "/evil.txt",
    "leading_backslash": "\\evil.txt",
    "drive": "C:\\evil.txt",
    "drive_relative": "C:evil.txt",
}


def run(args, cwd):
    subprocess.run(["7zz"] + args, cwd=cwd, env=ENV, check=True,
                   stdout=subprocess.DEVNULL)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_tree(src):
    rng = random.Random(1321)
    text = "".join("line %d of a text that packs well\n" % i for i in range(4000)).encode()
    write(os.path.join(src, "top.txt"), text)
    write(os.path.join(src, "empty.bin"), b"")
    write(os.path.join(src, "a", "b", "c.txt"), b"hello from a/b\n")
    write(os.path.join(src, "a", "deep", "er", "nested.dat"),
          bytes(rng.getrandbits(8) for _ in range(300 * 1024)))
    # Code-like bytes for the branch filters: x86 calls and jumps.
    prog = bytearray()
    while len(prog) < 256 * 1024:
        prog += bytes([0xE8]) + rng.getrandbits(32).to_bytes(4, "little")
        prog += bytes([0x55, 0x89, 0xE5, 0x83, 0xEC, rng.getrandbits(8)])
        prog += bytes([0xE9]) + rng.getrandbits(16).to_bytes(4, "little")
    write(os.path.join(src, "bin", "prog.exe"), bytes(prog))
    # More than one write block, half noise and half repeats.
    big = bytearray()
    while len(big) < 3 * 1024 * 1024 + 123:
        big += bytes(rng.getrandbits(8) for _ in range(1024)) + bytes(range(256)) * 12
    write(os.path.join(src, "big.bin"), bytes(big[: 3 * 1024 * 1024 + 123]))
    write(os.path.join(src, "数据", "Grüße_ü.txt"), "Grüße, 数据\n".encode("utf-8"))
    os.makedirs(os.path.join(src, "void", "inner"), exist_ok=True)


# Real Windows programs, as a game client ships them: the build machine's
# Wine has plenty, 32- and 64-bit.
PROGRAMS = [
    "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/clock.exe",
    "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/ncrypt.dll",
    "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/rpcss.exe",
    "/usr/lib/i386-linux-gnu/wine/i386-windows/clock.exe",
    "/usr/lib/i386-linux-gnu/wine/i386-windows/ncrypt.dll",
    "/usr/lib/wine/x86_64-windows/clock.exe",
    "/usr/lib/wine/i386-windows/clock.exe",
]


def make_programs(src):
    found = [p for p in PROGRAMS if os.path.isfile(p)]
    if not found:
        sys.exit("make_packages.py: no Windows programs found (is Wine installed?)")
    for path in found:
        bits = "32" if "i386" in path else "64"
        os.makedirs(os.path.join(src, bits), exist_ok=True)
        shutil.copyfile(path, os.path.join(src, bits, os.path.basename(path)))
    write(os.path.join(src, "readme.txt"), b"not a program\n")


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    src = os.path.join(out, "src")
    make_tree(src)
    for name, switches in METHODS.items():
        run(["a", "-t7z", "-bd", "-mmt1"] + switches + [os.path.join(out, name + ".pkg"), "."], src)

    # 7zz's own choice for programs (a branch filter) and for the rest.
    programs = os.path.join(out, "programs_src")
    make_programs(programs)
    run(["a", "-t7z", "-bd", os.path.join(out, "programs.pkg"), "."], programs)

    # Five entries: a folder and four files.
    five = os.path.join(out, "five_src")
    for rel in ("p/1.txt", "p/2.txt", "p/3.txt", "q.txt"):
        write(os.path.join(five, rel), rel.encode())
    run(["a", "-t7z", "-bd", os.path.join(out, "five.pkg"), "."], five)

    # A method the decoder does not have.
    run(["a", "-t7z", "-bd", "-m0=BZip2", os.path.join(out, "bzip2.pkg"), "a"], src)

    # A harmless file first, then the hostile entry.
    for name, target in HOSTILE.items():
        hostile_src = os.path.join(out, "hostile_src", name)
        write(os.path.join(hostile_src, "a", "ok.txt"), b"fine\n")
        write(os.path.join(hostile_src, "z.txt"), b"evil\n")
        package = os.path.join(out, "hostile_" + name + ".pkg")
        run(["a", "-t7z", "-bd", package, "."], hostile_src)
        run(["rn", "-t7z", "-bd", package, "z.txt", target], hostile_src)

    with open(os.path.join(out, "stamp"), "w") as f:
        f.write("done\n")


if __name__ == "__main__":
    main()
