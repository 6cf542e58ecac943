#!/usr/bin/env python3
"""Brightgate.exe under Wine, started as the game hall starts it.

Every test lays out an installation folder with the real Brightgate.exe, the
tests' own small skin, a "LauncherConfig.ini" whose addresses lie in a
session of the shared HTTP test server, and a client marker file (so that
the client-folder finder never reaches the drive pick, which under Wine
would pick the host's "/"). The UI probe starts the program with an exact
command line, looks at its windows, posts to them and presses OK on any
message box, which the tests then count as a failure.

Paths and Wine come from the environment (see CMakeLists.txt).
"""
import os
import shutil
import subprocess
import sys
import time
import unittest
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "engine"))
from engine_harness import map_test_drive  # noqa: E402

ENV = os.environ
BRIGHTGATE = ENV.get("QTEST_BRIGHTGATE", "")
UI_PROBE = ENV.get("QTEST_UI_PROBE", "")
WINE_RUN = ENV.get("QTEST_WINE_RUN", "")
WINE_ARCH = ENV.get("QTEST_WINE_ARCH", "win64")
PREFIX = ENV.get("QTEST_WINE_PREFIX", "")
SCRATCH = ENV.get("QTEST_SCRATCH", "")
PORT_FILE = ENV.get("QUILLON_HTTP_PORT_FILE", "")
SKIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "skin")

MAIN_CLASS = "ql_launcher_main"
APP_NAME = "Quillon Launcher Test"
GAME_NAME = "QuillonLauncherTest"
FORM = "application/x-www-form-urlencoded"
# The platform identifier that the key request carries (launcher/event_reports.cpp).
APP_ID = "1000001"
WM_SYSCOMMAND, SC_CLOSE, SC_RESTORE = 0x0112, 0xF060, 0xF120
WM_KEYDOWN, VK_ESCAPE = 0x0100, 0x1B
# Client points of the test skin's buttons (skin/Skin/Launcher/layout/Main.xml).
CLOSE_BUTTON = (785, 15)
MINIMIZE_BUTTON = (755, 15)

# Generous bounds for things that must happen; nothing asserts a speed.
PATIENCE = 60.0


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_for(condition, what, timeout=PATIENCE):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("gave up waiting for " + what)


def probe(*args, timeout=PATIENCE):
    """Runs one UI probe command; its standard output."""
    done = subprocess.run([WINE_RUN, WINE_ARCH, PREFIX, UI_PROBE] + list(args), stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout)
    return done.stdout.decode("utf-8", "replace")


def top_level_windows():
    """(hwnd, pid, class, title, visible, zoomed, (l, t, r, b), owner) per window."""
    windows = []
    for line in probe("list").splitlines():
        fields = line.split("\t")
        if len(fields) < 8:
            continue
        rect = tuple(int(v) for v in fields[6].split(","))
        windows.append((fields[0], fields[1], fields[2], fields[3], fields[4] == "1", fields[5] == "1", rect,
                        fields[7]))
    return windows


def windows_of(pid, window_class):
    return [w for w in top_level_windows() if w[1] == str(pid) and w[2] == window_class]


class HttpSession:
    """A session of the shared test server; the launcher's three addresses."""

    def __init__(self):
        with open(PORT_FILE) as f:
            self.base = "http://127.0.0.1:%d" % int(f.read().strip())
        self.sid = self.call("POST", "/_ctl/session", b"").strip()

    def call(self, method, path, data=None):
        request = urllib.request.Request(self.base + path, data=data, method=method)
        with urllib.request.urlopen(request, timeout=30) as answer:
            return answer.read().decode("utf-8")

    def url(self, path):
        return "%s/%s/%s" % (self.base, self.sid, path)

    def put(self, path, data):
        self.call("PUT", "/_ctl/file/%s/%s" % (self.sid, path), data)

    def fault(self, path, query):
        self.call("POST", "/_ctl/fault/%s/%s?%s" % (self.sid, path, query), b"")

    def log(self):
        """(method, target, content type, body) of every request so far."""
        entries = []
        for line in self.call("GET", "/_ctl/log/" + self.sid).splitlines():
            fields = line.split("\t")
            if len(fields) >= 7:
                entries.append((fields[0], fields[1], fields[5], fields[6]))
        return entries


class Launcher:
    """One Brightgate.exe process started through the probe."""

    def __init__(self, program, tail, cwd, windows_program=None, windows_cwd=None):
        """windows_program, windows_cwd: the paths as the program sees them,
        when not on drive Z:."""
        self.box_log = os.path.join(os.path.dirname(program), "boxes.log")
        self.box_stop = self.box_log + ".stop"
        for leftover in (self.box_log, self.box_stop):
            if os.path.exists(leftover):
                os.remove(leftover)
        self.boxes = subprocess.Popen([WINE_RUN, WINE_ARCH, PREFIX, UI_PROBE, "boxes", "--log",
                                       wine_path(self.box_log), "--until", wine_path(self.box_stop)],
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
        self.started = time.monotonic()
        self.process = subprocess.Popen([WINE_RUN, WINE_ARCH, PREFIX, UI_PROBE, "start",
                                         windows_program or wine_path(program), tail,
                                         windows_cwd or wine_path(cwd), "--wait", "120000"],
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL)
        self.ended_at = None
        self.output = ""

    def ended(self):
        if self.ended_at is None and self.process.poll() is not None:
            self.ended_at = time.monotonic()
            self.output = self.process.stdout.read().decode("utf-8", "replace")
        return self.ended_at is not None

    def exit_code(self, timeout=PATIENCE):
        wait_for(self.ended, "the launcher to end", timeout)
        for line in self.output.splitlines():
            if line.startswith("exit "):
                return int(line.split()[1])
        raise AssertionError("the launcher did not end in time: %r" % self.output)

    def pid(self):
        """The process id, read from the window list while it runs."""
        found = wait_for(lambda: [w for w in top_level_windows() if w[2] == MAIN_CLASS], "the main window")
        return int(found[0][1])

    def main_window(self):
        found = wait_for(lambda: [w for w in top_level_windows() if w[2] == MAIN_CLASS and w[4]],
                         "a visible main window")
        return found[0]

    def box_lines(self):
        open(self.box_stop, "w").close()
        try:
            self.boxes.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.boxes.kill()
        try:
            with open(self.box_log, encoding="utf-8") as f:
                return [line for line in f.read().splitlines() if line]
        except FileNotFoundError:
            return []

    def stop(self):
        """Ends a launcher that a failed test left running."""
        if not self.ended():
            for window in top_level_windows():
                if window[2] == MAIN_CLASS:
                    probe("post", window[0], str(WM_SYSCOMMAND), str(SC_CLOSE), "0")
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()
        self.box_lines()


class LauncherSystemTest(unittest.TestCase):
    def setUp(self):
        self.root = os.path.join(SCRATCH, self.id().split(".")[-1])
        shutil.rmtree(self.root, ignore_errors=True)
        self.install = os.path.join(self.root, "install")
        shutil.copytree(SKIN, self.install)
        self.program = os.path.join(self.install, "Brightgate.exe")
        shutil.copy(BRIGHTGATE, self.program)
        # No client folder kept from an earlier test; a client file makes the
        # program folder the client folder.
        subprocess.run([WINE_RUN, WINE_ARCH, PREFIX, "reg", "delete", "HKCU\\Software\\Quillon\\" + GAME_NAME, "/f"],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=PATIENCE)
        self.add_client_marker(self.install)
        self.http = HttpSession()
        self.http.put("trigger", b"0")
        self.launchers = []

    def tearDown(self):
        for launcher in self.launchers:
            launcher.stop()

    @staticmethod
    def add_client_marker(folder):
        with open(os.path.join(folder, "binkw32.dll"), "wb") as f:
            f.write(b"client marker\n")

    def write_config(self, platform, folder=None, app_name=APP_NAME, extra=""):
        text = ("[platform]\r\nPlatform=%s\r\nGameName=%s\r\nGetPfkeyByOpenid=%s\r\nReportEventUrl=%s\r\n"
                "TriggerEventUrl=%s\r\nRefreshPage=1\r\n%s[Launcher]\r\nAppName=%s\r\n"
                % (platform, GAME_NAME, self.http.url("key"), self.http.url("report"), self.http.url("trigger"),
                   extra, app_name))
        with open(os.path.join(folder or self.install, "LauncherConfig.ini"), "w", newline="") as f:
            f.write(text)

    def start(self, tail, cwd=None):
        launcher = Launcher(self.program, tail, cwd or self.install)
        self.launchers.append(launcher)
        return launcher

    def close(self, launcher):
        window = launcher.main_window()
        probe("post", window[0], str(WM_SYSCOMMAND), str(SC_CLOSE), "0")
        return launcher.exit_code()

    def start_requests(self, open_id, key):
        """The requests of every start-up, in order, byte for byte."""
        return [("GET", "/trigger", "-", ""),
                ("POST", "/report", FORM, "openid=%s&event=Start Launcher&param=" % open_id),
                ("GET", "/key?openid=%s&openkey=%s&appid=%s&pf=website&sDataType=api" % (open_id, key, APP_ID),
                 "-", "")]

    # ---- Start-up ---------------------------------------------------------
    def test_hall_platform_without_a_hall_parameter_ends_at_once(self):
        self.write_config("1")
        launcher = self.start("ID=7,Key=k3y")
        self.assertEqual(launcher.exit_code(), 0)
        self.assertEqual(launcher.box_lines(), [])
        self.assertEqual([w for w in top_level_windows() if w[2] == MAIN_CLASS], [])
        time.sleep(0.5)
        self.assertEqual(self.http.log(), [])
        self.assertFalse(os.path.exists(os.path.join(self.install, "LancherCache.ini")))

        # Started by the hall it runs; without the hall's library, as if
        # started without a hall.
        launcher = self.start("PROCPARA=hall-1,ID=7,Key=k3y")
        self.assertEqual(launcher.main_window()[3], APP_NAME)
        self.assertEqual(self.close(launcher), 0)
        self.assertEqual(self.http.log(), self.start_requests("7", "k3y"))
        self.assertEqual(launcher.box_lines(), [])

    def test_main_window_shows_centred_with_its_title_and_reports_the_start(self):
        self.write_config("0")
        launcher = self.start("ID=7,Key=k3y")
        window = launcher.main_window()
        self.assertEqual(window[3], APP_NAME)
        # Created visible, then centred in the null driver's 1024 x 768 work
        # area: the probe may see it before the move.
        centred = ((1024 - 800) // 2, (768 - 572) // 2)
        def place():
            return next((w[6] for w in top_level_windows() if w[0] == window[0]), None)
        try:
            wait_for(lambda: place() is not None and tuple(place()[:2]) == centred, "the centred main window")
        except AssertionError:
            pass  # the place it has is reported below
        left, top, right, bottom = place()
        self.assertEqual((right - left, bottom - top), (800, 572))
        self.assertEqual((left, top), centred)
        expected = self.start_requests("7", "k3y")
        wait_for(lambda: len(self.http.log()) >= len(expected), "the start-up requests")
        # Escape, which closes other skinned windows, leaves this one open.
        probe("post", window[0], str(WM_KEYDOWN), str(VK_ESCAPE), "0")
        time.sleep(1)
        self.assertFalse(launcher.ended())
        self.assertEqual(self.close(launcher), 0)
        # The system menu's close quits without a report.
        self.assertEqual(self.http.log(), expected)
        self.assertEqual(launcher.box_lines(), [])

    def test_start_from_another_folder_finds_the_skin_and_the_configuration(self):
        self.write_config("0")
        elsewhere = os.path.join(self.root, "elsewhere")
        os.makedirs(elsewhere)
        launcher = self.start("ID=7,Key=k3y", cwd=elsewhere)
        self.assertEqual(launcher.main_window()[3], APP_NAME)
        wait_for(lambda: len(self.http.log()) >= 3, "the start-up requests")
        self.assertEqual(self.close(launcher), 0)
        self.assertEqual(launcher.box_lines(), [])

        # A folder that holds a configuration of its own is the program
        # folder; the skin still comes from beside the program.
        own = os.path.join(self.root, "own")
        os.makedirs(own)
        self.write_config("0", folder=own, app_name="Own Folder")
        self.add_client_marker(own)
        launcher = self.start("", cwd=own)
        self.assertEqual(launcher.main_window()[3], "Own Folder")
        self.assertEqual(self.close(launcher), 0)
        self.assertEqual(launcher.box_lines(), [])
        # An empty list sends an empty open id and key.
        self.assertEqual(self.http.log(), self.start_requests("7", "k3y") + self.start_requests("", ""))

    def test_a_launcher_at_a_drive_root_reads_the_roots_configuration(self):
        # Started from another folder of the same drive: "R:" alone would
        # name that folder, not the root.
        drive = os.path.join(self.root, "drive")
        shutil.copytree(self.install, drive)
        self.addCleanup(map_test_drive(drive, "r", prefix=PREFIX))
        self.write_config("0", folder=drive, app_name="Drive Root")
        os.makedirs(os.path.join(drive, "elsewhere"))
        launcher = Launcher(os.path.join(drive, "Brightgate.exe"), "ID=7,Key=k3y", drive,
                            windows_program="R:\\Brightgate.exe", windows_cwd="R:\\elsewhere")
        self.launchers.append(launcher)
        self.assertEqual(launcher.main_window()[3], "Drive Root")
        self.assertEqual(self.close(launcher), 0)
        self.assertEqual(launcher.box_lines(), [])

    # ---- Close rule ---------------------------------------------------------
    def click(self, launcher, point):
        window = launcher.main_window()
        probe("click", window[0], str(point[0]), str(point[1]))

    def start_with_flags(self, flags):
        """A launcher of player 7 with the given cache file, once set up."""
        self.write_config("0")
        with open(os.path.join(self.install, "LancherCache.ini"), "w", newline="") as f:
            f.write("[Flag]\r\n" + flags)
        launcher = self.start("ID=7,Key=k3y")
        launcher.main_window()
        expected = self.start_requests("7", "k3y")
        wait_for(lambda: len(self.http.log()) >= len(expected), "the start-up requests")
        return launcher, expected

    def assert_close_button_quits(self, launcher, expected):
        self.click(launcher, CLOSE_BUTTON)
        self.assertEqual(launcher.exit_code(), 0)
        self.assertEqual(self.http.log(), expected + [("POST", "/report", FORM, "openid=7&event=Close Launcher&param=")])
        self.assertEqual(launcher.box_lines(), [])

    def test_close_button_of_a_player_allowed_to_close_reports_and_quits(self):
        launcher, expected = self.start_with_flags("7=1\r\n")
        self.click(launcher, MINIMIZE_BUTTON)
        wait_for(lambda: launcher.main_window()[6][0] <= -32000, "the minimised main window")
        probe("post", launcher.main_window()[0], str(WM_SYSCOMMAND), str(SC_RESTORE), "0")
        wait_for(lambda: launcher.main_window()[6][0] == 112, "the restored main window")
        self.assert_close_button_quits(launcher, expected)

    def test_closing_is_allowed_after_thirty_seconds_and_remembered(self):
        launcher, expected = self.start_with_flags("8=1\r\n")
        cache = os.path.join(self.install, "LancherCache.ini")
        self.click(launcher, CLOSE_BUTTON)
        time.sleep(2)
        self.assertFalse(launcher.ended())
        self.assertEqual(self.http.log(), expected)
        # The 30 s count starts with the main window, after the process did:
        # measured from the process start, the check cannot come late however
        # slowly the window appeared.
        time.sleep(max(0.0, launcher.started + 27 - time.monotonic()))
        with open(cache) as f:
            self.assertNotIn("7=1", f.read())
        wait_for(lambda: "7=1" in open(cache).read(), "the close flag", timeout=30)
        with open(cache) as f:
            text = f.read()
        self.assertIn("[Flag]", text)
        self.assertIn("8=1", text)
        self.assert_close_button_quits(launcher, expected)

    # ---- Ending -------------------------------------------------------------
    def test_quitting_during_a_stalled_transfer_ends_the_launcher_promptly(self):
        self.write_config("0")
        self.http.put("key", b"answer")
        self.http.fault("key", "kind=stall&after=0&secs=30")
        launcher = self.start("ID=7,Key=k3y")
        window = launcher.main_window()
        wait_for(lambda: any(e[1].startswith("/key?") for e in self.http.log()), "the stalled key request")
        time.sleep(0.5)  # well inside the stalled transfer
        posted = time.monotonic()
        probe("post", window[0], str(WM_SYSCOMMAND), str(SC_CLOSE), "0")
        self.assertEqual(launcher.exit_code(timeout=25), 0)
        # Without the abort the worker would wait for its 10 s time-out; the
        # bound leaves room for a loaded machine.
        self.assertLess(launcher.ended_at - posted, 7.0)
        self.assertEqual(launcher.box_lines(), [])


if __name__ == "__main__":
    unittest.main()
