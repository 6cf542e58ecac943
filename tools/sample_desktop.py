#!/usr/bin/env python3
"""A screen for Windows programs under Wine that people can look at: Xvfb with
a 24-bit screen, and a Wine prefix of its own that uses Wine's X11 driver.
Screenshots of the whole screen are taken with ImageMagick's "import".

Used by tools/run_sample.py; standing alone it takes one picture of whatever
a program shows:
  sample_desktop.py ARCH PREFIX OUTPUT.png PROGRAM [ARGS...]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

TOOLS = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(TOOLS, "wine-run.sh")
SCREEN = "1280x1024x24"


def wine_path(path):
    """A host path as programs under Wine see it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def colour_count(png):
    """The number of distinct colours in a picture."""
    result = subprocess.run(["identify", "-format", "%k", png], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, check=False)
    text = result.stdout.decode("ascii", "replace").strip()
    return int(text) if text.isdigit() else 0


class Desktop:
    """Xvfb plus an X11 Wine prefix; use as a context manager."""

    def __init__(self, arch, prefix, log_folder):
        self.arch = arch
        self.prefix = os.path.abspath(prefix)
        self.log_folder = log_folder
        if arch == "win64":
            self.loader, self.server = "/usr/lib/wine/wine64", "/usr/lib/wine/wineserver64"
        else:
            self.loader, self.server = "/usr/lib/wine/wine", "/usr/lib/wine/wineserver32"
        self.display = None
        self.xvfb = None
        self.started = []

    # ------------------------------------------------------------ set-up

    def env(self):
        env = dict(os.environ)
        env.update(WINEPREFIX=self.prefix, WINEARCH=self.arch, WINELOADER=self.loader, WINESERVER=self.server,
                   WINEDEBUG="-all", LANG="C.UTF-8", LC_ALL="C.UTF-8", WINEDLLOVERRIDES="mscoree,mshtml=")
        env.pop("WAYLAND_DISPLAY", None)
        if self.display:
            env["DISPLAY"] = self.display
        else:
            env.pop("DISPLAY", None)
        return env

    def _quiet(self, args, timeout=120):
        subprocess.run(args, env=self.env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout, check=False)

    def _prepare_prefix(self):
        """The tests' prefix maker gives fonts and the locale; its null display
        driver is then taken out again, so that windows reach the X server."""
        marker = os.path.join(self.prefix, ".quillon-x11-desktop")
        if os.path.exists(marker):
            return
        subprocess.run([WINE_RUN, self.arch, self.prefix, "--warm"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        self._quiet([self.loader, "reg", "delete", r"HKCU\Software\Wine\Drivers", "/v", "Graphics", "/f"])
        # A desktop of Wine's own as large as the screen: with no window
        # manager on the X server, Wine then places, sizes and maximises the
        # windows itself.
        self._quiet([self.loader, "reg", "add", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "Default",
                     "/f"])
        self._quiet([self.loader, "reg", "add", r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default", "/d",
                     SCREEN.rsplit("x", 1)[0], "/f"])
        self._quiet([self.server, "-k"])
        self._quiet([self.server, "-w"])
        open(marker, "w").close()

    def _locked_by_ours(self, number):
        """The display's lock file names this run's Xvfb."""
        try:
            with open("/tmp/.X%d-lock" % number) as f:
                return int(f.read().strip()) == self.xvfb.pid
        except (OSError, ValueError):
            return False

    def _start_xvfb(self):
        # Other runs on this machine pick numbers the same way: a number taken
        # between the look and the start makes this Xvfb end at once, and the
        # socket found is the other's. Only a server that still runs counts.
        number = 120
        for _ in range(20):
            while os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number):
                number += 1
            log = open(os.path.join(self.log_folder, "xvfb.log"), "wb")
            self.xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", SCREEN, "-nolisten", "tcp"],
                                         stdin=subprocess.DEVNULL, stdout=log, stderr=log)
            log.close()
            socket = "/tmp/.X11-unix/X%d" % number
            deadline = time.monotonic() + 30
            while not os.path.exists(socket) and self.xvfb.poll() is None and time.monotonic() < deadline:
                time.sleep(0.05)
            if self.xvfb.poll() is None and os.path.exists(socket) and self._locked_by_ours(number):
                self.display = ":%d" % number
                return
            if self.xvfb.poll() is None:
                self.xvfb.kill()
                self.xvfb.wait()
            number += 1
        raise RuntimeError("Xvfb did not start (see %s)" % os.path.join(self.log_folder, "xvfb.log"))

    def __enter__(self):
        os.makedirs(self.log_folder, exist_ok=True)
        self._prepare_prefix()
        self._start_xvfb()
        # One server for the whole run, so that later programs start warm.
        self._quiet([self.server, "-k"])
        self._quiet([self.server, "-p", "60"])
        self._quiet([self.loader, "cmd", "/c", "exit"])
        return self

    def __exit__(self, *_):
        # The prefix is this desktop's own: ending its server ends every
        # program left in it, Wine's desktop process included.
        self._quiet([self.server, "-k"], timeout=30)
        for process in self.started:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        return False

    # ------------------------------------------------------------ programs

    def run(self, args, timeout=30, cwd=None):
        """Runs a Windows program to its end: (exit code, standard output).
        The output goes through a file: Wine's desktop process, started by
        the first window, would hold a pipe open."""
        with tempfile.TemporaryFile() as out:
            try:
                code = subprocess.run([self.loader] + list(args), env=self.env(), cwd=cwd, stdin=subprocess.DEVNULL,
                                      stdout=out, stderr=subprocess.DEVNULL, timeout=timeout).returncode
            except subprocess.TimeoutExpired:
                code = None
            out.seek(0)
            return code, out.read().decode("utf-8", "replace")

    def start(self, args, output, cwd=None):
        """Starts a Windows program in the background; its output goes to OUTPUT."""
        with open(output, "wb") as out:
            process = subprocess.Popen([self.loader] + list(args), env=self.env(), cwd=cwd, stdin=subprocess.DEVNULL,
                                       stdout=out, stderr=subprocess.STDOUT)
        self.started.append(process)
        return process

    def reg_delete(self, key):
        self._quiet([self.loader, "reg", "delete", key, "/f"])

    # ------------------------------------------------------------ pictures

    def screenshot(self, png):
        """The whole screen into PNG; returns its number of colours."""
        subprocess.run(["import", "-display", self.display, "-window", "root", png], env=self.env(),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30, check=False)
        return colour_count(png) if os.path.exists(png) else 0


def main(argv):
    if len(argv) < 5:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    arch, prefix, output, program = argv[1:5]
    with tempfile.TemporaryDirectory() as logs, Desktop(arch, prefix, logs) as desktop:
        desktop.start([program] + argv[5:], os.path.join(logs, "program.log"), cwd=os.path.dirname(program) or None)
        time.sleep(8)
        colours = desktop.screenshot(output)
    print("%s: %d colours" % (output, colours))
    return 0 if colours > 8 else 1


if __name__ == "__main__":
    if not shutil.which("Xvfb") or not shutil.which("import"):
        print("sample_desktop: Xvfb and ImageMagick are needed (tools/bootstrap.sh installs them)", file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv))
