"""The launcher's engine conversation against the real Tidemill.exe: a
program that holds only the conversation chooses a server, starts the
engine and follows it until the game would start."""
import os
import random
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "engine"))
from engine_harness import HttpServer, Launcher, LogAssertions, Site, kill_prefix, new_work_folder  # noqa: E402

HOST = os.environ.get("QUILLON_CONVERSATION_HOST", "")

RELEASE = {
    "binkw32.dll": b"bink 1.0\n",
    "Config/localconfig.xml": b"<config/>\n",
    "Data/maps/first map.txt": b"map one, revised\n" * 50,
    "Data/new in 1.0.1.txt": b"new\n",
}
INSTALLED = {
    "binkw32.dll": RELEASE["binkw32.dll"],
    "Config/localconfig.xml": RELEASE["Config/localconfig.xml"],
    "Data/maps/first map.txt": b"map one\n" * 50,
}


# A file that cannot be compressed, served slowly: the update lasts long
# enough for a second choice to reach the engine while it runs.
SLOW_FILE = "Data/slow.bin"
SLOW_RELEASE = dict(RELEASE, **{SLOW_FILE: random.Random(27).randbytes(60000)})


class ConversationTest(LogAssertions, unittest.TestCase):
    def setUp(self):
        self.server = HttpServer()
        self.work = new_work_folder(self.id().split(".")[-1])
        self.host = None

    def tearDown(self):
        if self.host is not None and self.host.process.poll() is None:
            self.host.process.kill()
            kill_prefix()  # the suite's own prefix: nothing else lives there

    def test_a_choice_updates_the_client_and_starts_the_game(self):
        site = Site(self.work, self.server, RELEASE, "1.0.1", INSTALLED, "1.0.0")
        self.host = Launcher(site, "host", "--server", "1", "--token", "tok", program=HOST)
        lines = self.host.finish()

        window = int(lines[0].split()[1])
        self.assertOrdered(lines, [
            "STOP_RELOADS", "REPORT Click ServerName|", "OPEN_GAME", "HIDE_MAIN_FRAME",
            "REPORT Start Tidemill.exe|", "ENGINE_STARTED ", "REPORT Start Tidemill.exe success|",
            "REPORT DownloadServerList_Sucess|", "REPORT PreDownloadReady|", "REPORT DownloadPatchVer_Sucess|",
            "REPORT StartUpdateClientRes|", "START_GAME", "ENGINE_EXIT 0", "EXIT game"])
        self.assertIn("PROGRESS 100 100", lines)
        self.assertIn("TEXT Updating client files", lines)  # slot 2, for the game window
        self.assertFalse([l for l in lines if l.startswith(("BOX", "QUIT"))], lines)
        # The engine understood the choice and the game start.
        log = site.html_log()
        self.assertIn("OnNotifyAction eActionType_CheckVer", log)
        self.assertIn("OnNotifyAction eActionType_StartGame", log)
        self.assertEqual(site.installed_version(), "1.0.1")
        for rel, data in RELEASE.items():
            self.assertEqual(site.file(rel), data, rel)
        self.assertGreater(window, 0)


    def test_a_second_choice_during_the_client_update_lets_it_finish_and_starts_the_game_once(self):
        site = Site(self.work, self.server, SLOW_RELEASE, "1.0.1", INSTALLED, "1.0.0")
        self.server.call("POST", "/_ctl/fault/%s/update/1.0.1/client/%s.pkg?kind=trickle&chunk=400&delay=100"
                         % (site.sid, SLOW_FILE), b"")
        self.host = Launcher(site, "host", "--server", "1", "--token", "tok",
                             "--choose-again-on", "StartUpdateClientRes", program=HOST)
        lines = self.host.finish()

        self.assertOrdered(lines, [
            "REPORT StartUpdateClientRes|", "CHOOSE_AGAIN", "REPORT Start Tidemill.exe|", "ENGINE_STARTED ",
            "REPORT PreDownloadReady|", "START_GAME", "ENGINE_EXIT 0", "EXIT game"])
        self.assertEqual(lines.count("START_GAME"), 1, lines)
        self.assertFalse([l for l in lines if l.startswith(("BOX", "QUIT"))], lines)
        # The second choice reached the engine while the update ran, and
        # was set aside.
        log = site.html_log()
        self.assertEqual(log.count("OnNotifyAction eActionType_CheckVer"), 2, log)
        self.assertIn("eActionType_CheckVer ignored: the client update of this launcher runs", log)
        self.assertEqual(site.installed_version(), "1.0.1")
        for rel, data in SLOW_RELEASE.items():
            self.assertEqual(site.file(rel), data, rel)


if __name__ == "__main__":
    unittest.main()
