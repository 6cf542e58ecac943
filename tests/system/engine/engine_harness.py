"""Runs the real Tidemill.exe under Wine against the local HTTP test server.

A Site is one engine installation (root folder = client folder) and the
update tree it is served from; a Launcher is one launcher double process
with its frame log. Paths come from ctest's environment (see CMakeLists.txt).
"""
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.abspath(os.path.join(HERE, "..", "..", ".."))
sys.path.insert(0, os.path.join(SOURCE, "tools"))
import make_update_tree as mut  # noqa: E402

ENV = os.environ
WINE_RUN = ENV.get("QUILLON_WINE_RUN", os.path.join(SOURCE, "tools", "wine-run.sh"))
WINE_ARCH = ENV.get("QUILLON_WINE_ARCH", "win64")
WINE_PREFIX = ENV.get("QUILLON_ENGINE_PREFIX", "")
TIDEMILL = ENV.get("QUILLON_TIDEMILL_EXE", "")
LAUNCHER_DOUBLE = ENV.get("QUILLON_LAUNCHER_DOUBLE", "")
PORT_FILE = ENV.get("QUILLON_HTTP_PORT_FILE", "")
GAME_NAME = "QuillonSystemTest"
RUN_SECONDS = 90

# The launcher's own files, identical on the server and in the installation.
LAUNCHER_FILES = {
    "Brightgate.exe": b"launcher stand-in\n",
    "Skin/Launcher/layout/Main.xml": b"<Window size=\"800,572\"/>\n",
}


def wine_path(path):
    """The host path as a program under Wine sees it (drive Z: is /)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


def read(path):
    with open(path, "rb") as f:
        return f.read()


class HttpServer:
    """The shared test server of the ctest run; one session per site."""

    def __init__(self):
        with open(PORT_FILE) as f:
            self.port = int(f.read().strip())
        self.base = "http://127.0.0.1:%d" % self.port

    def call(self, method, path, data=None):
        request = urllib.request.Request(self.base + path, data=data, method=method)
        with urllib.request.urlopen(request, timeout=30) as answer:
            return answer.read().decode("utf-8")

    def session(self, root):
        return self.call("POST", "/_ctl/session?root=" + urllib.request.quote(root), b"")

    def requests(self, sid):
        """(method, path, status) of every request of the session."""
        lines = self.call("GET", "/_ctl/log/" + sid).splitlines()
        return [tuple(line.split("\t")[i] for i in (0, 1, 3)) for line in lines if line]


def make_client(folder, files):
    for rel, data in files.items():
        write(os.path.join(folder, *rel.split("/")), data)


class Site:
    """An installed engine root and the update tree that serves it."""

    def __init__(self, work, server, release, version, installed=None, installed_version=None,
                 served_launcher=LAUNCHER_FILES, installed_launcher=None):
        """served_launcher: the launcher's files on the server; installed_launcher:
        those in the root (default: the same)."""
        self.work = work
        self.root = os.path.join(work, "root")
        self.tree = os.path.join(work, "tree")
        self.server = server
        self.sid = server.session(self.tree)
        self.base_url = "%s/%s/" % (server.base, self.sid)
        release_dir = os.path.join(work, "release")
        launcher_dir = os.path.join(work, "launcher")
        make_client(release_dir, release)
        make_client(launcher_dir, served_launcher)
        mut.build_tree(release_dir, self.tree, mut.parse_version(version), self.base_url,
                       launcher_dir=launcher_dir, level=1)
        self.release = release
        self.version = version

        os.makedirs(self.root, exist_ok=True)
        shutil.copy(TIDEMILL, os.path.join(self.root, "Tidemill.exe"))
        installed_launcher = served_launcher if installed_launcher is None else installed_launcher
        make_client(self.root, installed_launcher)
        launcher_digests = {rel.replace("/", "\\"): hashlib.md5(data).digest()
                            for rel, data in installed_launcher.items()}
        write(os.path.join(self.root, "LancherHashMD5.xmp"),
              mut.encode_hash_list(mut.keyed(launcher_digests, mut.DEFAULT_CODEPAGE)))
        write(os.path.join(self.root, "LauncherConfig.ini"),
              mut.launcher_config(self.base_url, game_name=GAME_NAME))
        if installed is not None:
            make_client(self.root, installed)
            listed = {rel.replace("/", "\\"): data for rel, data in installed.items()}
            digests = {rel: hashlib.md5(data).digest() for rel, data in listed.items()}
            write(os.path.join(self.root, "HashMD5.xmp"), mut.encode_hash_list(mut.keyed(digests, "cp1252")))
            write(os.path.join(self.root, "version.ini"), "[version]\r\ncur=%s\r\n" % installed_version)

    def requests(self):
        return self.server.requests(self.sid)

    def fetched_packages(self):
        """Client packages the engine asked for, as relative paths."""
        found = []
        for method, path, status in self.requests():
            if method == "GET" and path.endswith(".pkg") and "/client/" in path:
                found.append(urllib.request.unquote(path.split("/client/", 1)[1])[:-len(".pkg")])
        return found

    def html_log(self):
        logs = sorted(glob.glob(os.path.join(self.root, "Log", "Launcher-*.html")))
        return b"".join(read(p) for p in logs).decode("utf-8", errors="replace")

    def installed_version(self):
        text = read(os.path.join(self.root, "version.ini")).decode("utf-8", errors="replace")
        for line in text.splitlines():
            if line.strip().lower().startswith("cur="):
                return line.split("=", 1)[1].strip()
        return None

    def file(self, rel):
        return read(os.path.join(self.root, *rel.split("/")))


class Launcher:
    """One launcher double; runs in the site's root, so the engine it starts
    takes that folder as its root."""

    def __init__(self, site, name, *args, program=None):
        """program: the double's file to run (default: the built one)."""
        self.log_path = os.path.join(site.work, name + ".log")
        command = [WINE_RUN, WINE_ARCH, WINE_PREFIX, program or LAUNCHER_DOUBLE, "--log", wine_path(self.log_path),
                   "--timeout-ms", str(RUN_SECONDS * 1000)] + [str(a) for a in args]
        # Wine's own complaints (a loader that could not start the double)
        # are kept beside the log.
        with open(os.path.join(site.work, name + ".err"), "wb") as errors:
            self.process = subprocess.Popen(command, cwd=site.root, stdin=subprocess.DEVNULL,
                                            stdout=subprocess.DEVNULL, stderr=errors)

    @classmethod
    def restarted(cls, site, name, *args):
        """The launcher that the copier will start with "restart" from the
        root's "Brightgate.exe": its script waits beside that file."""
        launcher = cls.__new__(cls)
        launcher.log_path = os.path.join(site.work, name + ".log")
        launcher.process = None
        words = ["--log", wine_path(launcher.log_path), "--timeout-ms", str(RUN_SECONDS * 1000)]
        write(os.path.join(site.root, "Brightgate.exe.restart"), "\r\n".join(words + [str(a) for a in args]))
        return launcher

    def ended(self):
        if self.process is not None:
            return self.process.poll() is not None
        return any(line.startswith("EXIT ") for line in self.lines())

    def lines(self):
        """The log's whole lines: the double ends every line it writes, so a
        tail without its end is a line still being written."""
        try:
            data = read(self.log_path)
            return data[:data.rfind(b"\n") + 1].decode("utf-8", errors="replace").splitlines()
        except OSError:
            return []

    def wait_for(self, prefix, seconds=RUN_SECONDS):
        """The first log line starting with prefix, waiting while the double runs."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            for line in self.lines():
                if line.startswith(prefix):
                    return line
            if self.ended():
                for line in self.lines():
                    if line.startswith(prefix):
                        return line
                return None
            time.sleep(0.05)
        return None

    def finish(self, seconds=RUN_SECONDS + 30):
        if self.process is None:
            deadline = time.monotonic() + seconds
            while not self.ended() and time.monotonic() < deadline:
                time.sleep(0.05)
            return self.lines()
        try:
            self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.process.kill()
        return self.lines()

    def callbacks(self):
        return [int(line.split()[1]) for line in self.lines() if line.startswith("CALLBACK ")]

    def window(self):
        line = self.wait_for("WINDOW ")
        return int(line.split()[1]) if line else None

    def engine_exit(self):
        for line in self.lines():
            if line.startswith("ENGINE_EXIT "):
                return int(line.split()[1])
        return None

    def greetings(self):
        return [line for line in self.lines() if line.startswith("NOTIFY_WND ")]


def run_engine(site, *args, seconds=RUN_SECONDS):
    """Runs Tidemill.exe directly in the site's root; its exit code."""
    command = [WINE_RUN, WINE_ARCH, WINE_PREFIX, os.path.join(site.root, "Tidemill.exe")] + list(args)
    return subprocess.run(command, cwd=site.root, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=seconds).returncode


class LogAssertions:
    """Assertions on the launcher doubles' logs, mixed into test cases."""

    def assertOrdered(self, lines, prefixes):
        """The lines starting with each prefix appear in this order."""
        position = -1
        for prefix in prefixes:
            found = [n for n, line in enumerate(lines) if n > position and line.startswith(prefix)]
            self.assertTrue(found, "%r after line %d in:\n%s" % (prefix, position, "\n".join(lines)))
            position = found[0]


def programs_running_in(folder):
    """Command lines of the host's Wine processes whose program lies in folder."""
    unix = os.path.abspath(folder) + os.sep
    windows = wine_path(folder).lower() + "\\"
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(os.path.join("/proc", entry, "cmdline"), "rb") as f:
                command = f.read().replace(b"\0", b" ").decode("utf-8", errors="replace")
        except OSError:
            continue
        if unix in command or windows in command.lower():
            found.append(command.strip())
    return found


def kill_prefix():
    """Ends every process of the suite's own prefix (after a failed test)."""
    server = "/usr/lib/wine/wineserver64" if WINE_ARCH == "win64" else "/usr/lib/wine/wineserver32"
    env = dict(os.environ, WINEPREFIX=WINE_PREFIX)
    subprocess.run([server, "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def new_work_folder(name):
    """A fresh folder per test, kept after the run for inspection."""
    base = ENV.get("QUILLON_SYSTEM_WORK", os.path.join(tempfile.gettempdir(), "quillon-engine-system"))
    folder = os.path.join(base, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def map_test_drive(folder, letter="q", prefix=None):
    """Maps a drive letter of the suite's own prefix (or of prefix) to
    folder, so that a program that falls back to its drive root writes there
    and not into the host's "/"; returns a function that removes the
    mapping."""
    devices = os.path.join(prefix or WINE_PREFIX, "dosdevices")
    if not os.path.isdir(devices):
        subprocess.run([WINE_RUN, WINE_ARCH, WINE_PREFIX, "--warm"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    link = os.path.join(devices, letter + ":")
    if os.path.lexists(link):
        os.remove(link)
    os.makedirs(folder, exist_ok=True)
    os.symlink(os.path.abspath(folder), link)
    return lambda: os.path.lexists(link) and os.remove(link)


def deep_folder(drive_folder, letter, length):
    """A folder under the mapped drive whose Windows path ("Q:\\...") is
    exactly length characters long; (host path, Windows path)."""
    windows = letter.upper() + ":"
    host = drive_folder
    while len(windows) < length:
        room = length - len(windows) - 1
        part = "d" * (50 if room > 60 else room)
        windows += "\\" + part
        host = os.path.join(host, part)
    os.makedirs(host, exist_ok=True)
    return host, windows
