#!/usr/bin/env python3
"""Ferrier.exe under Wine, in scratch installation folders.

Every test builds a folder with Ferrier.exe, stand-ins named "Brightgate.exe"
and "Tidemill.exe" (they record each start in "<name>.record" and, started
with "linger", stay until "<name>.release" appears), the hall library double
and a package "Tmp/DownloadTmp.xmp" made by 7zz, then runs the copier and
looks at what it left: files, the launcher's hash list, the stand-ins'
records, the hall double's call log and the copier's own log.

Paths and Wine come from the environment (see CMakeLists.txt).
"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

ENV = os.environ
FERRIER = ENV.get("QTEST_FERRIER", "")
STAND_IN = ENV.get("QTEST_STAND_IN", "")
HALL_DLL = ENV.get("QTEST_HALL_DLL", "")
WINE_RUN = ENV.get("QTEST_WINE_RUN", "")
WINE_ARCH = ENV.get("QTEST_WINE_ARCH", "win64")
PREFIX = ENV.get("QTEST_WINE_PREFIX", "")
SCRATCH = ENV.get("QTEST_SCRATCH", "")

# Generous bounds for things that must happen; nothing asserts a speed.
PATIENCE = 90.0

LAUNCHER = "Brightgate.exe"
ENGINE = "Tidemill.exe"
HASH_LIST = "LancherHashMD5.xmp"
PACKAGE = os.path.join("Tmp", "DownloadTmp.xmp")


def path_hash(path):
    """The 64-bit key of a relative path in the hash lists."""
    a = b = 0
    for byte in path.replace("/", "\\").lower().encode("ascii"):
        c = byte - 256 if byte >= 128 else byte
        a = (a * 7 + c) & 0xFFFFFFFF
        b = (b * 31 + c) & 0xFFFFFFFF
    return (a << 32) | b


def read_hash_list(path):
    with open(path, "rb") as f:
        data = f.read()
    entries = {}
    for at in range(0, len(data) - len(data) % 24, 24):
        (key,) = struct.unpack_from("<Q", data, at)
        entries[key] = data[at + 8:at + 24]
    return entries


def write_hash_list(path, entries):
    with open(path, "wb") as f:
        for key in sorted(entries):
            f.write(struct.pack("<Q", key) + entries[key])


def md5(data):
    return hashlib.md5(data).digest()


def wait_for(condition, what, timeout=PATIENCE):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("gave up waiting for " + what)


def read_text(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("utf-8", "replace")
    except FileNotFoundError:
        return ""


def whole_lines(path):
    """The file's lines that were written to their end: the doubles end every
    line, so a tail without one is still being written."""
    text = read_text(path)
    return [line for line in text[:text.rfind("\n") + 1].splitlines() if line]


def wine_server():
    return "/usr/lib/wine/wineserver64" if WINE_ARCH == "win64" else "/usr/lib/wine/wineserver32"


class Installation:
    """A scratch installation folder."""

    def __init__(self, name):
        self.root = os.path.join(SCRATCH, name)
        shutil.rmtree(self.root, ignore_errors=True)
        os.makedirs(os.path.join(self.root, "Tmp"))
        shutil.copy(FERRIER, os.path.join(self.root, "Ferrier.exe"))
        with open(STAND_IN, "rb") as f:
            self.old_program = f.read()
        # The new copies differ from the old ones by trailing bytes, which a
        # Windows program carries along unread.
        self.new_program = self.old_program + b"new copy\0" * 16
        for program in (LAUNCHER, ENGINE):
            self.write(program, self.old_program)
        self.other_entries = {path_hash("Skin\\main.xml"): md5(b"skin"),
                              path_hash(LAUNCHER): md5(b"stale"),
                              path_hash(ENGINE): md5(b"stale")}
        write_hash_list(self.path(HASH_LIST), self.other_entries)

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def write(self, relative, data):
        os.makedirs(os.path.dirname(self.path(relative)), exist_ok=True)
        with open(self.path(relative), "wb") as f:
            f.write(data)

    def read(self, relative):
        with open(self.path(relative), "rb") as f:
            return f.read()

    def add_hall_library(self, scenario):
        shutil.copy(HALL_DLL, self.path("HallProcMsgHelper.dll"))
        self.write("hall_scenario.txt", scenario.encode())

    def make_package(self, files, renames=(), truncate=False):
        """Packs {name: bytes} with 7zz into Tmp/DownloadTmp.xmp."""
        stage = tempfile.mkdtemp(dir=SCRATCH)
        try:
            for name, data in files.items():
                os.makedirs(os.path.dirname(os.path.join(stage, name)) or stage, exist_ok=True)
                with open(os.path.join(stage, name), "wb") as f:
                    f.write(data)
            archive = self.path(PACKAGE)
            if os.path.exists(archive):
                os.remove(archive)
            subprocess.run(["7zz", "a", "-t7z", archive] + sorted(files), cwd=stage, check=True,
                           stdout=subprocess.DEVNULL)
            for old, new in renames:
                subprocess.run(["7zz", "rn", archive, old, new], check=True, stdout=subprocess.DEVNULL)
            if truncate:
                data = self.read(PACKAGE)
                self.write(PACKAGE, data[:len(data) // 2])
        finally:
            shutil.rmtree(stage, ignore_errors=True)

    def records(self, program):
        """The stand-in's record lines of `program`."""
        return whole_lines(self.path(program + ".record"))

    def starts(self, program):
        return [line for line in self.records(program) if line.startswith("start ")]

    def log(self):
        return read_text(self.path("Log", "Ferrier.log"))

    def hall_calls(self):
        return whole_lines(self.path("hall_calls.log"))

    def run(self, program, args, cwd=None):
        """Starts a program of the folder under Wine; the caller waits."""
        return subprocess.Popen([WINE_RUN, WINE_ARCH, PREFIX, self.path(program)] + args,
                                cwd=cwd or self.root, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start_lingering(self, program, args=("linger",)):
        process = self.run(program, list(args))
        wait_for(lambda: self.starts(program), program + " to start")
        return process

    def release(self, program):
        self.write(program + ".release", b"")


def start_line(program_bytes, command_line):
    return "start size=%d cmd=%s" % (len(program_bytes), command_line)


class CopierSystemTest(unittest.TestCase):
    def setUp(self):
        os.makedirs(SCRATCH, exist_ok=True)
        # Whatever an earlier test left running in this prefix goes.
        subprocess.run([wine_server(), "-k"], env=dict(ENV, WINEPREFIX=PREFIX),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([wine_server(), "-w"], env=dict(ENV, WINEPREFIX=PREFIX),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes = []

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()

    def run_copier(self, site, args, cwd=None):
        process = site.run("Ferrier.exe", args, cwd=cwd)
        self.processes.append(process)
        return process

    def finish(self, process):
        return process.wait(timeout=PATIENCE)

    def assert_recorded(self, site, program, data):
        entries = read_hash_list(site.path(HASH_LIST))
        expected = dict(site.other_entries)
        expected[path_hash(program)] = md5(data)
        self.assertEqual(entries, expected)

    # Mode one: the launcher.

    def test_replaces_the_launcher_when_none_runs(self):
        site = Installation("launcher_none_running")
        site.make_package({LAUNCHER: site.new_program})
        # Started from another folder without "LauncherConfig.ini": the copier
        # works in its own folder.
        self.assertEqual(self.finish(self.run_copier(site, ["1"], cwd=SCRATCH)), 0)
        self.assertEqual(site.read(LAUNCHER), site.new_program)
        self.assert_recorded(site, LAUNCHER, site.new_program)
        wait_for(lambda: site.starts(LAUNCHER), "the new launcher")
        self.assertEqual(site.starts(LAUNCHER), [start_line(site.new_program, "restart")])
        self.assertEqual(site.starts(ENGINE), [])
        self.assertNotIn("ending it", site.log())

    def test_ends_a_launcher_that_will_not_go(self):
        site = Installation("launcher_lingers")
        site.make_package({LAUNCHER: site.new_program})
        self.processes.append(site.start_lingering(LAUNCHER))
        self.assertEqual(self.finish(self.run_copier(site, ["1"])), 0)
        self.assertIn("Brightgate.exe did not exit; ending it", site.log())
        self.assertEqual(site.read(LAUNCHER), site.new_program)
        self.assert_recorded(site, LAUNCHER, site.new_program)
        wait_for(lambda: len(site.starts(LAUNCHER)) == 2, "the new launcher")
        # The old one was ended, not let go: it never wrote its exit.
        self.assertEqual(site.records(LAUNCHER),
                         [start_line(site.old_program, "linger"), start_line(site.new_program, "restart")])

    # Mode two: the engine.

    def test_replaces_the_engine_after_it_exits(self):
        site = Installation("engine")
        site.make_package({ENGINE: site.new_program})
        self.processes.append(site.start_lingering(ENGINE))
        copier = self.run_copier(site, ["game", "core"])
        wait_for(lambda: "waiting for Tidemill.exe to exit" in site.log(), "the copier to wait")
        site.release(ENGINE)
        self.assertEqual(self.finish(copier), 0)
        self.assertEqual(site.read(ENGINE), site.new_program)
        self.assertEqual(site.read(LAUNCHER), site.old_program)
        self.assert_recorded(site, ENGINE, site.new_program)
        wait_for(lambda: len(site.starts(ENGINE)) == 2, "the new engine")
        records = site.records(ENGINE)
        self.assertEqual(records[0], start_line(site.old_program, "linger"))
        self.assertEqual(records[-1], start_line(site.new_program, "restart"))
        self.assertEqual(site.starts(LAUNCHER), [])

    def test_empty_command_line_does_nothing(self):
        site = Installation("empty_command_line")
        site.make_package({LAUNCHER: site.new_program})
        package = site.read(PACKAGE)
        self.assertEqual(self.finish(self.run_copier(site, [])), 0)
        self.assertEqual(site.read(LAUNCHER), site.old_program)
        self.assertEqual(site.read(PACKAGE), package)
        self.assertEqual(read_hash_list(site.path(HASH_LIST)), site.other_entries)
        self.assertEqual(site.starts(LAUNCHER), [])

    # Packages that must not be installed.

    def assert_old_launcher_restarted(self, site, command_line):
        self.assertEqual(site.read(LAUNCHER), site.old_program)
        self.assertEqual(read_hash_list(site.path(HASH_LIST)), site.other_entries)
        wait_for(lambda: site.starts(LAUNCHER), "the old launcher")
        self.assertEqual(site.starts(LAUNCHER)[-1], start_line(site.old_program, command_line))
        log = site.log()
        self.assertIn("unpacking Tmp/DownloadTmp.xmp failed", log)
        self.assertIn("starting the old Brightgate.exe again", log)

    def test_damaged_package_starts_the_old_launcher_again(self):
        site = Installation("damaged_package")
        site.make_package({LAUNCHER: site.new_program}, truncate=True)
        self.assertEqual(self.finish(self.run_copier(site, ["1"])), 0)
        self.assert_old_launcher_restarted(site, "restart")

    def test_hostile_package_is_refused_whole(self):
        site = Installation("hostile_package")
        site.make_package({LAUNCHER: site.new_program, "evil.txt": b"outside"},
                          renames=[("evil.txt", "../evil.txt")])
        outside = os.path.join(os.path.dirname(site.root), "evil.txt")
        if os.path.exists(outside):
            os.remove(outside)
        self.assertEqual(self.finish(self.run_copier(site, ["1"])), 0)
        self.assertFalse(os.path.exists(outside))
        self.assert_old_launcher_restarted(site, "restart")

    def test_entry_that_cannot_be_written_fails_the_unpack(self):
        site = Installation("unwritable_entry")
        # "Skin" is a folder of the installation; a file of that name cannot
        # be written.
        os.makedirs(site.path("Skin"))
        site.make_package({LAUNCHER: site.new_program, "Skin": b"not a folder"})
        self.assertEqual(self.finish(self.run_copier(site, ["1"])), 0)
        self.assertTrue(os.path.isdir(site.path("Skin")))
        # Nothing is recorded for a failed unpack, whatever got written.
        self.assertEqual(read_hash_list(site.path(HASH_LIST)), site.other_entries)
        self.assertIn(site.read(LAUNCHER), (site.old_program, site.new_program))
        wait_for(lambda: site.starts(LAUNCHER), "a launcher")
        self.assertIn("unpacking Tmp/DownloadTmp.xmp failed", site.log())

    def test_package_without_the_program_is_logged(self):
        # A package that unpacks but holds no new launcher changes nothing:
        # the log must say so rather than read like a replacement.
        site = Installation("package_without_program")
        site.make_package({"Skin/main.xml": b"skin"})
        self.assertEqual(self.finish(self.run_copier(site, ["1"])), 0)
        self.assertEqual(site.read("Skin/main.xml"), b"skin")
        self.assertEqual(site.read(LAUNCHER), site.old_program)
        self.assertIn("the package left Brightgate.exe as it was", site.log())
        wait_for(lambda: site.starts(LAUNCHER), "the launcher")

    # Mode three: the hall.

    HALL_SCENARIO = "\n".join([
        "connect 0 connected",
        # Nothing asked yet: neither reply may count.
        "connect 0 message 11 text:early",
        "connect 0 message 3 flag:1",
        "connect 0 message 6 text:command",
        # Replies to the request: three broken ones, the good one, a late one.
        "request 0 message 11 fill:128",
        "request 0 message 11 text:abc length=70000",
        "request 0 message 11 text:abc length=-1",
        "request 0 message 11 text:fresh",
        "request 0 message 11 text:late",
        "file:close.now 0 closed",
        "",
    ])
    HALL_LIST = "ID=7,PROCPARA=old,ModelID=m"
    REBUILT_LIST = "ID=7,ModelID=m,PROCPARA=fresh"

    def run_hall_mode(self, site):
        site.add_hall_library(self.HALL_SCENARIO)
        self.processes.append(site.start_lingering(LAUNCHER))
        copier = self.run_copier(site, ["1", "2", self.HALL_LIST])
        wait_for(lambda: "deliver connected to 1" in site.hall_calls(), "the hall to connect")
        # While the old launcher runs nothing is asked of the hall.
        time.sleep(1.0)
        self.assertFalse([c for c in site.hall_calls() if c.startswith("send")])
        self.assertIsNone(copier.poll())
        site.release(LAUNCHER)
        wait_for(lambda: len(site.starts(LAUNCHER)) == 2, "a launcher started by the copier")
        # The copier stays connected until the hall closes.
        self.assertIsNone(copier.poll())
        site.write("close.now", b"")
        self.assertEqual(self.finish(copier), 0)

        calls = site.hall_calls()
        own_calls = [c for c in calls if not c.startswith("deliver") and not c.startswith("is-connected")]
        self.assertEqual(own_calls, [
            "create", "initialise", "add-handler", 'connect "old" -> 1',
            "send size=8 type=11 length=0 body=", "remove-handler", "release"])
        self.assertEqual(site.records(LAUNCHER)[:2], [start_line(site.old_program, "linger"), "exit"])
        return site.log()

    def test_hall_mode_replaces_the_launcher_with_a_fresh_parameter(self):
        site = Installation("hall")
        site.make_package({LAUNCHER: site.new_program})
        log = self.run_hall_mode(site)
        self.assertEqual(site.read(LAUNCHER), site.new_program)
        self.assert_recorded(site, LAUNCHER, site.new_program)
        self.assertEqual(site.starts(LAUNCHER)[-1], start_line(site.new_program, self.REBUILT_LIST))
        # What the copier made of the hall's other messages.
        self.assertEqual(log.count("hall reply with a parameter ignored: nothing was asked"), 2)
        self.assertIn("hall reply with a parameter of 128 bytes ignored", log)
        self.assertEqual(log.count("hall message ignored: length out of range"), 2)
        self.assertIn("hall message of type 3 ignored", log)
        self.assertIn("hall message of type 6 ignored", log)

    def test_hall_mode_waits_while_the_hall_does_not_reply(self):
        site = Installation("hall_no_reply")
        site.make_package({LAUNCHER: site.new_program})
        package = site.read(PACKAGE)
        site.add_hall_library("connect 0 connected\nfile:close.now 0 closed\n")
        # No launcher runs: the copier asks at once.
        copier = self.run_copier(site, ["1", "2", self.HALL_LIST])
        wait_for(lambda: [c for c in site.hall_calls() if c.startswith("send")], "the request")
        time.sleep(1.0)
        self.assertIsNone(copier.poll())
        self.assertIn("-> 5 (waiting)", site.log())
        self.assertEqual(site.read(LAUNCHER), site.old_program)
        self.assertEqual(site.read(PACKAGE), package)
        self.assertEqual(site.starts(LAUNCHER), [])
        site.write("close.now", b"")
        self.assertEqual(self.finish(copier), 0)
        self.assertEqual(site.starts(LAUNCHER), [])
        self.assertEqual(read_hash_list(site.path(HASH_LIST)), site.other_entries)

    def test_hall_mode_replaces_when_the_hall_closes_after_its_reply(self):
        # The fresh parameter is in hand: a hall that hangs up at once must
        # not leave the player without a launcher.
        site = Installation("hall_closes_after_reply")
        site.make_package({LAUNCHER: site.new_program})
        site.add_hall_library("connect 0 connected\nrequest 0 message 11 text:fresh\nrequest 0 closed\n")
        self.assertEqual(self.finish(self.run_copier(site, ["1", "2", self.HALL_LIST])), 0)
        self.assertEqual(site.read(LAUNCHER), site.new_program)
        self.assert_recorded(site, LAUNCHER, site.new_program)
        wait_for(lambda: site.starts(LAUNCHER), "the new launcher")
        self.assertEqual(site.starts(LAUNCHER), [start_line(site.new_program, self.REBUILT_LIST)])

    def test_hall_mode_with_a_damaged_package_starts_the_old_launcher(self):
        site = Installation("hall_damaged_package")
        site.make_package({LAUNCHER: site.new_program}, truncate=True)
        self.run_hall_mode(site)
        self.assert_old_launcher_restarted(site, self.REBUILT_LIST)

    def test_hall_mode_ends_without_a_hall(self):
        cases = [
            ("refused", "connect-result 0\n", ['connect "old" -> 0']),
            ("failed", "connect 0 connect-failed\n", ['connect "old" -> 1', "deliver connect-failed to 1"]),
            ("closed", "connect 0 closed\n", ['connect "old" -> 1', "deliver closed to 1"]),
            ("no_library", None, []),
        ]
        for name, scenario, expected_calls in cases:
            with self.subTest(name):
                site = Installation("hall_" + name)
                site.make_package({LAUNCHER: site.new_program})
                if scenario is not None:
                    site.add_hall_library(scenario)
                self.assertEqual(self.finish(self.run_copier(site, ["1", "2", self.HALL_LIST])), 0)
                calls = site.hall_calls()
                for call in expected_calls:
                    self.assertIn(call, calls)
                self.assertFalse([c for c in calls if c.startswith("send")])
                self.assertEqual(site.read(LAUNCHER), site.old_program)
                self.assertEqual(read_hash_list(site.path(HASH_LIST)), site.other_entries)
                self.assertEqual(site.starts(LAUNCHER), [])
                if scenario is None:
                    self.assertIn("the hall library HallProcMsgHelper.dll could not be loaded", site.log())


if __name__ == "__main__":
    for name, value in (("QTEST_FERRIER", FERRIER), ("QTEST_WINE_RUN", WINE_RUN), ("QTEST_SCRATCH", SCRATCH)):
        if not value:
            sys.exit(name + " is not set")
    unittest.main()
