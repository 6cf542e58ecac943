"""Tidemill.exe end to end: launcher doubles, the local HTTP server and
update trees built by tools/make_update_tree.py."""
import glob
import os
import shutil
import subprocess
import time
import unittest

from engine_harness import (GAME_NAME, LAUNCHER_FILES, RUN_SECONDS, TIDEMILL, WINE_ARCH, WINE_PREFIX, WINE_RUN,
                            HttpServer, Launcher, LogAssertions, Site, deep_folder, kill_prefix, map_test_drive, mut,
                            new_work_folder, programs_running_in, read, run_engine, write)

THEME = bytes(range(256)) * 64
RELEASE = {
    "binkw32.dll": b"bink 1.0\n",
    "Config/localconfig.xml": b"<config/>\n",
    "Data/maps/first map.txt": b"map one, revised\n" * 50,
    "Data/maps/second.txt": b"second map\n",
    "Data/sound/theme.ogg": THEME,
    "Data/new in 1.0.1.txt": b"new\n",
}
INSTALLED = {
    "binkw32.dll": RELEASE["binkw32.dll"],
    "Config/localconfig.xml": RELEASE["Config/localconfig.xml"],
    "Data/maps/first map.txt": b"map one\n" * 50,
    "Data/maps/second.txt": RELEASE["Data/maps/second.txt"],
    "Data/sound/theme.ogg": THEME[:1000],
}
CHANGED = ["Data/maps/first map.txt", "Data/new in 1.0.1.txt", "Data/sound/theme.ogg"]

# A launcher that chooses server 1 and starts the game, as the real one does.
PLAYER = ("--server", "1", "--start-game", "--exit-on", "6", "--wait-engine")


class EngineTest(LogAssertions, unittest.TestCase):
    def setUp(self):
        self.server = HttpServer()
        self.work = new_work_folder(self.id().split(".")[-1])
        self.launchers = []

    def tearDown(self):
        leftovers = any(l.process.poll() is None for l in self.launchers) or any(
            "ENGINE_RUNNING" in l.lines() for l in self.launchers)
        for launcher in self.launchers:
            if launcher.process.poll() is None:
                launcher.process.kill()
        if leftovers:
            kill_prefix()  # the suite's own prefix: nothing else lives there

    def site(self, installed=INSTALLED, installed_version="1.0.0"):
        return Site(self.work, self.server, RELEASE, "1.0.1", installed, installed_version)

    def launcher(self, site, name, *args):
        launcher = Launcher(site, name, *args)
        self.launchers.append(launcher)
        return launcher

    def assertClientIsRelease(self, site):
        for rel, data in RELEASE.items():
            self.assertEqual(site.file(rel), data, rel)
        self.assertEqual(site.installed_version(), "1.0.1")
        served = os.path.join(site.tree, "update", "1.0.1", "client", "HashMD5.xmp")
        self.assertEqual(read(os.path.join(site.root, "HashMD5.xmp")), read(served))

    def test_typical_run_repairs_the_client_and_launches_the_game(self):
        site = self.site()
        player = self.launcher(site, "player", *PLAYER)
        lines = player.finish()

        greeting = player.greetings()
        self.assertEqual(len(greeting), 1, lines)
        self.assertTrue(greeting[0].endswith("FROM 0 VISIBLE 0"), greeting)  # hidden, whatever the starter asked
        self.assertEqual(player.callbacks(), [0, 18, 1, 17, 6])
        self.assertOrdered(lines, ["NOTIFY_WND", "CALLBACK 0 ", "CALLBACK 18 ", "SENT eActionType_CheckVer 1",
                                   "CALLBACK 1 ", "SENT eActionType_StartGame", "CALLBACK 17 ",
                                   "CALLBACK 6 ", "ENGINE_EXIT 0"])
        self.assertIn("PROGRESS 100 100", lines)
        self.assertIn("TEXT 0 V1.0.0", lines)
        self.assertIn("TEXT 1 V1.0.1", lines)
        self.assertIn("TEXT 0 V1.0.1", lines)
        texts = [line for line in lines if line.startswith("TEXT 2 ")]
        self.assertEqual(texts[-1], "TEXT 2 Starting the game")

        self.assertEqual(sorted(site.fetched_packages()), CHANGED)
        self.assertClientIsRelease(site)
        log = site.html_log()
        self.assertIn("Start Tidemill.exe", log)
        self.assertIn("m_kState = eNotifyWndState_WaitClose", log)
        self.assertIn("eCallBackType_FinishClient2 RemoveNotifyWnd", log)

    def test_empty_client_gets_the_full_package_then_launches(self):
        site = self.site(installed=None)
        player = self.launcher(site, "player", *PLAYER)
        lines = player.finish()
        # 0 and 18 reach a launcher however late it answers the greeting; the
        # package events only once it has answered, which may be after them.
        expected = [0, 13, 14, 16, 18, 1, 6]
        received = player.callbacks()
        self.assertEqual([c for c in received if c in (0, 18, 1, 6)], [0, 18, 1, 6], lines)
        self.assertEqual(received, [c for c in expected if c in received], lines)
        self.assertEqual(player.engine_exit(), 0)
        self.assertEqual(site.fetched_packages(), [])
        self.assertClientIsRelease(site)

    def waiting_player(self, site):
        """A player whose engine runs and is ready, waiting for its go file;
        the player, the go file and a stop file for a second launcher."""
        go = os.path.join(self.work, "go")
        stop = os.path.join(self.work, "stop")
        player = self.launcher(site, "player", "--go-file", go, *PLAYER)
        self.assertIsNotNone(player.wait_for("CALLBACK 18 "), player.lines())
        return player, go, stop

    def test_second_launcher_is_served_by_the_running_engine(self):
        site = self.site()
        player, go, stop = self.waiting_player(site)

        # Its own engine finds the first one running, hands over that
        # engine's window and ends; the first engine then greets it late.
        watcher = self.launcher(site, "watcher", "--stop-file", stop, "--wait-engine")
        self.assertIsNotNone(watcher.wait_for("CALLBACK 18 "), watcher.lines())
        self.assertIsNotNone(watcher.wait_for("ENGINE_EXIT "), watcher.lines())
        self.assertEqual(watcher.engine_exit(), 0)
        first_engine = player.greetings()[0].split()[1]
        self.assertEqual([g.split()[1] for g in watcher.greetings()], [first_engine])

        write(go, b"")
        self.assertIsNotNone(player.wait_for("CALLBACK 6 "), player.lines())
        write(stop, b"")  # the last launcher goes: the first engine ends
        watcher_lines = watcher.finish()
        player_lines = player.finish()
        self.assertEqual(player.callbacks(), [0, 18, 1, 17, 6])
        self.assertEqual(player.engine_exit(), 0)
        # Broadcasts reach both; the version answer and the launch only the one that asked.
        self.assertEqual(watcher.callbacks(), [0, 18, 17])
        self.assertIn("TEXT 1 V1.0.1", watcher_lines)
        self.assertIn("TEXT 1 V1.0.1", player_lines)
        self.assertClientIsRelease(site)

    def test_a_running_engines_window_that_cannot_be_read_is_not_handed_over(self):
        # The running engine's "wnd" of another type: the second engine must
        # not greet its launcher with a window that is none.
        site = self.site()
        player, go, stop = self.waiting_player(site)
        subprocess.run([WINE_RUN, WINE_ARCH, WINE_PREFIX, "reg", "add", "HKCU\\Software\\Quillon\\" + GAME_NAME,
                        "/v", "wnd", "/t", "REG_DWORD", "/d", "7", "/f"],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        watcher = self.launcher(site, "watcher", "--stop-file", stop, "--wait-engine")
        self.assertIsNotNone(watcher.wait_for("ENGINE_EXIT "), watcher.lines())
        self.assertEqual(watcher.engine_exit(), 0)
        self.assertEqual(watcher.greetings(), [])
        self.assertIn("names no engine window", site.html_log())

        write(go, b"")
        write(stop, b"")
        watcher.finish()
        player.finish()
        self.assertEqual(player.callbacks(), [0, 18, 1, 17, 6])

    def test_two_engines_started_together_serve_with_one_window(self):
        # Two launchers start their engines at the same moment: one engine
        # serves, the other hands its window over and ends.
        site = self.site()
        stop = os.path.join(self.work, "stop")
        first = self.launcher(site, "first", "--stop-file", stop)
        second = self.launcher(site, "second", "--stop-file", stop)
        for launcher in (first, second):
            self.assertIsNotNone(launcher.wait_for("NOTIFY_WND "), launcher.lines())
        greeted = {launcher.greetings()[0].split()[1] for launcher in (first, second)}
        self.assertEqual(len(greeted), 1, (first.lines(), second.lines()))
        deadline = time.monotonic() + RUN_SECONDS
        while time.monotonic() < deadline and first.engine_exit() is None and second.engine_exit() is None:
            time.sleep(0.05)
        exits = [launcher.engine_exit() for launcher in (first, second)]
        self.assertIn(exits, ([0, None], [None, 0]), (first.lines(), second.lines()))
        serving = first if exits[0] is None else second
        # The one that serves goes on with the update for both.
        self.assertIsNotNone(serving.wait_for("CALLBACK 18 "), serving.lines())
        write(stop, b"")
        first.finish()
        second.finish()
        deadline = time.monotonic() + RUN_SECONDS
        while programs_running_in(site.root) and time.monotonic() < deadline:
            time.sleep(0.1)
        self.assertEqual(programs_running_in(site.root), [])

    def test_restart_reads_the_launcher_windows_back(self):
        site = self.site()
        # A dead handle first; the double adds itself as fwnd1; nothing after.
        write(os.path.join(site.root, "Tidemill.ini"), "[Tidemill]\r\nfwnd0=1\r\n")
        player = self.launcher(site, "player", "--ini-slot", "1", "--engine-args", "restart", *PLAYER)
        lines = player.finish()
        self.assertEqual(len(player.greetings()), 1, lines)
        self.assertEqual(player.callbacks(), [0, 18, 1, 17, 6])
        self.assertEqual(player.engine_exit(), 0)
        self.assertClientIsRelease(site)

    def test_restart_without_windows_ends_at_once(self):
        site = self.site()
        write(os.path.join(site.root, "Tidemill.ini"), "[Tidemill]\r\nfwnd0=0\r\nfwnd1=1\r\n")
        self.assertEqual(run_engine(site, "restart"), 0)
        self.assertIn("vecHwnd.empty()", site.html_log())
        self.assertEqual(site.requests(), [])

    def test_handle_that_is_no_window_ends_the_engine_quietly(self):
        site = self.site()
        player = self.launcher(site, "player", "--engine-args", "1", "--exit-with-engine")
        lines = player.finish()
        self.assertEqual(player.engine_exit(), 0, lines)
        self.assertEqual(player.greetings(), [])
        log = site.html_log()
        self.assertIn("Start Tidemill.exe", log)
        self.assertNotIn("vecHwnd.empty()", log)
        self.assertNotIn("CF_NOTIFY_WND", log)
        self.assertEqual(site.requests(), [])
        self.assertEqual(site.installed_version(), "1.0.0")

    def test_closed_launcher_window_ends_the_engine_after_the_pre_download(self):
        site = self.site()
        player = self.launcher(site, "player", "--close-on", "18", "--exit-with-engine")
        lines = player.finish()
        self.assertOrdered(lines, ["CALLBACK 0 ", "CALLBACK 18 ", "CLOSED_WINDOW", "ENGINE_EXIT 0"])
        self.assertEqual(site.fetched_packages(), [])
        self.assertEqual(site.installed_version(), "1.0.0")

    def test_deep_current_folder_is_the_root_whole(self):
        # The longest folders that can be current. The drive is the test's
        # own: an engine that fell back to the drive root would write there.
        drive = os.path.join(self.work, "drive")
        self.addCleanup(map_test_drive(drive))
        program = os.path.join(self.work, "bin", "Tidemill.exe")
        os.makedirs(os.path.dirname(program))
        shutil.copy(TIDEMILL, program)
        for length in (256, 257, 258):
            root, windows_root = deep_folder(drive, "q", length)
            write(os.path.join(root, "LauncherConfig.ini"), mut.launcher_config("http://127.0.0.1:9/"))
            write(os.path.join(root, "Tidemill.ini"), "[Tidemill]\r\nfwnd0=0\r\n")
            code = subprocess.run([WINE_RUN, WINE_ARCH, WINE_PREFIX, program, "restart"], cwd=root,
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  timeout=120).returncode
            self.assertEqual(code, 0, length)
            logs = glob.glob(os.path.join(root, "Log", "Launcher-*.html"))
            self.assertEqual(len(logs), 1, length)
            log = read(logs[0]).decode("utf-8", errors="replace")
            self.assertIn("vecHwnd.empty()", log)
            self.assertIn("root=%s\\ " % windows_root, log)
            self.assertEqual(os.listdir(drive), ["d" * 50], length)
            shutil.rmtree(os.path.join(drive, "d" * 50))


    def test_launcher_file_or_engine_failing_for_good_ends_the_engine(self):
        # The package of a changed launcher file, or of a changed engine, is
        # gone from the server: the engine reports it and ends, so that it
        # holds no mutex and no later launcher is handed its window.
        skin = "Skin/Launcher/layout/Main.xml"
        engine = read(TIDEMILL)
        cases = [
            ("launcher_file", dict(LAUNCHER_FILES, **{skin: b"<Window size=\"1,1\"/>\n"}), LAUNCHER_FILES,
             skin + ".pkg", 10, "A launcher file could not be fetched"),
            ("engine", dict(LAUNCHER_FILES, **{"Tidemill.exe": engine + b"next\0" * 16}),
             dict(LAUNCHER_FILES, **{"Tidemill.exe": engine}), "Tidemill.exe.pkg", 9,
             "The launcher could not be fetched"),
        ]
        for name, served, installed, package, event, status in cases:
            with self.subTest(name):
                work = new_work_folder(self.id().split(".")[-1] + "_" + name)
                site = Site(work, self.server, RELEASE, "1.0.1", INSTALLED, "1.0.0", served_launcher=served,
                            installed_launcher=installed)
                os.remove(os.path.join(site.tree, "launcher", *package.split("/")))
                # Events reach a launcher only once it has answered the
                # greeting: the launcher list comes slowly enough for that.
                self.server.call("POST", "/_ctl/fault/%s/launcher/LancherHashMD5.xmp?kind=trickle&chunk=8&delay=100"
                                 % site.sid, b"")
                player = self.launcher(site, "player", "--exit-with-engine")
                lines = player.finish()
                self.assertEqual(player.engine_exit(), 0, lines)
                self.assertIn(event, player.callbacks(), lines)
                self.assertIn("TEXT 2 " + status, lines)
                self.assertNotIn(0, player.callbacks(), lines)  # the server list was never asked
                deadline = time.monotonic() + 10
                while programs_running_in(site.root) and time.monotonic() < deadline:
                    time.sleep(0.1)
                self.assertEqual(programs_running_in(site.root), [])
                self.assertEqual(site.installed_version(), "1.0.0")

if __name__ == "__main__":
    unittest.main()
