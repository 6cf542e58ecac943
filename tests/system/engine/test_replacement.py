"""The launcher and the engine replaced while they run: the real Tidemill.exe
and Ferrier.exe, with the launcher double installed as "Brightgate.exe"."""
import glob
import os
import shutil
import time
import unittest

from engine_harness import (LAUNCHER_DOUBLE, LAUNCHER_FILES, RUN_SECONDS, TIDEMILL, HttpServer, Launcher,
                            LogAssertions, Site, kill_prefix, new_work_folder, programs_running_in, read)

FERRIER = os.environ.get("QUILLON_FERRIER_EXE", "")

RELEASE = {
    "binkw32.dll": b"bink 1.0\n",
    "Data/maps/first map.txt": b"map one, revised\n" * 50,
}
INSTALLED = {
    "binkw32.dll": RELEASE["binkw32.dll"],
    "Data/maps/first map.txt": b"map one\n" * 50,
}
SKIN = "Skin/Launcher/layout/Main.xml"
# A Windows program carries trailing bytes along unread: the new copies run
# like the old ones but have other digests.
TAIL = b"next release\0" * 16

# A launcher that chooses server 1 and starts the game, as the real one does.
PLAYER = ("--server", "1", "--start-game", "--exit-on", "6", "--wait-engine")


class ReplacementTest(LogAssertions, unittest.TestCase):
    def setUp(self):
        self.server = HttpServer()
        self.work = new_work_folder(self.id().split(".")[-1])
        self.double = read(LAUNCHER_DOUBLE)
        self.engine = read(TIDEMILL)
        self.launchers = []
        self.site = None

    def tearDown(self):
        for launcher in self.launchers:
            if launcher.process is not None and launcher.process.poll() is None:
                launcher.process.kill()
        if self.site is not None and programs_running_in(self.site.root):
            kill_prefix()  # the suite's own prefix: nothing else lives there

    def make_site(self, served_programs, installed_programs):
        served = {SKIN: LAUNCHER_FILES[SKIN]}
        served.update(served_programs)
        installed = {SKIN: LAUNCHER_FILES[SKIN]}
        installed.update(installed_programs)
        self.site = Site(self.work, self.server, RELEASE, "1.0.1", INSTALLED, "1.0.0",
                         served_launcher=served, installed_launcher=installed)
        shutil.copy(FERRIER, os.path.join(self.site.root, "Ferrier.exe"))
        return self.site

    def installed_launcher(self, name, *args):
        """A launcher double run as the root's own "Brightgate.exe"."""
        launcher = Launcher(self.site, name, *args, program=os.path.join(self.site.root, "Brightgate.exe"))
        self.launchers.append(launcher)
        return launcher

    def wait_until_gone(self):
        """Every program of the installation ends by itself."""
        deadline = time.monotonic() + RUN_SECONDS
        while programs_running_in(self.site.root) and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(programs_running_in(self.site.root), [])

    def served_launcher_list(self):
        return read(os.path.join(self.site.tree, "launcher", "LancherHashMD5.xmp"))

    def launcher_packages(self):
        """Launcher packages the engines asked for, in order."""
        return [path.rsplit("/launcher/", 1)[1] for method, path, status in self.site.requests()
                if method == "GET" and "/launcher/" in path and path.endswith(".pkg")]

    def ferrier_log(self):
        return read(os.path.join(self.site.root, "Log", "Ferrier.log")).decode("utf-8", errors="replace")

    def assertNoTornFiles(self):
        torn = [p for p in glob.glob(os.path.join(self.site.root, "**", "*"), recursive=True)
                if p.endswith(".tmp~") or p.endswith(".part")]
        self.assertEqual(torn, [])

    def assertClientIsRelease(self):
        for rel, data in RELEASE.items():
            self.assertEqual(self.site.file(rel), data, rel)
        self.assertEqual(self.site.installed_version(), "1.0.1")
        served = os.path.join(self.site.tree, "update", "1.0.1", "client", "HashMD5.xmp")
        self.assertEqual(read(os.path.join(self.site.root, "HashMD5.xmp")), read(served))

    # The launcher replaced through the copier's mode one.

    def run_launcher_replacement(self, relaunch, new_script, new_engine=None):
        """new_engine: the engine program on the server, when it changed too."""
        new_program = self.double + TAIL
        new_engine = new_engine or self.engine
        site = self.make_site({"Brightgate.exe": new_program, "Tidemill.exe": new_engine},
                              {"Brightgate.exe": self.double, "Tidemill.exe": self.engine})
        new = Launcher.restarted(site, "new", *new_script)
        old = self.installed_launcher("old", "--relaunch", relaunch)

        self.assertIsNotNone(old.wait_for("COPIER_STARTED "), old.lines())
        new_lines = new.finish()
        self.wait_until_gone()
        old_lines = old.lines()

        # The old launcher was told to make way and started the copier.
        self.assertEqual(old.callbacks(), [3], old_lines)
        self.assertOrdered(old_lines, ["NOTIFY_WND ", "CALLBACK 3 ", "COPIER_STARTED "])
        engine_window = old.greetings()[0].split()[1]

        # The copier started the new program, which greeted the running
        # engine through the window its own engine start handed over.
        self.assertIn("RESTARTED", new_lines)
        self.assertEqual(new.greetings()[0].split()[1], engine_window, new_lines)
        self.assertEqual(new.engine_exit(), 0)

        self.assertEqual(site.file("Brightgate.exe"), new_program)
        self.assertEqual(site.file("Tidemill.exe"), new_engine)
        self.assertEqual(read(os.path.join(site.root, "LancherHashMD5.xmp")), self.served_launcher_list())
        expected = ["Brightgate.exe.pkg"] + (["Tidemill.exe.pkg"] if new_engine != self.engine else [])
        self.assertEqual(self.launcher_packages(), expected)
        self.assertNoTornFiles()
        log = self.ferrier_log()
        self.assertIn('started Brightgate.exe', log)
        self.assertIn('with "restart"', log)
        self.assertIn("eCallBackType_WaitRelaunch1", site.html_log())
        return old, new, log

    def test_launcher_that_exits_is_replaced_and_the_update_goes_on(self):
        old, new, log = self.run_launcher_replacement("exit", PLAYER)
        self.assertEqual(old.lines()[-1], "EXIT done")
        self.assertNotIn("ending it", log)
        self.assertOrdered(new.lines(), ["NOTIFY_WND ", "CALLBACK 0 ", "CALLBACK 18 ", "SENT eActionType_CheckVer 1",
                                       "CALLBACK 1 ", "SENT eActionType_StartGame", "CALLBACK 6 ", "EXIT done"])
        self.assertClientIsRelease()

    def test_launcher_and_engine_replaced_in_one_run(self):
        # The launcher first, then the engine: the new engine greets the new launcher.
        new_engine = self.engine + TAIL
        old, new, log = self.run_launcher_replacement("exit", PLAYER, new_engine=new_engine)
        greetings = new.greetings()
        self.assertEqual(len(greetings), 2, new.lines())
        self.assertNotEqual(greetings[0].split()[1], greetings[1].split()[1])
        self.assertOrdered(new.lines(), ["NOTIFY_WND ", "TEXT 2 Restarting the engine", "NOTIFY_WND ",
                                         "CALLBACK 0 ", "CALLBACK 18 ", "CALLBACK 1 ", "CALLBACK 6 ", "EXIT done"])
        self.assertEqual(new.callbacks(), [0, 18, 1, 17, 6])
        self.assertIn("recorded the digest of Tidemill.exe", log)
        self.assertClientIsRelease()

    def test_launcher_that_lingers_is_ended_by_the_copier(self):
        old, new, log = self.run_launcher_replacement("linger", ("--exit-on", "18", "--wait-engine"))
        # Ended from outside: it never wrote its own exit.
        self.assertFalse([line for line in old.lines() if line.startswith("EXIT ")], old.lines())
        self.assertIn("Brightgate.exe did not exit; ending it", log)
        # The update reached the server list; the engine ended when the
        # last launcher left.
        self.assertEqual(new.callbacks(), [0, 18])
        self.assertEqual(self.site.installed_version(), "1.0.0")

    # The engine replaced through the copier's mode two.

    def test_engine_is_replaced_and_greets_the_launcher_again(self):
        new_engine = self.engine + TAIL
        site = self.make_site({"Brightgate.exe": self.double, "Tidemill.exe": new_engine},
                              {"Brightgate.exe": self.double, "Tidemill.exe": self.engine})
        player = self.installed_launcher("player", *PLAYER)
        lines = player.finish()
        self.wait_until_gone()

        window = player.window()
        greetings = player.greetings()
        self.assertEqual(len(greetings), 2, lines)
        # The restarted engine keeps its window hidden, though the copier
        # asks for a shown one.
        self.assertTrue(all(g.endswith("FROM 0 VISIBLE 0") for g in greetings), greetings)
        self.assertNotEqual(greetings[0].split()[1], greetings[1].split()[1])
        self.assertOrdered(lines, ["NOTIFY_WND ", "TEXT 2 Restarting the engine", "ENGINE_EXIT 0", "NOTIFY_WND ",
                                   "CALLBACK 0 ", "CALLBACK 18 ", "SENT eActionType_CheckVer 1", "CALLBACK 1 ",
                                   "SENT eActionType_StartGame", "CALLBACK 6 ", "EXIT done"])
        self.assertEqual(player.callbacks(), [0, 18, 1, 17, 6])

        ini = read(os.path.join(site.root, "Tidemill.ini")).decode("utf-8", errors="replace")
        self.assertIn("fwnd0=%d" % window, ini)
        self.assertEqual(site.file("Tidemill.exe"), new_engine)
        self.assertEqual(site.file("Brightgate.exe"), self.double)
        self.assertEqual(read(os.path.join(site.root, "LancherHashMD5.xmp")), self.served_launcher_list())
        # The new engine found its own digest recorded and asked for nothing more.
        self.assertEqual(self.launcher_packages(), ["Tidemill.exe.pkg"])
        log = self.ferrier_log()
        self.assertIn("recorded the digest of Tidemill.exe", log)
        self.assertIn('started Tidemill.exe', log)
        self.assertNoTornFiles()
        self.assertClientIsRelease()


if __name__ == "__main__":
    unittest.main()
