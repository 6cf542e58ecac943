"""The launcher replaced while it runs, with the real programs: Brightgate.exe
started as the game hall starts it, the real Tidemill.exe and Ferrier.exe,
and an update server whose launcher list names a changed Brightgate.exe.

The launcher's page is the browser double, which chooses server 1 as soon
as it loads; the game's two programs are stand-ins. Everything runs in the
engine suite's prefix and under its lock (the same system-wide names)."""
import os
import shutil
import subprocess
import sys
import unittest
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "engine"))
from engine_harness import (GAME_NAME, TIDEMILL, HttpServer, LogAssertions, Site, kill_prefix,  # noqa: E402
                            new_work_folder, programs_running_in, read, write)
from launcher_system_test import (MAIN_CLASS, PREFIX, SC_CLOSE, UI_PROBE, WINE_ARCH, WINE_RUN,  # noqa: E402
                                  WM_SYSCOMMAND, Launcher, probe, top_level_windows, wait_for)
# The same client as the conversation test, and the road test's skin: the
# page is the browser double, the game window's movie the Flash double.
from test_conversation import INSTALLED, RELEASE  # noqa: E402
from test_typical_run import launcher_files  # noqa: E402

ENV = os.environ
FERRIER = ENV.get("QUILLON_FERRIER_EXE", "")
BROWSER_DOUBLE = ENV.get("QTEST_BROWSER_DOUBLE", "")
HALL_DOUBLE = ENV.get("QTEST_HALL_DOUBLE", "")
STAND_IN = ENV.get("QTEST_STAND_IN", "")
FLASH_DOUBLE = ENV.get("QTEST_FLASH_DOUBLE", "")

# Each run stays well inside this; nothing asserts a speed.
RUN_SECONDS = 55

# A Windows program carries trailing bytes along unread: the new launcher
# runs like the old one but has another digest.
TAIL = b"next release\0" * 16

# The hall answers every request for a parameter and closes the asking
# program's connection 3.5 s later; the last launcher stays until
# "done" appears.
HALL_SCENARIO = ("connect 0 connected\n"
                 "request 0 message 11 text:fresh-2\n"
                 "request 3500 closed\n"
                 "file:done 0 closed\n")
# A request for a fresh parameter in the hall's log.
ASKED = "send size=8 type=11 length=0 body=\n"
PROGRAM = "Brightgate.exe"
# A file of the skin whose change makes the engine restart the launcher.
NOTES = "Skin/Launcher/notes.txt"
OLD_NOTES, NEW_NOTES = b"release 1.0.0\n", b"release 1.0.1\n"
# Every launcher's page chooses server 1 once it has loaded.
PAGE = 'load:1 0 external startGame "1" "tok"\n'


class SelfUpdateTest(LogAssertions, unittest.TestCase):
    def setUp(self):
        self.server = HttpServer()
        self.work = new_work_folder(self.id().split(".")[-1])
        self.old_program = launcher_files()[PROGRAM]
        self.new_program = self.old_program + TAIL
        self.launchers = []
        self.site = None
        # No client folder kept from an earlier run: the client marker in
        # the root makes it the client folder.
        self.forget_client_folder()

    def tearDown(self):
        for launcher in self.launchers:
            if not launcher.ended():
                launcher.process.kill()
            launcher.box_lines()
        if self.site is not None and programs_running_in(self.site.root):
            kill_prefix()  # the suite's own prefix: nothing else lives there
        # The launcher recorded this root as the client folder; the engine
        # of a later test in this prefix would take it for its own.
        self.forget_client_folder()

    @staticmethod
    def forget_client_folder():
        subprocess.run([WINE_RUN, WINE_ARCH, PREFIX, "reg", "delete", "HKCU\\Software\\Quillon\\" + GAME_NAME, "/f"],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    # ---- The installation ----------------------------------------------------
    def make_site(self, platform, hall_scenario=None, changed=PROGRAM):
        """changed: the launcher file that the server holds in a new version."""
        engine = read(TIDEMILL)
        served = dict(launcher_files(), **{"Tidemill.exe": engine})
        installed = dict(served)
        served[changed] = self.new_program if changed == PROGRAM else NEW_NOTES
        installed[changed] = self.old_program if changed == PROGRAM else OLD_NOTES
        site = Site(self.work, self.server, RELEASE, "1.0.1", INSTALLED, "1.0.0",
                    served_launcher=served, installed_launcher=installed)
        self.site = site
        shutil.copy(FERRIER, os.path.join(site.root, "Ferrier.exe"))
        shutil.copy(BROWSER_DOUBLE, os.path.join(site.root, "browser_double.dll"))
        write(os.path.join(site.root, "browser_scenario.txt"), PAGE)
        shutil.copy(FLASH_DOUBLE, os.path.join(site.root, "flash_double.dll"))
        write(os.path.join(site.root, "flash_scenario.txt"), "")
        # The game: a mini client and a client that end at once.
        shutil.copy(STAND_IN, os.path.join(site.root, "Client.exe"))
        os.makedirs(os.path.join(site.root, "Tiny"), exist_ok=True)
        shutil.copy(STAND_IN, os.path.join(site.root, "Tiny", "qlnmini.exe"))
        if hall_scenario is not None:
            shutil.copy(HALL_DOUBLE, os.path.join(site.root, "HallProcMsgHelper.dll"))
            write(os.path.join(site.root, "hall_scenario.txt"), hall_scenario)
        # The engine's configuration with the launcher's own keys: reports
        # go to the update server's session; no trigger and no key request.
        config = read(os.path.join(site.root, "LauncherConfig.ini")).decode("utf-8")
        config = config.replace("Platform=\r\n", "Platform=%s\r\nReportEventUrl=%sreport\r\nRefreshPage=0\r\n"
                                % (platform, site.base_url), 1)
        write(os.path.join(site.root, "LauncherConfig.ini"), config)
        return site

    def start(self, tail):
        """Brightgate.exe started as the hall starts it, from the root."""
        launcher = Launcher(os.path.join(self.site.root, "Brightgate.exe"), tail, self.site.root)
        self.launchers.append(launcher)
        return launcher

    # ---- What happened ------------------------------------------------------
    def reports(self):
        """(open id, event) of every report the launchers posted, in order."""
        found = []
        for line in self.server.call("GET", "/_ctl/log/" + self.site.sid).splitlines():
            fields = line.split("\t")
            if len(fields) >= 7 and fields[0] == "POST" and fields[1] == "/report":
                values = dict(item.partition("=")[::2] for item in fields[6].split("&"))
                found.append((values.get("openid", ""), values.get("event", "")))
        return found

    def ferrier_log(self):
        try:
            return read(os.path.join(self.site.root, "Log", "Ferrier.log")).decode("utf-8", errors="replace")
        except OSError:
            return ""

    def hall_calls(self):
        try:
            return read(os.path.join(self.site.root, "hall_calls.log")).decode("utf-8").splitlines()
        except OSError:
            return []

    def record(self, program):
        try:
            return read(os.path.join(self.site.root, *program.split("/")) + ".record").decode("utf-8").splitlines()
        except OSError:
            return []

    def wait_for_the_game(self, open_id):
        """The new launcher started the game, whose end brought its windows back."""
        wait_for(lambda: (open_id, "Click Close Game or Game Crash") in self.reports(), "the game's end",
                 RUN_SECONDS)

    def close_every_launcher(self):
        for window in top_level_windows():
            if window[2] == MAIN_CLASS:
                probe("post", window[0], str(WM_SYSCOMMAND), str(SC_CLOSE), "0")

    def installation_programs(self):
        """The installation's programs still running (the probe's box watcher
        names a log file there, but is none of them)."""
        return [p for p in programs_running_in(self.site.root) if os.path.basename(UI_PROBE) not in p]

    def wait_until_gone(self):
        try:
            wait_for(lambda: not self.installation_programs(), "every program of the installation to end", 30)
        except AssertionError:
            self.fail("still running: %r" % self.installation_programs())

    def assertInOrder(self, text, parts):
        """Each part occurs in text after the one before it."""
        position = 0
        for part in parts:
            found = text.find(part, position)
            self.assertGreaterEqual(found, 0, "%r after offset %d in:\n%s" % (part, position, text))
            position = found + len(part)

    def assertHallCalls(self, ordered, programs):
        """The hall's log holds `ordered` in this order; `programs` programs
        connected and let go of the hall at their end."""
        calls = "\n".join(self.hall_calls())
        self.assertInOrder(calls, ordered)
        self.assertEqual(calls.count("connect "), programs, calls)
        self.assertEqual(calls.count("\nrelease"), programs, calls)

    def assertLauncherFilesAreNew(self, changed=PROGRAM):
        """The changed file installed and recorded, and nothing else fetched."""
        site = self.site
        self.assertEqual(site.file(PROGRAM), self.new_program if changed == PROGRAM else self.old_program)
        served = read(os.path.join(site.tree, "launcher", "LancherHashMD5.xmp"))
        self.assertEqual(read(os.path.join(site.root, "LancherHashMD5.xmp")), served)
        packages = [urllib.request.unquote(path).replace("\\", "/").rsplit("/", 1)[1]
                    for method, path, status in site.requests()
                    if method == "GET" and "/launcher/" in path and path.endswith(".pkg")]
        self.assertEqual(packages, [changed.rsplit("/", 1)[-1] + ".pkg"])
        event = "eCallBackType_WaitRelaunch1" if changed == PROGRAM else "eCallBackType_WaitReStartLaunch1"
        self.assertIn(event, site.html_log())

    def assertUpdateWentOn(self, open_id):
        """The new launcher took over the conversation and the engine finished."""
        events = [event for who, event in self.reports() if who == open_id]
        self.assertOrdered(events, ["Start Launcher", "Click ServerName", "Start Tidemill.exe",
                                    "Start Tidemill.exe success", "DownloadServerList_Sucess", "PreDownloadReady",
                                    "DownloadPatchVer_Sucess", "StartUpdateClientRes", "Start qlnmini.exe sucess",
                                    "Start Client.exe sucess", "Click Close Game or Game Crash"])
        log = self.site.html_log()
        self.assertIn("OnNotifyAction eActionType_CheckVer", log)
        self.assertIn("OnNotifyAction eActionType_StartGame", log)
        self.assertEqual(self.site.installed_version(), "1.0.1")
        for rel, data in RELEASE.items():
            self.assertEqual(self.site.file(rel), data, rel)
        self.assertEqual(len(self.record("Client.exe")), 1)
        self.assertIn("token:tok", self.record("Client.exe")[0])

    # ---- The cases ----------------------------------------------------------
    def test_without_a_hall_the_copier_replaces_the_launcher_and_the_new_one_goes_on(self):
        self.make_site("0")
        old = self.start("ID=7")
        # The copier's restart carries no parameters: the new launcher
        # reports with an empty open id.
        self.wait_for_the_game("")
        wait_for(lambda: not [p for p in self.installation_programs() if "Tidemill.exe" in p],
                 "the engine to end", RUN_SECONDS)
        self.close_every_launcher()
        self.wait_until_gone()

        self.assertLauncherFilesAreNew()
        log = self.ferrier_log()
        # The old launcher chose its server and started the engine, which
        # told it to make way; it was still there when the copier came.
        self.assertInOrder(log, ["replacing Brightgate.exe", "waiting for Brightgate.exe to exit",
                                 "Brightgate.exe did not exit; ending it", "recorded the digest of Brightgate.exe",
                                 'started Brightgate.exe (process ', ') with "restart"'])
        old_events = [event for who, event in self.reports() if who == "7"]
        self.assertEqual(old_events, ["Start Launcher", "Click ServerName", "Start Tidemill.exe",
                                      "Start Tidemill.exe success"])
        self.assertUpdateWentOn("")
        self.assertEqual(old.box_lines(), [])

    def test_with_a_hall_the_copier_starts_the_launcher_with_a_fresh_parameter(self):
        self.make_site("1", HALL_SCENARIO)
        old = self.start("PROCPARA=hall-1,ModelID=Quillon.Test,ID=7")
        rebuilt = "ID=7,ModelID=Quillon.Test,PROCPARA=fresh-2"
        wait_for(lambda: ('started Brightgate.exe' in self.ferrier_log()), "the copier's start", RUN_SECONDS)
        self.wait_for_the_game("7")
        write(os.path.join(self.site.root, "done"), "")
        self.wait_until_gone()

        self.assertLauncherFilesAreNew()
        log = self.ferrier_log()
        # The launcher asked for the parameter and started the copier in
        # hall mode with the list rebuilt around it, in key order.
        self.assertInOrder(log, ['hall mode with the parameter list "%s"' % rebuilt,
                                 "recorded the digest of Brightgate.exe",
                                 'started Brightgate.exe (process ', ') with "%s"' % rebuilt])
        self.assertNotIn("ending it", log)
        # The old launcher left when the hall closed its connection.
        self.assertEqual(old.exit_code(), 0)
        # The old launcher and then the copier asked for a parameter; the
        # copier and the new launcher connected with the fresh one; all
        # three let go of the hall at their end.
        self.assertHallCalls(['connect "hall-1" -> 1', ASKED, "deliver message type=11 length=7",
                              'connect "fresh-2" -> 1', ASKED, 'connect "fresh-2" -> 1'], programs=3)
        self.assertEqual([event for who, event in self.reports()].count("Start Launcher"), 2)
        self.assertUpdateWentOn("7")
        self.assertEqual(old.box_lines(), [])

    def test_a_refused_hall_connection_ends_the_launcher_without_windows(self):
        self.make_site("1", "connect-result 0\n")
        launcher = self.start("PROCPARA=hall-1,ID=7")
        self.assertEqual(launcher.exit_code(RUN_SECONDS), 0)
        self.assertEqual(launcher.box_lines(), ["box\t退出提示\t管道连接失败，程序退出!"])
        self.assertEqual([w for w in top_level_windows() if w[2].startswith("ql_launcher_")], [])
        self.assertEqual(self.hall_calls(), ["create", "initialise", "add-handler", 'connect "hall-1" -> 0',
                                             "remove-handler", "release"])
        # No window was set up: not even the start was reported.
        self.assertEqual(self.reports(), [])

    def test_a_hall_that_fails_or_closes_at_once_ends_the_launcher(self):
        # Delivered on the library's thread before the windows exist: the
        # launcher acts on them once they do.
        self.make_site("1", "")
        cases = [("connect 0 connect-failed\n", ["box\t提示\t管道连接失败，程序退出!"]),
                 ("connect 0 closed\n", [])]
        for scenario, boxes in cases:
            with self.subTest(scenario=scenario):
                write(os.path.join(self.site.root, "hall_scenario.txt"), scenario)
                if os.path.exists(os.path.join(self.site.root, "hall_calls.log")):
                    os.remove(os.path.join(self.site.root, "hall_calls.log"))
                launcher = self.start("PROCPARA=hall-1,ID=7")
                self.assertEqual(launcher.exit_code(RUN_SECONDS), 0)
                self.assertEqual(launcher.box_lines(), boxes)
                self.assertEqual([w for w in top_level_windows() if w[2].startswith("ql_launcher_")], [])
                self.assertEqual(self.hall_calls()[-2:], ["remove-handler", "release"])

    # A changed skin file: the engine has the launcher restart itself.
    def test_without_a_hall_a_changed_skin_restarts_the_launcher_without_parameters(self):
        self.make_site("0", changed=NOTES)
        old = self.start("ID=7")
        # The old launcher started the new one and ended by itself.
        self.assertEqual(old.exit_code(RUN_SECONDS), 0)
        self.wait_for_the_game("")
        self.close_every_launcher()
        self.wait_until_gone()

        self.assertLauncherFilesAreNew(NOTES)
        self.assertEqual(self.site.file(NOTES), NEW_NOTES)
        self.assertEqual(self.ferrier_log(), "")
        self.assertEqual([event for who, event in self.reports() if who == "7"],
                         ["Start Launcher", "Click ServerName", "Start Tidemill.exe", "Start Tidemill.exe success"])
        self.assertUpdateWentOn("")
        self.assertEqual(old.box_lines(), [])

    def test_with_a_hall_a_changed_skin_restarts_the_launcher_with_a_fresh_parameter(self):
        self.make_site("1", HALL_SCENARIO, changed=NOTES)
        old = self.start("PROCPARA=hall-1,ModelID=Quillon.Test,ID=7")
        self.assertEqual(old.exit_code(RUN_SECONDS), 0)
        self.wait_for_the_game("7")
        write(os.path.join(self.site.root, "done"), "")
        self.wait_until_gone()

        self.assertLauncherFilesAreNew(NOTES)
        self.assertEqual(self.ferrier_log(), "")
        # The launcher itself, shown, with the list rebuilt around the
        # hall's fresh parameter: it connects with that parameter.
        self.assertHallCalls(['connect "hall-1" -> 1', ASKED, "deliver message type=11 length=7",
                              'connect "fresh-2" -> 1'], programs=2)
        self.assertEqual([event for who, event in self.reports()].count("Start Launcher"), 2)
        self.assertUpdateWentOn("7")
        self.assertEqual(old.box_lines(), [])


if __name__ == "__main__":
    unittest.main()
