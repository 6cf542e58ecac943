#!/usr/bin/env python3
"""The player's road through the real Brightgate.exe and the real Tidemill.exe.

The launcher is started as the game hall starts it. Its skin hosts the
browser double as the server page, which chooses a server, and the Flash
double as the game window's movie. The engine updates the client from 1.0.0
to 1.0.1 from a local update tree, and the game starts: the mini client and
the game client are stand-ins that record how they were started. When the
game ends, the launcher's first windows come back.

Paths and Wine come from the environment (see CMakeLists.txt).
"""
import os
import shutil
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "engine"))
sys.path.insert(0, HERE)
import engine_harness as eh  # noqa: E402
import launcher_system_test as ls  # noqa: E402
from test_conversation import INSTALLED, RELEASE  # noqa: E402  the same client, 1.0.0 and 1.0.1

BROWSER_DOUBLE = os.environ.get("QTEST_BROWSER_DOUBLE", "")
FLASH_DOUBLE = os.environ.get("QTEST_FLASH_DOUBLE", "")
STAND_IN = os.environ.get("QTEST_STAND_IN", "")
SKIN = os.path.join(HERE, "game_skin")

MAIN_CLASS, FRAME_CLASS, GAME_CLASS = "ql_launcher_main", "ql_launcher_frame", "ql_launcher_gamemain"
HOME = "http://127.0.0.1/servers"
TIP79 = "Step"
# Bounds for things that must happen; nothing asserts a speed.
ROAD_SECONDS = 50.0


def launcher_files():
    """The launcher's own files, the same on the server and in the installation,
    so that the engine finds the launcher current: the suite's skin with this
    test's frame and game window."""
    files = {"Brightgate.exe": eh.read(ls.BRIGHTGATE)}
    for skin in (ls.SKIN, SKIN):
        for folder, _, names in os.walk(skin):
            for name in names:
                path = os.path.join(folder, name)
                files[os.path.relpath(path, skin).replace(os.sep, "/")] = eh.read(path)
    return files


def read_text(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()
    except FileNotFoundError:
        return ""


def visible(windows, window_class):
    return [w for w in windows if w[2] == window_class and w[4]]


class TypicalRunTest(eh.LogAssertions, unittest.TestCase):
    def setUp(self):
        self.work = eh.new_work_folder(self.id().split(".")[-1])
        self.reports = ls.HttpSession()
        self.reports.put("trigger", b"0")
        self.site = eh.Site(self.work, eh.HttpServer(), RELEASE, "1.0.1", INSTALLED, "1.0.0",
                            served_launcher=launcher_files())
        self.root = self.site.root
        config = eh.mut.launcher_config(self.site.base_url, game_name=eh.GAME_NAME, platform="0",
                                        app_name=ls.APP_NAME)
        config = config.replace("\r\n\r\n[Server]", "\r\nReportEventUrl=%s\r\nTriggerEventUrl=%s\r\n\r\n[Server]"
                                % (self.reports.url("report"), self.reports.url("trigger")))
        eh.write(os.path.join(self.root, "LauncherConfig.ini"), config + "Tip79=%s\r\n" % TIP79)
        # The page chooses server 1 with its token once it has loaded.
        shutil.copy(BROWSER_DOUBLE, os.path.join(self.root, "browser_double.dll"))
        eh.write(os.path.join(self.root, "browser_scenario.txt"), 'load:1 500 external startGame "1" "tok"\n')
        shutil.copy(FLASH_DOUBLE, os.path.join(self.root, "flash_double.dll"))
        eh.write(os.path.join(self.root, "flash_scenario.txt"), "")
        os.makedirs(os.path.join(self.root, "Tiny"))
        shutil.copy(STAND_IN, os.path.join(self.root, "Tiny", "qlnmini.exe"))
        shutil.copy(STAND_IN, os.path.join(self.root, "Client.exe"))
        eh.write(os.path.join(self.root, "Client.exe.hold"), b"")  # the game runs until released
        # No client folder kept from an earlier run: the client's files make
        # the program folder the client folder.
        subprocess.run([ls.WINE_RUN, ls.WINE_ARCH, ls.PREFIX, "reg", "delete",
                        "HKCU\\Software\\Quillon\\" + eh.GAME_NAME, "/f"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=ls.PATIENCE)
        self.launcher = None

    def tearDown(self):
        if self.launcher is not None:
            self.launcher.stop()
        eh.kill_prefix()  # an engine a failed run left behind

    def flash_log(self):
        return read_text(os.path.join(self.root, "flash_calls.log"))

    def record(self, *path):
        return read_text(os.path.join(self.root, *path) + ".record")

    def test_a_chosen_server_is_updated_and_its_game_runs_in_the_game_window(self):
        self.launcher = ls.Launcher(os.path.join(self.root, "Brightgate.exe"), "PROCPARA=hall-1,ID=7,Key=k3y",
                                    self.root)

        # The page's choice swaps the main and the frame window for the game window.
        # Created visible, as its style says, then maximised: the probe may
        # see it in between.
        game = ls.wait_for(lambda: [w for w in visible(ls.top_level_windows(), GAME_CLASS) if w[5]],
                           "the maximised game window", ROAD_SECONDS)[0]
        windows = ls.top_level_windows()
        self.assertEqual(visible(windows, MAIN_CLASS) + visible(windows, FRAME_CLASS), [])
        pages = read_text(os.path.join(self.root, "browser_calls.log"))
        self.assertIn('Navigate2 VT_BSTR "%s?ID=7&Key=k3y&PROCPARA=hall-1"' % HOME, pages)
        self.assertIn('external startGame("1","tok")', pages)

        # The engine updates the client and starts the game, told the game window.
        client = ls.wait_for(lambda: self.record("Client.exe"), "the game client's start", ROAD_SECONDS)
        self.assertEqual(client.splitlines()[0].split(" cmd=", 1)[1], "wnd:%s;wndoffset:2,53,2,2;token:tok" % game[0])
        # Started first, the mini client may still be writing its record.
        mini = ls.wait_for(lambda: self.record("Tiny", "qlnmini.exe"), "the mini client's start", ROAD_SECONDS)
        self.assertEqual(mini.splitlines()[0].split(" cmd=", 1)[1], "")
        self.assertEqual(self.site.installed_version(), "1.0.1")
        for rel, data in RELEASE.items():
            self.assertEqual(self.site.file(rel), data, rel)
        log = self.site.html_log()
        self.assertNotIn("no server has the ID", log)
        self.assertLess(log.index("OnNotifyAction eActionType_CheckVer"), log.index("OnNotifyAction eActionType_StartGame"))

        # The engine's texts and progress reached the movie (sampled by its
        # timer, so a short step may never be seen).
        ls.wait_for(lambda: "<string>Starting the game  100%</string>" in self.flash_log(), "the movie at 100%", ROAD_SECONDS)
        movie = self.flash_log()
        self.assertOrdered(movie.splitlines(), [
            "CallFunction <invoke name='setTextOne'><arguments><string>Fetching the server list  0%</string>",
            "CallFunction <invoke name='setProValOne'><arguments><number>100</number></arguments></invoke>",
            "CallFunction <invoke name='setTextOne'><arguments><string>Starting the game  100%</string>"])
        self.assertIn("<string>%s  1/6</string>" % TIP79, movie)

        # While the game runs the launcher's first windows stay hidden; once
        # it ends they come back.
        time.sleep(1)
        windows = ls.top_level_windows()
        self.assertEqual(visible(windows, MAIN_CLASS) + visible(windows, FRAME_CLASS), [])
        self.assertEqual(len(visible(windows, GAME_CLASS)), 1)
        eh.write(os.path.join(self.root, "Client.exe.release"), b"")
        ls.wait_for(lambda: visible(ls.top_level_windows(), MAIN_CLASS) and
                    visible(ls.top_level_windows(), FRAME_CLASS), "the main and the frame window again", ROAD_SECONDS)
        self.assertEqual([w for w in ls.top_level_windows() if w[2] == GAME_CLASS], [])
        # The page is shown once more.
        ls.wait_for(lambda: read_text(os.path.join(self.root, "browser_calls.log")).count("Navigate2 VT_BSTR") >= 3,
                    "the page's reload", ROAD_SECONDS)

        ls.wait_for(lambda: any(e[3].endswith("event=Click Close Game or Game Crash&param=") for e in self.reports.log()),
                    "the report of the game's end", ROAD_SECONDS)
        events = [body.split("&event=", 1)[1] for method, _, _, body in self.reports.log() if method == "POST"]
        self.assertOrdered(events, [
            "Start Launcher&", "Click ServerName&", "Start Tidemill.exe&", "Start Tidemill.exe success&",
            "DownloadServerList_Sucess&", "PreDownloadReady&", "DownloadPatchVer_Sucess&", "StartUpdateClientRes&",
            "Start qlnmini.exe&", "Start qlnmini.exe sucess&", "Start Client.exe&", "Start Client.exe sucess&",
            "Click Close Game or Game Crash&"])

        main = visible(ls.top_level_windows(), MAIN_CLASS)[0]
        ls.probe("post", main[0], str(ls.WM_SYSCOMMAND), str(ls.SC_CLOSE), "0")
        self.assertEqual(self.launcher.exit_code(), 0)
        self.assertEqual(self.launcher.box_lines(), [])


if __name__ == "__main__":
    unittest.main()
