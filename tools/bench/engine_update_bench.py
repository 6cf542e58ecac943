#!/usr/bin/env python3
"""Benchmark: one whole engine update against plain tools, in the same run.

A sample client of --files files (default 2,000, about --mib MiB in all) is
served from the loopback test server with --changed of them (default 500)
changed in the new release. Measured:

  engine    wall time from starting the launcher stand-in (which starts
            Tidemill.exe under Wine) to eCallBackType_LaunchClient
  baseline  curl fetching the same changed packages (as many transfers at
            once as the engine has download threads), then 7zz x unpacking
            them (as many at once)

Prints both and their ratio. Figures only: nothing here passes or fails on
time. Needs a build (tools/run-sample.sh or tools/test.sh makes one).
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import time
import urllib.parse
import urllib.request

TOOLS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE = os.path.dirname(TOOLS)
sys.path.insert(0, TOOLS)
import make_update_tree as mut  # noqa: E402

HTTP_SERVER = os.path.join(SOURCE, "tests", "doubles", "http_server", "http_server.py")


def make_release(folder, files, total_bytes, seed, changed=(), variant=b""):
    """Deterministic client files: half incompressible, half text-like."""
    rng = random.Random(seed)
    size = total_bytes // files
    for n in range(files):
        rel = os.path.join("Data", "pack%02d" % (n % 40), "file%04d.dat" % n)
        path = os.path.join(folder, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        body = rng.randbytes(size // 2) + (b"line %d of a text-like resource\n" % n) * (size // 64)
        if n in changed:
            body = variant + body[len(variant):]
        with open(path, "wb") as f:
            f.write(body)
    with open(os.path.join(folder, "binkw32.dll"), "wb") as f:
        f.write(b"client marker\n")


def call(port, method, path):
    request = urllib.request.Request("http://127.0.0.1:%d%s" % (port, path), data=b"", method=method)
    with urllib.request.urlopen(request, timeout=30) as answer:
        return answer.read().decode("utf-8")


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def time_engine(args, build, install, frames):
    double = os.path.join(build, "tests", "doubles", "launcher_double", "launcher_double.exe")
    prefix = os.path.join(build, "wineprefix-bench")
    wine_run = os.path.join(TOOLS, "wine-run.sh")
    subprocess.run([wine_run, args.arch, prefix, "--warm"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    started = time.monotonic()
    process = subprocess.Popen([wine_run, args.arch, prefix, double, "--log", wine_path(frames), "--server", "1",
                                "--start-game", "--exit-on", "6", "--wait-engine", "--timeout-ms", "1800000"],
                               cwd=install, stdin=subprocess.DEVNULL)
    launched = None
    while launched is None and process.poll() is None:
        if os.path.exists(frames):
            with open(frames, encoding="utf-8", errors="replace") as f:
                if any(line.startswith("CALLBACK 6 ") for line in f):
                    launched = time.monotonic() - started
                    break
        time.sleep(0.01)
    process.wait()
    return launched


def time_baseline(urls, work, jobs):
    download = os.path.join(work, "baseline")
    os.makedirs(download)
    config = os.path.join(work, "curl.cfg")
    with open(config, "w") as f:
        for n, url in enumerate(urls):
            f.write('url = "%s"\noutput = "%s"\n' % (url, os.path.join(download, "p%04d.pkg" % n)))
    started = time.monotonic()
    subprocess.run(["curl", "-sS", "--no-progress-meter", "--fail", "--parallel", "--parallel-max", str(jobs), "-K", config], check=True)
    fetched = time.monotonic()
    packages = sorted(os.listdir(download))
    procs = []
    for n, name in enumerate(packages):
        procs.append(subprocess.Popen(["7zz", "x", "-t7z", "-y", "-bso0", "-bsp0", "-o" + os.path.join(
            download, "x%04d" % n), os.path.join(download, name)]))
        while len([p for p in procs if p.poll() is None]) >= jobs:
            time.sleep(0.002)
    for p in procs:
        p.wait()
    done = time.monotonic()
    return fetched - started, done - fetched


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(SOURCE, "build", "win64"))
    parser.add_argument("--arch", default="win64")
    parser.add_argument("--work", default=os.path.join(SOURCE, "out", "bench"))
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--changed", type=int, default=500)
    parser.add_argument("--mib", type=int, default=200)
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    tidemill = os.path.join(build, "engine", "Tidemill.exe")
    if not os.path.exists(tidemill):
        print("engine_update_bench: %s is missing; build first" % tidemill, file=sys.stderr)
        return 1
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    old, new, tree, install = (os.path.join(work, n) for n in ("old", "new", "server", "install"))
    frames = os.path.join(work, "frames.log")
    port_file = os.path.join(work, "http.port")
    os.makedirs(tree)

    total = args.mib * 1024 * 1024
    changed = set(random.Random(7).sample(range(args.files), args.changed))
    print("making a client of %d files (%d MiB), %d changed ..." % (args.files, args.mib, len(changed)))
    make_release(old, args.files, total, seed=1)
    make_release(new, args.files, total, seed=1, changed=changed, variant=b"revised ")

    subprocess.run([sys.executable, HTTP_SERVER, "--daemon", "--port-file", port_file, "--lifetime", "3600",
                    "--idle", "600"], check=True, stdout=subprocess.DEVNULL)
    with open(port_file) as f:
        port = int(f.read().strip())
    try:
        sid = call(port, "POST", "/_ctl/session?root=" + urllib.parse.quote(tree))
        base = "http://127.0.0.1:%d/%s/" % (port, sid)
        print("packing the update tree ...")
        mut.build_tree(new, tree, (1, 0, 1), base, level=1, full_package=False)

        shutil.copytree(old, install)
        shutil.copyfile(tidemill, os.path.join(install, "Tidemill.exe"))
        mut.write_file(os.path.join(install, "HashMD5.xmp"),
                       mut.encode_hash_list(mut.keyed(mut.hash_folder(old), mut.DEFAULT_CODEPAGE)))
        mut.write_file(os.path.join(install, "LancherHashMD5.xmp"), b"")
        mut.write_file(os.path.join(install, "version.ini"), b"[version]\r\ncur=1.0.0\r\n")
        mut.write_file(os.path.join(install, "LauncherConfig.ini"),
                       mut.launcher_config(base, game_name="QuillonBench").encode("utf-8"))

        print("running the engine ...")
        engine = time_engine(args, build, install, frames)
        jobs = 2 * (os.cpu_count() or 1)  # the engine's download threads
        urls = [base + "update/1.0.1/client/" + urllib.parse.quote(
            os.path.join("Data", "pack%02d" % (n % 40), "file%04d.dat" % n) + ".pkg") for n in sorted(changed)]
        print("running curl and 7zz ...")
        fetch, unpack = time_baseline(urls, work, jobs)
    finally:
        subprocess.run([sys.executable, HTTP_SERVER, "--stop", "--port-file", port_file],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    if engine is None:
        print("the engine did not reach eCallBackType_LaunchClient; see %s" % frames)
        return 1
    baseline = fetch + unpack
    print("\nengine update, start to eCallBackType_LaunchClient: %8.2f s" % engine)
    print("curl fetch %d packages (%d at once):           %8.2f s" % (len(urls), jobs, fetch))
    print("7zz x unpack them (%d at once):                  %8.2f s" % (jobs, unpack))
    print("baseline total:                                  %8.2f s" % baseline)
    print("ratio engine / baseline:                         %8.2f" % (engine / baseline if baseline else 0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
