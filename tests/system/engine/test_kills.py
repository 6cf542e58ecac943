"""Tidemill.exe ended with TerminateProcess at seeded moments of a full
install and of a client repair. After every kill the client must be
consistent (each file old or new, never torn; no hash-list entry ahead of
its file; "version.ini" at the target only with every file new); a last run
must then bring it to the release byte for byte.

The kill moments are drawn from fixed seeds as progress thresholds of the
killed run itself (bytes of the package received, files moved in, the
package's list in place), so the same points are aimed at on every run of
the test. A full-install point is reached only when its run fetches and
unpacks the package anew, so every run after an interrupted install shows
that the client counted as missing.

On a busy machine the engine may end before a kill lands: such a run must
have brought the client to the release, and most points must still kill."""
import hashlib
import os
import random
import time
import unittest
import urllib.request

from engine_harness import (HttpServer, Launcher, Site, kill_prefix, make_client, mut, new_work_folder, read, wine_path,
                            write)

# A launcher that chooses server 1 and starts the game, as the real one does.
PLAYER = ("--server", "1", "--start-game", "--exit-on", "6", "--wait-engine")
TARGET = "1.0.1"
MARKER = "Tiny_Package.unfinished"
RUN_LIMIT = 60  # seconds for one engine run, a safety net only (room for a loaded machine)
NO_ENGINE_ATTEMPTS = 3


def release_files(seed, count):
    """The client at the target version: the three marker files and many
    data files of mixed sizes, incompressible so that unpacking takes a
    while. Folder names sort after "HashMD5.xmp", so the package's list lies
    near the front of the package, as in real ones."""
    rng = random.Random(seed)
    files = {
        "binkw32.dll": rng.randbytes(20000),
        "libeay32.dll": rng.randbytes(30000),
        "Config/localconfig.xml": b"<config level=\"2\"/>\r\n",
    }
    folders = ("data/maps", "data/models", "data/sound", "res/ui")
    for n in range(count - len(files)):
        size = rng.choice((600, 2000, 5000, 9000, 16000)) if n % 12 else rng.choice((80000, 200000))
        if n in (40, 160):
            size = 600000
        files["%s/f%03d.bin" % (folders[n % len(folders)], n)] = rng.randbytes(size)
    return files


def old_client(release, seed):
    """The installed client one version back: most files differ, a few are
    the same, a few are new in the release."""
    rng = random.Random(seed)
    old = {}
    for n, (rel, data) in enumerate(sorted(release.items())):
        if n % 29 == 5:
            continue  # new in the release
        old[rel] = data if n % 11 == 3 else rng.randbytes(max(1, len(data) // 2 + rng.randrange(100)))
    return old


def md5(data):
    return hashlib.md5(data).digest()


class KillRun:
    """One engine run under a launcher double that kills it once a trigger
    holds. trigger(started) gets the run's start time (host clock)."""

    def __init__(self, site, name, trigger):
        self.site = site
        self.name = name
        self.kill_file = os.path.join(site.work, name + ".kill")
        if os.path.exists(self.kill_file):
            os.remove(self.kill_file)
        self.started = time.time()
        self.launcher = Launcher(site, name, "--kill-file", wine_path(self.kill_file), *PLAYER)
        self.trigger = trigger

    def run(self):
        """'killed'; 'finished' (the engine ended before the kill landed); or
        'no engine' (the double ended without starting one: Wine could not
        start it or give it a window, and the engine never ran)."""
        deadline = time.monotonic() + RUN_LIMIT
        while time.monotonic() < deadline:
            if self.launcher.ended():
                return self.outcome(self.launcher.finish())
            if self.trigger is not None and self.trigger(self.started):
                write(self.kill_file, b"")
                return self.outcome(self.launcher.finish())
            time.sleep(0.002)
        raise AssertionError("engine run did not end: %s" % self.launcher.lines()[-5:])

    def outcome(self, lines):
        if "ENGINE_KILLED" in lines:
            return "killed"
        if not any(line.startswith("ENGINE_STARTED ") for line in lines):
            return "no engine"
        return "finished"

    def report(self):
        """The double's last lines and Wine's complaints, for a failure message."""
        try:
            errors = read(os.path.join(self.site.work, self.name + ".err")).decode("utf-8", "replace")
        except OSError:
            errors = ""
        return "%s: %s %s" % (self.name, self.launcher.lines()[-6:], errors.strip()[-400:])


class KillTest(unittest.TestCase):
    def setUp(self):
        self.server = HttpServer()
        self.work = new_work_folder(self.id().split(".")[-1])
        self.runs = []
        self.restarts = []  # reports of doubles that started no engine

    def tearDown(self):
        if any(run.launcher.process.poll() is None for run in self.runs):
            for run in self.runs:
                if run.launcher.process.poll() is None:
                    run.launcher.process.kill()
            kill_prefix()  # the suite's own prefix: nothing else lives there

    # ------------------------------------------------------------ helpers

    def run_engine(self, site, name, trigger):
        """The outcome of a run that started an engine. A double that ended
        without one ran nothing and changed nothing: it is started again."""
        for attempt in range(NO_ENGINE_ATTEMPTS):
            run = KillRun(site, name if attempt == 0 else "%s-again%d" % (name, attempt), trigger)
            self.runs.append(run)
            outcome = run.run()
            if outcome != "no engine":
                return outcome, run
            self.restarts.append(run.report())
        self.fail("the launcher double started no engine %d times: %s" % (NO_ENGINE_ATTEMPTS, self.restarts[-1]))

    def run_points(self, site, plan, old, new, title, before=None, outran=None):
        """Runs every point of the plan, checking the client after each. A
        point whose engine ended by itself before the kill landed counts only
        when that run brought the client to the release; outran(site) then
        puts the client back where the plan needs it. Most points must kill."""
        points = []
        for n, (point, trigger) in enumerate(plan):
            if before is not None:
                before()
            outcome, run = self.run_engine(site, "kill%02d" % n, trigger)
            self.assertConsistent(site, old, new, point)
            points.append((point, outcome, self.leftovers(site)))
            if outcome == "finished":
                try:
                    self.assertIsRelease(site, new)
                except AssertionError as error:
                    self.summary(title, points)
                    raise AssertionError("%s: the engine ended by itself without the release in place: %s; %s"
                                         % (point, error, run.report())) from None
                outran(site)
        killed = self.summary(title, points)
        self.assertGreaterEqual(killed, len(plan) - len(plan) // 4, points)

    def path(self, site, rel):
        return os.path.join(site.root, *rel.split("/"))

    def current(self, site, rel):
        try:
            return read(self.path(site, rel))
        except OSError:
            return None

    def moved_in_since(self, site, rels, started):
        """How many of the files were moved in by the run started then."""
        count = 0
        for rel in rels:
            try:
                if os.stat(self.path(site, rel)).st_mtime >= started:
                    count += 1
            except OSError:
                pass
        return count

    def newer_than(self, site, rel, started):
        try:
            return os.stat(self.path(site, rel)).st_mtime >= started
        except OSError:
            return False

    def assertConsistent(self, site, old, new, point):
        """What a kill may leave: every file old or new; the list never ahead
        of a file; the target version only with every file new."""
        keys = {mut.path_hash(rel.replace("/", "\\")): rel for rel in new}
        contents = {}
        for rel, data in new.items():
            now = self.current(site, rel)
            allowed = [data] + ([old[rel]] if rel in old else [None])
            self.assertIn(now, allowed, "%s: %s is torn or foreign (%s bytes)"
                          % (point, rel, None if now is None else len(now)))
            contents[rel] = now
        listed = os.path.join(site.root, "HashMD5.xmp")
        if os.path.exists(listed):
            records = read(listed)
            self.assertEqual(len(records) % 24, 0, "%s: HashMD5.xmp is cut" % point)
            for key, digest in mut.decode_hash_list(records).items():
                self.assertIn(key, keys, "%s: HashMD5.xmp lists a key of no file" % point)
                rel = keys[key]
                allowed = [md5(contents[rel])] if contents[rel] is not None else []
                if rel in old:
                    allowed.append(md5(old[rel]))
                self.assertIn(digest, allowed, "%s: HashMD5.xmp is ahead of %s" % (point, rel))
        if os.path.exists(os.path.join(site.root, "version.ini")) and site.installed_version() == TARGET:
            stale = [rel for rel, data in new.items() if contents[rel] != data]
            self.assertEqual(stale, [], "%s: version.ini claims %s before these files are new" % (point, TARGET))

    def assertIsRelease(self, site, new):
        for rel, data in new.items():
            self.assertTrue(self.current(site, rel) == data, rel)
        self.assertEqual(site.installed_version(), TARGET)
        served = os.path.join(site.tree, "update", TARGET, "client", "HashMD5.xmp")
        self.assertEqual(read(os.path.join(site.root, "HashMD5.xmp")), read(served))
        leftovers = []
        for folder, _, names in os.walk(site.root):
            for name in names:
                if name.endswith((".tmp~", ".pkg")) or name == MARKER:
                    leftovers.append(os.path.relpath(os.path.join(folder, name), site.root))
        self.assertEqual(leftovers, [])

    def summary(self, title, points):
        """Prints the points and their outcomes; the number killed."""
        killed = sum(1 for _, outcome, _ in points if outcome == "killed")
        print("\n%s: %d kill points, %d killed, %d outran by the engine, %d runs without an engine started again"
              % (title, len(points), killed, len(points) - killed, len(self.restarts)))
        for point, outcome, left in points:
            print("  %-34s %-8s %s" % (point, outcome, left))
        for report in self.restarts:
            print("  started again: %s" % report)
        return killed

    def leftovers(self, site):
        found = []
        for folder, _, names in os.walk(site.root):
            for name in names:
                if name.endswith(".tmp~"):
                    found.append("tmp~")
                elif name == MARKER:
                    found.append("marker")
        if os.path.exists(os.path.join(site.root, "HashMD5.xmp")):
            found.append("list")
        return ",".join(sorted(set(found)))

    # ------------------------------------------------------------ tests

    def test_kills_during_a_full_install_leave_a_client_that_installs_again(self):
        new = release_files(1101, 200)
        site = Site(self.work, self.server, new, TARGET, installed=None)
        package = os.path.join(site.tree, "update", "full", "Tiny_Package.pkg")
        size = os.path.getsize(package)
        package_path = "/update/full/Tiny_Package.pkg"
        # Stretched over a second, so that kills land inside the transfer.
        self.server.call("POST", "/_ctl/fault/%s%s?kind=trickle&chunk=131072&delay=15" % (site.sid, package_path),
                         b"")
        tmp_package = os.path.join(site.root, "Tmp", "Tiny_Package.pkg")
        rels = sorted(new)

        def fetched_since(started):
            # The package of this run, not what a killed run left.
            return self.newer_than(site, "Tmp/Tiny_Package.pkg", started)

        def received():
            try:
                return os.path.getsize(tmp_package)
            except OSError:
                return 0

        def download(fraction):
            def trigger(started):
                return fetched_since(started) and received() >= fraction * size
            return trigger

        def unpack(count):
            arrived = []  # the run's package was seen whole

            def trigger(started):
                if not arrived and fetched_since(started) and received() == size:
                    arrived.append(True)
                return bool(arrived) and self.moved_in_since(site, rels, started) >= count
            return trigger

        def list_in_place(started):
            return self.newer_than(site, "HashMD5.xmp", started)

        rng = random.Random(20261210)
        plan = [("download %.2f" % f, download(f)) for f in sorted(rng.uniform(0.05, 0.95) for _ in range(4))]
        plan += [("unpack %d/%d" % (k, len(rels)), unpack(k))
                 for k in sorted(rng.randrange(0, len(rels) - 5) for _ in range(8))]
        plan += [("package list in place", list_in_place)]

        def install_again(site):
            # As a kill just after a new install began leaves it.
            write(os.path.join(site.root, MARKER), b"")

        self.run_points(site, plan, {}, new, "full install", outran=install_again)

        self.assertEqual(self.run_engine(site, "final", None)[0], "finished")
        self.assertConsistent(site, {}, new, "final run")
        self.assertIsRelease(site, new)

    def test_kills_during_a_client_repair_leave_old_or_new_files(self):
        new = release_files(1102, 300)
        old = old_client(new, 1103)
        site = Site(self.work, self.server, new, TARGET, installed=old, installed_version="1.0.0")
        changed = sorted(rel for rel in new if old.get(rel) != new[rel])
        self.assertGreater(len(changed), 250)

        def repaired(count):
            def trigger(started):
                return self.moved_in_since(site, changed, started) >= count
            return trigger

        def first_request(started):
            return any(m == "GET" and p.endswith(".pkg") for m, p, _ in site.requests()[self.seen:])

        rng = random.Random(20261211)
        plan = [("first package requested", first_request)]
        plan += [("repair %d/%d" % (k, len(changed)), repaired(k))
                 for k in sorted(rng.randrange(1, len(changed) - 10) for _ in range(9))]

        def note_requests():
            self.seen = len(site.requests())

        def back_to_old(site):
            for rel in new:
                if rel not in old and os.path.exists(self.path(site, rel)):
                    os.remove(self.path(site, rel))
            make_client(site.root, old)
            digests = {rel.replace("/", "\\"): md5(data) for rel, data in old.items()}
            write(os.path.join(site.root, "HashMD5.xmp"), mut.encode_hash_list(mut.keyed(digests, "cp1252")))
            write(os.path.join(site.root, "version.ini"), "[version]\r\ncur=1.0.0\r\n")

        self.run_points(site, plan, old, new, "client repair", before=note_requests, outran=back_to_old)

        self.assertEqual(self.run_engine(site, "final", None)[0], "finished")
        self.assertConsistent(site, old, new, "final run")
        self.assertIsRelease(site, new)


if __name__ == "__main__":
    unittest.main()
