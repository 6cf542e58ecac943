#!/usr/bin/env python3
"""Builds the update-server trees and client folders the controller tests use.

    make_controller_fixtures.py OUT

Run on the host before the tests (ctest fixture "controller_fixtures"): the
tests under Wine cannot run 7zz. Everything is made from deterministic bytes
with tools/make_update_tree.py and 7zz, so the engine reads packages and
lists made by independent tools.

OUT/
  clients/1.0.0/, clients/1.0.1/   the client at two versions
  launcher/old/, launcher/new/     the launcher's own files before and after
  patch/1.0.1/                     the files 1.0.1 changed or added
  trees/main/                      server tree: client 1.0.1 (1.0.0 before it),
                                   launcher/old, patches 1.0.0 and 1.0.1
  trees/selfupdate/                server tree: launcher/new
  launcher/engine_old/, engine_new/  launcher/old with two builds of the engine
  trees/engineupdate/              server tree: launcher/engine_new
  extra/wrong_Brightgate.exe.pkg   a package of another launcher program
  extra/hostile.pkg                a package whose entry climbs out with ".."
  extra/nested_Brightgate.exe.pkg  the new launcher program, but in a subfolder
  extra/climbing_Brightgate.exe.pkg  the new launcher program beside an entry
                                   that climbs out with ".."
  extra/short_Tiny_Package.pkg     the full package of 1.0.1 without data\b.dat,
                                   but with the whole list of 1.0.1
  clients/big/                     client 1.0.0 plus one large file of noise
  trees/bigfile/                   server tree: clients/big as 1.0.1, the large
                                   file packed with LZMA so that it takes a
                                   while to unpack
The trees' serverlist.xml name the base URL "http://QLN_BASE/"; the tests
put their own session's URL in its place when they serve it.
"""

import os
import random
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.path.join(HERE, "..", "..", "..", "tools", "make_update_tree.py")
BASE = "http://QLN_BASE/"


def data(seed, size):
    rng = random.Random(seed)
    return bytes(rng.getrandbits(8) for _ in range(size))


def write(folder, rel, content):
    path = os.path.join(folder, *rel.split("\\"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(content)


CLIENT_100 = {
    "libeay32.dll": data(1, 3000),
    "Client.exe": data(2, 40000),
    "data\\a.dat": data(3, 5000),
    "data\\b.dat": data(4, 7000),
    "Config\\localconfig.xml": b"<config level=\"1\"/>\r\n",
    "readme.txt": b"version one\r\n",
}
CHANGED_101 = {
    "Client.exe": data(12, 300000),
    "data\\a.dat": data(13, 4000),
    "data\\new\\c.dat": data(15, 2500),
    "readme.txt": b"version one point one\r\n",
}
LAUNCHER_OLD = {
    "Brightgate.exe": data(21, 20000),
    "Skin\\Launcher\\main.xml": b"<Window size=\"800,572\"/>\r\n",
    "Skin\\Launcher\\bg.png": data(22, 1500),
}
LAUNCHER_CHANGED = {
    "Brightgate.exe": data(31, 24000),
    "Skin\\Launcher\\main.xml": b"<Window size=\"800,600\"/>\r\n",
}


def tree(out, client, version, launcher, extra=()):
    command = [sys.executable, TOOL, "tree", "--client", client, "--version", version, "--out", out,
               "--base-url", BASE, "--launcher", launcher, "--jobs", "4", "--level", "1"]
    subprocess.run(command + list(extra), check=True, stdout=subprocess.DEVNULL)


def seven_zip(archive, workdir, names):
    if os.path.exists(archive):
        os.remove(archive)
    subprocess.run(["7zz", "a", "-t7z", "-bd", "-bso0", "-bsp0", "-y", archive] + names,
                   cwd=workdir, check=True, stdout=subprocess.DEVNULL)


def main(out):
    staging = out + ".part"
    shutil.rmtree(staging, ignore_errors=True)
    os.makedirs(staging)
    clients = os.path.join(staging, "clients")
    for rel, content in CLIENT_100.items():
        write(os.path.join(clients, "1.0.0"), rel, content)
    for rel, content in dict(CLIENT_100, **CHANGED_101).items():
        write(os.path.join(clients, "1.0.1"), rel, content)
    for rel, content in CHANGED_101.items():
        write(os.path.join(staging, "patch", "1.0.1"), rel, content)
    old = os.path.join(staging, "launcher", "old")
    new = os.path.join(staging, "launcher", "new")
    for rel, content in LAUNCHER_OLD.items():
        write(old, rel, content)
    for rel, content in dict(LAUNCHER_OLD, **LAUNCHER_CHANGED).items():
        write(new, rel, content)
    engine_old = os.path.join(staging, "launcher", "engine_old")
    engine_new = os.path.join(staging, "launcher", "engine_new")
    for rel, content in dict(LAUNCHER_OLD, **{"Tidemill.exe": data(51, 9000)}).items():
        write(engine_old, rel, content)
    for rel, content in dict(LAUNCHER_OLD, **{"Tidemill.exe": data(52, 9500)}).items():
        write(engine_new, rel, content)

    main_tree = os.path.join(staging, "trees", "main")
    common = ["--unversioned", "readme.txt", "--patch", "1.0.0"]
    tree(main_tree, os.path.join(clients, "1.0.0"), "1.0.0", old, common)
    tree(main_tree, os.path.join(clients, "1.0.1"), "1.0.1", old,
         common + ["--patch", "1.0.1=" + os.path.join(staging, "patch", "1.0.1")])
    tree(os.path.join(staging, "trees", "selfupdate"), os.path.join(clients, "1.0.1"), "1.0.1", new,
         ["--no-full-package"])
    tree(os.path.join(staging, "trees", "engineupdate"), os.path.join(clients, "1.0.1"), "1.0.1", engine_new,
         ["--no-full-package"])

    big_client = os.path.join(clients, "big")
    for rel, content in CLIENT_100.items():
        write(big_client, rel, content)
    write(big_client, "data\\big.dat", random.Random(61).randbytes(40 << 20))
    big_tree = os.path.join(staging, "trees", "bigfile")
    tree(big_tree, big_client, "1.0.1", old, ["--no-full-package"])
    big_package = os.path.join(big_tree, "update", "1.0.1", "client", "data", "big.dat.pkg")
    os.remove(big_package)
    subprocess.run(["7zz", "a", "-t7z", "-bd", "-bso0", "-bsp0", "-y", "-m0=LZMA", "-mx=1", big_package, "big.dat"],
                   cwd=os.path.join(big_client, "data"), check=True, stdout=subprocess.DEVNULL)

    extra = os.path.join(staging, "extra")
    wrong = os.path.join(extra, "wrong")
    write(wrong, "Brightgate.exe", data(41, 24000))
    seven_zip(os.path.join(extra, "wrong_Brightgate.exe.pkg"), wrong, ["Brightgate.exe"])
    hostile = os.path.join(extra, "hostile", "inner")
    write(hostile, "Client.exe", data(42, 100))
    write(os.path.join(extra, "hostile"), "evil.txt", b"outside\r\n")
    # -spf keeps the "..\" in the stored name.
    subprocess.run(["7zz", "a", "-t7z", "-bd", "-bso0", "-bsp0", "-y", "-spf",
                    os.path.join(extra, "hostile.pkg"), "Client.exe", "../evil.txt"],
                   cwd=hostile, check=True, stdout=subprocess.DEVNULL)

    nested = os.path.join(extra, "nested")
    write(nested, "sub\\Brightgate.exe", LAUNCHER_CHANGED["Brightgate.exe"])
    seven_zip(os.path.join(extra, "nested_Brightgate.exe.pkg"), nested, ["sub/Brightgate.exe"])
    climbing = os.path.join(extra, "climbing", "inner")
    write(climbing, "Brightgate.exe", LAUNCHER_CHANGED["Brightgate.exe"])
    write(os.path.join(extra, "climbing"), "evil.txt", b"outside\r\n")
    subprocess.run(["7zz", "a", "-t7z", "-bd", "-bso0", "-bsp0", "-y", "-spf",
                    os.path.join(extra, "climbing_Brightgate.exe.pkg"), "Brightgate.exe", "../evil.txt"],
                   cwd=climbing, check=True, stdout=subprocess.DEVNULL)

    short = os.path.join(extra, "short")
    for rel, content in dict(CLIENT_100, **CHANGED_101).items():
        if rel != "data\\b.dat":
            write(short, rel, content)
    with open(os.path.join(main_tree, "update", "1.0.1", "client", "HashMD5.xmp"), "rb") as f:
        write(short, "HashMD5.xmp", f.read())
    write(short, "version.ini", b"[version]\r\ncur=1.0.1\r\n")
    seven_zip(os.path.join(extra, "short_Tiny_Package.pkg"), short, sorted(os.listdir(short)))

    shutil.rmtree(out, ignore_errors=True)
    os.replace(staging, out)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(os.path.abspath(sys.argv[1])))
