#!/usr/bin/env python3
"""Shows one update end to end: a sample update server on 127.0.0.1 serves
release 1.0.1 of a small sample client, and Tidemill.exe, started under Wine
by the launcher stand-in, brings an installation of release 1.0.0 up to it.

Called by tools/run-sample.sh after the build; everything lands in --out.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time
import urllib.parse
import urllib.request

TOOLS = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(TOOLS)
sys.path.insert(0, TOOLS)
import make_update_tree as mut  # noqa: E402

SAMPLE = os.path.join(TOOLS, "sample")
HTTP_SERVER = os.path.join(SOURCE, "tests", "doubles", "http_server", "http_server.py")
GAME_NAME = "QuillonSample"


def copy_tree(source, target):
    for current, _, files in os.walk(source):
        for name in files:
            src = os.path.join(current, name)
            dst = os.path.join(target, os.path.relpath(src, source))
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            shutil.copyfile(src, dst)


def digests(folder):
    return {rel: digest for rel, digest in mut.hash_folder(folder).items()}


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def start_server(port_file):
    subprocess.run([sys.executable, HTTP_SERVER, "--daemon", "--port-file", port_file, "--lifetime", "900",
                    "--idle", "300"], check=True)
    with open(port_file) as f:
        return int(f.read().strip())


def stop_server(port_file):
    subprocess.run([sys.executable, HTTP_SERVER, "--stop", "--port-file", port_file],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def call(port, method, path):
    request = urllib.request.Request("http://127.0.0.1:%d%s" % (port, path), data=b"", method=method)
    with urllib.request.urlopen(request, timeout=30) as answer:
        return answer.read().decode("utf-8")


def describe(line):
    """A frame-log line of the launcher stand-in, for people."""
    word, _, rest = line.partition(" ")
    if word == "CALLBACK":
        return "  event     " + rest
    if word == "TEXT":
        slot, _, text = rest.partition(" ")
        return "  text %s    %s" % (slot, text)
    if word == "PROGRESS":
        return "  progress  %s%%" % rest.split()[0]
    if word == "SENT":
        return "  launcher  sends " + rest
    if word == "NOTIFY_WND":
        return "  greeting  from the engine window " + rest.split()[0]
    if word == "ENGINE_EXIT":
        return "  engine    ended with exit code " + rest
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, help="build folder with Tidemill.exe and the launcher stand-in")
    parser.add_argument("--arch", required=True, help="win32 or win64 (the Wine the build runs on)")
    parser.add_argument("--out", default=os.path.join(SOURCE, "out", "sample"))
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    tidemill = os.path.join(build, "engine", "Tidemill.exe")
    double = os.path.join(build, "tests", "doubles", "launcher_double", "launcher_double.exe")
    for program in (tidemill, double):
        if not os.path.exists(program):
            print("run_sample: %s is missing; build first" % program, file=sys.stderr)
            return 1

    out = os.path.abspath(args.out)
    shutil.rmtree(out, ignore_errors=True)
    tree = os.path.join(out, "server")
    install = os.path.join(out, "install")
    release = os.path.join(out, "release-1.0.1")
    frames = os.path.join(out, "launcher-frames.log")
    port_file = os.path.join(out, "http.port")
    os.makedirs(tree)

    port = start_server(port_file)
    try:
        sid = call(port, "POST", "/_ctl/session?root=" + urllib.parse.quote(tree))
        base = "http://127.0.0.1:%d/%s/" % (port, sid)
        launcher = os.path.join(SAMPLE, "launcher")
        old = os.path.join(SAMPLE, "client-1.0.0")

        # The server: release 1.0.0, then 1.0.1 on top (unchanged files stay in 1.0.0/).
        mut.build_tree(old, tree, (1, 0, 0), base, launcher_dir=launcher)
        copy_tree(old, release)
        copy_tree(os.path.join(SAMPLE, "changes-1.0.1"), release)
        mut.build_tree(release, tree, (1, 0, 1), base, launcher_dir=launcher)

        # The player's installation of release 1.0.0.
        copy_tree(old, install)
        copy_tree(launcher, install)
        shutil.copyfile(tidemill, os.path.join(install, "Tidemill.exe"))
        mut.write_file(os.path.join(install, "HashMD5.xmp"),
                       mut.encode_hash_list(mut.keyed(digests(old), mut.DEFAULT_CODEPAGE)))
        mut.write_file(os.path.join(install, "LancherHashMD5.xmp"),
                       mut.encode_hash_list(mut.keyed(digests(launcher), mut.DEFAULT_CODEPAGE)))
        mut.write_file(os.path.join(install, "version.ini"), b"[version]\r\ncur=1.0.0\r\n")
        mut.write_file(os.path.join(install, "LauncherConfig.ini"),
                       mut.launcher_config(base, game_name=GAME_NAME).encode("utf-8"))
        before = digests(install)

        print("Sample update server: %s (files in %s)" % (base, tree))
        print("Installation (release 1.0.0): %s" % install)
        print("Starting Tidemill.exe under Wine through the launcher stand-in ...")
        prefix = os.path.join(build, "wineprefix-sample")
        started = time.monotonic()
        subprocess.run([os.path.join(TOOLS, "wine-run.sh"), args.arch, prefix, double, "--log", wine_path(frames),
                        "--server", "1", "--start-game", "--exit-on", "6", "--wait-engine",
                        "--timeout-ms", "120000"], cwd=install, stdin=subprocess.DEVNULL)
        elapsed = time.monotonic() - started
    finally:
        stop_server(port_file)

    lines = open(frames, encoding="utf-8", errors="replace").read().splitlines() if os.path.exists(frames) else []
    print("\nWhat the launcher was told (%s):" % frames)
    for line in lines:
        text = describe(line)
        if text:
            print(text)

    after = digests(install)
    changed = sorted(rel for rel in after if before.get(rel) != after[rel])
    print("\nFiles the update wrote:")
    for rel in changed:
        print("  " + rel)
    version = open(os.path.join(install, "version.ini"), encoding="utf-8", errors="replace").read().split()
    logs = sorted(os.listdir(os.path.join(install, "Log"))) if os.path.isdir(os.path.join(install, "Log")) else []
    print("\nversion.ini now says: %s" % " ".join(version))
    for name in logs:
        print("HTML log: %s" % os.path.join(install, "Log", name))
    print("Run took %.1f s (Wine start included)." % elapsed)

    matches = all(after.get(rel) == digest for rel, digest in digests(release).items())
    ok = "ENGINE_EXIT 0" in lines and any(l.startswith("CALLBACK 6 ") for l in lines) and matches
    print("\n%s" % ("The installation is now release 1.0.1." if ok else "The update did not complete."))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
