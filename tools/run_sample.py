#!/usr/bin/env python3
"""Shows the whole road a player takes, end to end under Wine: a sample update
server on 127.0.0.1 serves release 1.0.1 of a small sample client, and the
real Brightgate.exe, started the way the game hall starts it, shows its
windows with the server page, takes the page's server choice, has the real
Tidemill.exe bring the installation of release 1.0.0 up to date, starts the
game client and comes back when the game ends. The windows are shown on a
virtual screen (Xvfb) and photographed at four moments.

With --road stand-in, Tidemill.exe is driven by a stand-in of the launcher
instead, without windows.

Called by tools/run-sample.sh after the build; everything lands in --out.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time
import urllib.parse
import urllib.request

TOOLS = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(TOOLS)
sys.path.insert(0, TOOLS)
import make_update_tree as mut  # noqa: E402
from sample_desktop import Desktop, wine_path  # noqa: E402

SAMPLE = os.path.join(TOOLS, "sample")
HTTP_SERVER = os.path.join(SOURCE, "tests", "doubles", "http_server", "http_server.py")
GAME_NAME = "QuillonSample"
APP_NAME = "Quillon sample"
# What the game hall hands the launcher.
HALL_PARAMETERS = "PROCPARA=hall-1,ID=10001,Key=k3y,ModelID=Quillon.Sample"
TOKEN = "sample-token"
SERVER_ID = "1"
# The larger file of release 1.0.1, served slowly so that the progress shows.
FILM = "Data\\movies\\opening.bik"
FILM_SIZE = 640 * 1024
TRICKLE = "chunk=32768&delay=200"
# A picture with no more colours than this shows nothing drawn.
FEW_COLOURS = 16

# A movie request's name and its one argument.
INVOKE_VALUE = r"invoke name=['\"](\w+)['\"][^>]*><arguments><(?:number|string)>([^<]*)<"

MAIN_CLASS = "ql_launcher_main"
FRAME_CLASS = "ql_launcher_frame"
GAME_CLASS = "ql_launcher_gamemain"

# Programs and files of the build, relative to the build folder.
BUILT = {
    "Brightgate.exe": "launcher/Brightgate.exe",
    "Tidemill.exe": "engine/Tidemill.exe",
    "Ferrier.exe": "copier/Ferrier.exe",
    "browser_double.dll": "tests/doubles/browser_double/browser_double.dll",
    "flash_double.dll": "tests/doubles/flash_double/flash_double.dll",
    "HallProcMsgHelper.dll": "tests/doubles/hall_library/HallProcMsgHelper.dll",
    "stand_in": "tests/doubles/stand_in/qtest_stand_in.exe",
    "ui_probe": "tests/doubles/ui_probe/qtest_ui_probe.exe",
    "launcher_double": "tests/doubles/launcher_double/launcher_double.exe",
}
ROADS = {
    "launcher": ("Brightgate.exe", "Tidemill.exe", "Ferrier.exe", "browser_double.dll", "flash_double.dll",
                 "HallProcMsgHelper.dll", "stand_in", "ui_probe"),
    "stand-in": ("Tidemill.exe", "launcher_double", "stand_in"),
}

# Files the doubles and the launcher itself write into the installation;
# they are not the update's.
NOT_THE_UPDATES = re.compile(r"(?i)(\.log|\.record|\.linger|\.release|^LancherCache\.ini|^choose|^done)$")


# ---------------------------------------------------------------- helpers

def copy_tree(source, target):
    for current, _, files in os.walk(source):
        for name in files:
            src = os.path.join(current, name)
            dst = os.path.join(target, os.path.relpath(src, source))
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            shutil.copyfile(src, dst)


def write_text(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def read_text(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return ""


def all_files(folder):
    """{relative path: digest} of every file below folder."""
    return mut.hash_folder(folder, skip_engine_files=False)


def start_server(port_file):
    subprocess.run([sys.executable, HTTP_SERVER, "--daemon", "--port-file", port_file, "--lifetime", "900",
                    "--idle", "300"], check=True)
    with open(port_file) as f:
        return int(f.read().strip())


def stop_server(port_file):
    subprocess.run([sys.executable, HTTP_SERVER, "--stop", "--port-file", port_file],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def call(port, method, path, data=b""):
    request = urllib.request.Request("http://127.0.0.1:%d%s" % (port, path), data=data, method=method)
    with urllib.request.urlopen(request, timeout=30) as answer:
        return answer.read().decode("utf-8")


def wait_for(condition, seconds, step=0.2):
    """condition() once it is true, else its last value after SECONDS."""
    end = time.monotonic() + seconds
    while True:
        value = condition()
        if value or time.monotonic() >= end:
            return value
        time.sleep(step)


# ---------------------------------------------------------------- the sample

class Sample:
    """The server tree, the installation of release 1.0.0 and the paths of a run."""

    def __init__(self, build, out, road):
        self.build = build
        self.out = out
        self.road = road
        self.tree = os.path.join(out, "server")
        self.install = os.path.join(out, "install")
        self.release = os.path.join(out, "release-1.0.1")
        self.launcher = os.path.join(out, "launcher-files")
        self.port_file = os.path.join(out, "http.port")
        self.base = None
        self.sid = None
        self.port = None

    def program(self, name):
        return os.path.join(self.build, BUILT[name])

    def missing(self):
        return [self.program(n) for n in ROADS[self.road] if not os.path.exists(self.program(n))]

    def serve(self):
        os.makedirs(self.tree)
        self.port = start_server(self.port_file)
        self.sid = call(self.port, "POST", "/_ctl/session?root=" + urllib.parse.quote(self.tree))
        self.base = "http://127.0.0.1:%d/%s/" % (self.port, self.sid)

    def page_address(self):
        return self.base + "page.html"

    def build_releases(self):
        """Releases 1.0.0 and 1.0.1 of the client. The game client and the
        mini client are stand-ins; 1.0.1 adds a larger film."""
        old = os.path.join(self.out, "release-1.0.0")
        copy_tree(os.path.join(SAMPLE, "client-1.0.0"), old)
        if self.road == "launcher":
            shutil.copyfile(self.program("stand_in"), os.path.join(old, "Client.exe"))
            os.makedirs(os.path.join(old, "Tiny"), exist_ok=True)
            shutil.copyfile(self.program("stand_in"), os.path.join(old, "Tiny", "qlnmini.exe"))
        copy_tree(old, self.release)
        copy_tree(os.path.join(SAMPLE, "changes-1.0.1"), self.release)
        film = os.path.join(self.release, *FILM.split("\\"))
        os.makedirs(os.path.dirname(film), exist_ok=True)
        with open(film, "wb") as f:
            f.write(random.Random(101).randbytes(FILM_SIZE))  # incompressible, the same every run
        return old

    def build_launcher_files(self):
        """The launcher's own files, as served and as installed: the very
        programs being run, so that the engine finds nothing to replace."""
        copy_tree(os.path.join(SAMPLE, "launcher"), self.launcher)
        layout = os.path.join(self.launcher, "Skin", "Launcher", "layout", "FrameWindow.xml")
        write_text(layout, read_text(layout).replace("{{page}}", self.page_address()))
        names = ("Brightgate.exe", "Tidemill.exe", "Ferrier.exe") if self.road == "launcher" else ("Tidemill.exe",)
        for name in names:
            shutil.copyfile(self.program(name), os.path.join(self.launcher, name))

    def build_tree(self, old):
        # Release 1.0.0 first, for the folders of the files 1.0.1 keeps.
        mut.build_tree(old, self.tree, (1, 0, 0), self.base, level=1, full_package=False)
        mut.build_tree(self.release, self.tree, (1, 0, 1), self.base, launcher_dir=self.launcher, level=1)
        # The server page, the trigger query ("0": reports are not
        # suppressed), the platform key and the report address.
        write_text(os.path.join(self.tree, "page.html"),
                   "<html><body><h1>Choose a server</h1><p>Server1</p></body></html>\n")
        write_text(os.path.join(self.tree, "trigger"), "0")
        write_text(os.path.join(self.tree, "pfkey"), '{"ret":0,"pfkey":"sample"}\n')
        write_text(os.path.join(self.tree, "report"), "")
        film = urllib.parse.quote("update/1.0.1/client/" + FILM.replace("\\", "/") + ".pkg")
        call(self.port, "POST", "/_ctl/fault/%s/%s?kind=trickle&%s" % (self.sid, film, TRICKLE))
        return film

    def config(self):
        text = mut.launcher_config(self.base, game_name=GAME_NAME, platform="1" if self.road == "launcher" else "",
                                   app_name=APP_NAME, texts=mut.DEFAULT_TEXTS + ["Files"])
        if self.road == "launcher":
            extra = ["ReportEventUrl=%sreport" % self.base, "TriggerEventUrl=%strigger" % self.base,
                     "GetPfkeyByOpenid=%spfkey" % self.base, "ExeName=Client.exe", "RefreshPage=1"]
            text = text.replace("GameName=%s\r\n" % GAME_NAME, "GameName=%s\r\n%s\r\n" % (GAME_NAME, "\r\n".join(extra)))
            text += "\r\n[Display]\r\nWindowOffset_X=265\r\nWindowOffset_Y=125\r\n"
        return text

    def build_install(self, old):
        copy_tree(old, self.install)
        copy_tree(self.launcher, self.install)
        mut.write_file(os.path.join(self.install, "HashMD5.xmp"),
                       mut.encode_hash_list(mut.keyed(mut.hash_folder(old), mut.DEFAULT_CODEPAGE)))
        mut.write_file(os.path.join(self.install, "LancherHashMD5.xmp"),
                       mut.encode_hash_list(mut.keyed(mut.hash_folder(self.launcher), mut.DEFAULT_CODEPAGE)))
        mut.write_file(os.path.join(self.install, "version.ini"), b"[version]\r\ncur=1.0.0\r\n")
        write_text(os.path.join(self.install, "LauncherConfig.ini"), self.config())
        if self.road != "launcher":
            return
        # The doubles of what lies outside the system: the game hall's
        # library, the web page and the progress movie.
        for name in ("HallProcMsgHelper.dll", "browser_double.dll", "flash_double.dll"):
            shutil.copyfile(self.program(name), os.path.join(self.install, name))
        write_text(os.path.join(self.install, "hall_scenario.txt"),
                   "# The hall accepts the launcher, and closes once the sample is over.\n"
                   "connect 0 connected\nfile:done 0 closed\n")
        write_text(os.path.join(self.install, "browser_scenario.txt"),
                   "# The server page: it asks for the host's flags and whether it runs in the\n"
                   "# launcher, and calls startGame once the sample chooses the server.\n"
                   "load:1 200 hostinfo\n"
                   "load:1 300 external ismc\n"
                   'file:choose 0 external startGame "%s" "%s"\n' % (SERVER_ID, TOKEN))
        write_text(os.path.join(self.install, "flash_scenario.txt"), "")
        # The game client stays until the sample ends it.
        write_text(os.path.join(self.install, "Client.exe.linger"), "")

    def server_log(self):
        try:
            return call(self.port, "GET", "/_ctl/log/" + self.sid).splitlines()
        except OSError:
            return []


# ---------------------------------------------------------------- the launcher's road

class Road:
    """The launcher's road, step by step; stops at the first step not reached."""

    def __init__(self, sample, desktop):
        self.sample = sample
        self.desktop = desktop
        self.probe = sample.program("ui_probe")
        self.reached = []
        self.stopped = None
        self.shots = []
        self.probe_out = os.path.join(sample.out, "launcher-start.txt")
        self.launcher_exit = None
        self.game_window = None
        self.frame_on_top = None

    def step(self, name, ok, detail=""):
        if ok:
            self.reached.append(name)
            print("  ok    %s" % name)
        else:
            self.stopped = (name, detail)
            print("  STOP  %s%s" % (name, (": " + detail) if detail else ""))
            self.shot("stopped.png", "the screen where the road stopped")
        sys.stdout.flush()
        return ok

    def windows(self):
        """{class: [(hwnd, visible, zoomed, rect)]} of the top-level windows."""
        _, text = self.desktop.run([self.probe, "list"], timeout=20)
        found = {}
        for line in text.splitlines():
            parts = line.split("\t")
            if len(parts) >= 7:
                found.setdefault(parts[2], []).append((parts[0], parts[4] == "1", parts[5] == "1", parts[6]))
        return found

    def frame_above_main(self):
        """Whether the frame window lies above the main window; the list runs
        from the top of the z-order down."""
        _, text = self.desktop.run([self.probe, "list"], timeout=20)
        order = [line.split("\t")[2] for line in text.splitlines() if line.count("\t") >= 6]
        if MAIN_CLASS not in order or FRAME_CLASS not in order:
            return None
        return order.index(FRAME_CLASS) < order.index(MAIN_CLASS)

    def shown(self, cls):
        visible = [hwnd for hwnd, shown, _, _ in self.windows().get(cls, []) if shown]
        if visible and cls == GAME_CLASS:
            self.game_window = visible[-1]
        return bool(visible)

    def log(self, name):
        return read_text(os.path.join(self.sample.install, name))

    def shot(self, name, what):
        png = os.path.join(self.sample.out, "screenshots", name)
        os.makedirs(os.path.dirname(png), exist_ok=True)
        time.sleep(0.8)  # the last paint
        colours = self.desktop.screenshot(png)
        self.shots.append((png, what, colours))
        return colours > FEW_COLOURS

    def touch(self, name):
        write_text(os.path.join(self.sample.install, name), "")

    def run(self):
        s = self.sample
        self.desktop.reg_delete("HKCU\\Software\\Quillon\\" + GAME_NAME)
        boxes = os.path.join(s.out, "message-boxes.log")
        self.desktop.start([self.probe, "boxes", "--log", wine_path(boxes), "--for", "180000",
                            "--until", wine_path(os.path.join(s.out, "boxes.stop"))],
                           os.path.join(s.out, "message-boxes.txt"))
        # As the hall starts it: this exact command line, from another folder.
        self.desktop.start([self.probe, "start", wine_path(os.path.join(s.install, "Brightgate.exe")),
                                           HALL_PARAMETERS, wine_path(s.out), "--wait", "170000"],
                                          self.probe_out)
        try:
            self.walk()
        finally:
            self.finish()

    def walk(self):
        s = self.sample
        if not self.step("Brightgate.exe starts with the hall's command line",
                         wait_for(lambda: "pid " in read_text(self.probe_out), 30),
                         read_text(self.probe_out).strip()):
            return
        if not self.step("the main window is shown", wait_for(lambda: self.shown(MAIN_CLASS), 30),
                         "no visible window of class %s" % MAIN_CLASS):
            return
        if not self.step("the frame window is shown", wait_for(lambda: self.shown(FRAME_CLASS), 30),
                         "no visible window of class %s" % FRAME_CLASS):
            return
        page = s.page_address()
        if not self.step("the page is loaded by the browser double",
                         wait_for(lambda: page in self.log("browser_calls.log"), 30),
                         "browser_calls.log names no navigation to %s" % page):
            return
        wait_for(lambda: "external ismc" in self.log("browser_calls.log"), 5)
        self.step("screenshot 1: main and frame window with the page",
                  self.shot("1-main-and-page.png", "main and frame window with the page"), "too few colours")

        self.touch("choose")
        if not self.step("the page calls startGame",
                         wait_for(lambda: "external startGame" in self.log("browser_calls.log"), 30),
                         "browser_calls.log shows no startGame call"):
            return
        if not self.step("the game window is shown", wait_for(lambda: self.shown(GAME_CLASS), 30),
                         "no visible window of class %s" % GAME_CLASS):
            return
        if not self.step("Tidemill.exe asks the server for the server list",
                         wait_for(lambda: any("serverlist.xml" in l for l in s.server_log()), 30),
                         "the server saw no request for serverlist.xml"):
            return
        film = urllib.parse.quote(FILM.replace("\\", "/"))
        progress = wait_for(lambda: self.progress_shown(), 30)
        self.step("the movie shows the update's progress", progress,
                  "flash_calls.log shows no progress between 0 and 100 %")
        self.step("screenshot 2: the game window mid-update",
                  self.shot("2-game-window-updating.png", "the game window mid-update"), "too few colours")
        if not self.step("the update ends and the game client starts",
                         wait_for(lambda: "start " in self.log("Client.exe.record"), 60),
                         "Client.exe.record was not written (the larger package is %s)" % film):
            return
        time.sleep(1.0)
        self.step("screenshot 3: after the game start",
                  self.shot("3-game-started.png", "after the game start"), "too few colours")

        self.touch("Client.exe.release")
        if not self.step("the game client exits",
                         wait_for(lambda: "exit" in self.log("Client.exe.record").split(), 30),
                         "Client.exe.record has no exit"):
            return
        back = wait_for(lambda: self.shown(MAIN_CLASS) and self.shown(FRAME_CLASS) and not self.shown(GAME_CLASS), 30)
        if not self.step("the launcher's windows come back", back,
                         "main shown %s, frame shown %s, game window shown %s"
                         % (self.shown(MAIN_CLASS), self.shown(FRAME_CLASS), self.shown(GAME_CLASS))):
            return
        self.frame_on_top = self.frame_above_main()
        self.step("screenshot 4: the windows back", self.shot("4-windows-back.png", "the windows back"),
                  "too few colours")

        self.touch("done")
        ended = wait_for(lambda: "exit " in read_text(self.probe_out), 30)
        self.step("the hall closes and the launcher ends", ended, "Brightgate.exe still runs")

    def progress_shown(self):
        for value in re.findall(INVOKE_VALUE.replace("(\\w+)", "setProValOne", 1), self.log("flash_calls.log")):
            if value.lstrip("-").isdigit() and 0 < int(value) < 100:
                return True
        return False

    def finish(self):
        s = self.sample
        if "exit " not in read_text(self.probe_out):
            # Ask it the way a player would; whatever is left ends with the desktop.
            for hwnd, _, _, _ in self.windows().get(MAIN_CLASS, []):
                self.desktop.run([self.probe, "post", hwnd, "0x112", "0xF060", "0"], timeout=10)
            wait_for(lambda: "exit " in read_text(self.probe_out), 10)
        write_text(os.path.join(s.out, "boxes.stop"), "")
        match = re.search(r"exit (\d+)", read_text(self.probe_out))
        self.launcher_exit = int(match.group(1)) if match else None

    def ok(self):
        return self.stopped is None and len(self.shots) == 4 and all(c > FEW_COLOURS for _, _, c in self.shots)


# ---------------------------------------------------------------- what people read

def describe_request(line):
    parts = line.split("\t")
    if len(parts) < 5:
        return "  " + line
    method, path, _, status, sent = parts[:5]
    body = parts[6] if len(parts) > 6 else ""
    text = "  %-4s %s  -> %s, %s bytes" % (method, urllib.parse.unquote(path), status, sent)
    if method == "POST":
        text += "\n         body: %s" % urllib.parse.unquote(body)
    return text


def print_section(title, lines):
    print("\n%s" % title)
    if not lines:
        print("  (none)")
    for line in lines:
        print(line)


def browser_lines(text):
    keep = []
    for line in text.splitlines():
        if line.startswith("Navigate2 ") or line.startswith("GetHostInfo") or ": Invoke " in line or line == "loaded":
            keep.append("  " + line)
    return keep


def flash_lines(text):
    """The movie's requests, each new text once, with the bars' values."""
    keep = []
    previous = {}
    for line in text.splitlines():
        if not line.startswith("CallFunction "):
            if line.startswith("put_Movie"):
                keep.append("  " + line)
            continue
        match = re.search(INVOKE_VALUE, line)
        if not match:
            continue
        name, value = match.groups()
        if name.startswith("setText") and previous.get(name) != value:
            keep.append("  %-12s %s" % (name, value))
            previous[name] = value
    if len(keep) > 40:
        keep = keep[:20] + ["  ... %d more ..." % (len(keep) - 40)] + keep[-20:]
    return keep


def frame_lines(frames):
    keep = []
    for line in frames:
        word, _, rest = line.partition(" ")
        if word == "CALLBACK":
            keep.append("  event     " + rest)
        elif word == "TEXT":
            slot, _, text = rest.partition(" ")
            keep.append("  text %s    %s" % (slot, text))
        elif word == "PROGRESS":
            keep.append("  progress  %s%%" % rest.split()[0])
        elif word == "SENT":
            keep.append("  launcher  sends " + rest)
        elif word == "NOTIFY_WND":
            keep.append("  greeting  from the engine window " + rest.split()[0])
        elif word == "ENGINE_EXIT":
            keep.append("  engine    ended with exit code " + rest)
    return keep


def print_update(sample, before):
    after = all_files(sample.install)
    changed = sorted(rel for rel in after if before.get(rel) != after[rel]
                     and not NOT_THE_UPDATES.search(rel) and not rel.lower().startswith("log\\"))
    print_section("Files the update wrote (in %s):" % sample.install, ["  " + rel for rel in changed])
    version = read_text(os.path.join(sample.install, "version.ini")).split()
    print("\nversion.ini now says: %s" % " ".join(version))
    log_folder = os.path.join(sample.install, "Log")
    logs = sorted(os.listdir(log_folder)) if os.path.isdir(log_folder) else []
    for name in logs:
        print("HTML log: %s" % os.path.join(log_folder, name))
    if not logs:
        print("HTML log: none was written")
    release = mut.hash_folder(sample.release)
    return all(after.get(rel) == digest for rel, digest in release.items())


def launcher_road(sample, args, before):
    print("\nThe road (Brightgate.exe on a virtual screen, Wine's X11 driver):")
    prefix = args.prefix or os.path.join(sample.build, "wineprefix-sample-x11")
    started = time.monotonic()
    with Desktop(args.arch, prefix, os.path.join(sample.out, "desktop")) as desktop:
        road = Road(sample, desktop)
        road.run()
    elapsed = time.monotonic() - started
    requests = sample.server_log()
    stop_server(sample.port_file)

    print_section("HTTP requests the server saw, in order:", [describe_request(l) for l in requests])
    print_section("Calls to the game hall's library (hall_calls.log):",
                  ["  " + l for l in read_text(os.path.join(sample.install, "hall_calls.log")).splitlines()])
    print_section("The page's navigation and its calls (browser_calls.log):",
                  browser_lines(read_text(os.path.join(sample.install, "browser_calls.log"))))
    print_section("The progress movie's requests (flash_calls.log, each new text once):",
                  flash_lines(read_text(os.path.join(sample.install, "flash_calls.log"))))
    record = read_text(os.path.join(sample.install, "Client.exe.record")).splitlines()
    commands = [l.split(" cmd=", 1)[1] for l in record if l.startswith("start ") and " cmd=" in l]
    lines = ["  " + c for c in commands]
    for command in commands:
        handle = re.match(r"wnd:(\d+);", command)
        if handle and road.game_window:
            lines.append("  (wnd %s the game window's handle, %s)"
                         % ("is" if handle.group(1) == road.game_window else "is NOT", road.game_window))
    print_section("The game client's command line:", lines)
    mini = read_text(os.path.join(sample.install, "Tiny", "qlnmini.exe.record")).splitlines()
    print_section("The mini client's starts (Tiny\\qlnmini.exe):",
                  ["  cmd=" + l.split(" cmd=", 1)[1] for l in mini if " cmd=" in l])
    boxes = read_text(os.path.join(sample.out, "message-boxes.log")).splitlines()
    if boxes:
        print_section("Message boxes (pressed OK):", ["  " + l for l in boxes])
    updated = print_update(sample, before)
    print("\nScreenshots:")
    for png, what, colours in road.shots:
        verdict = "ok" if colours > FEW_COLOURS else "TOO FEW COLOURS"
        print("  %s  (%s; %d colours, %s)" % (png, what, colours, verdict))
    if not road.shots:
        print("  (none)")
    if road.frame_on_top is not None:
        print("After the game the frame window lies %s." % ("above the main window" if road.frame_on_top else
                                                          "BELOW the main window, which hides it"))
    print("Launcher exit code: %s" % ("still running when the sample ended" if road.launcher_exit is None
                                      else road.launcher_exit))
    print("Run took %.1f s (Wine start included)." % elapsed)

    if road.stopped:
        print("\nThe road stops at: %s%s" % (road.stopped[0], (" (" + road.stopped[1] + ")") if road.stopped[1] else ""))
        print("Reached: %s" % ("; ".join(road.reached) if road.reached else "nothing"))
    ok = road.ok() and updated
    print("\n%s" % ("The whole road ran: the installation is now release 1.0.1, the game started and the "
                    "launcher came back." if ok else "The road did not run to its end."))
    return (0 if ok else 1), all(colours > FEW_COLOURS for _, _, colours in road.shots)


def stand_in_road(sample, args, before):
    frames = os.path.join(sample.out, "launcher-frames.log")
    print("Starting Tidemill.exe under Wine through the launcher stand-in ...")
    prefix = args.prefix or os.path.join(sample.build, "wineprefix-sample")
    started = time.monotonic()
    subprocess.run([os.path.join(TOOLS, "wine-run.sh"), args.arch, prefix, sample.program("launcher_double"),
                    "--log", wine_path(frames), "--server", SERVER_ID, "--start-game", "--exit-on", "6",
                    "--wait-engine", "--timeout-ms", "120000"], cwd=sample.install, stdin=subprocess.DEVNULL)
    elapsed = time.monotonic() - started
    requests = sample.server_log()
    stop_server(sample.port_file)
    lines = read_text(frames).splitlines()
    print_section("HTTP requests the server saw, in order:", [describe_request(l) for l in requests])
    print_section("What the launcher was told (%s):" % frames, frame_lines(lines))
    updated = print_update(sample, before)
    print("Run took %.1f s (Wine start included)." % elapsed)
    ok = "ENGINE_EXIT 0" in lines and any(l.startswith("CALLBACK 6 ") for l in lines) and updated
    print("\n%s" % ("The installation is now release 1.0.1." if ok else "The update did not complete."))
    return 0 if ok else 1


def prepare(sample):
    """The server, its tree and the installation; the files before the run."""
    shutil.rmtree(sample.out, ignore_errors=True)
    os.makedirs(sample.out)
    sample.serve()
    try:
        old = sample.build_releases()
        sample.build_launcher_files()
        film = sample.build_tree(old)
        sample.build_install(old)
    except BaseException:
        stop_server(sample.port_file)
        raise
    print("Sample update server: %s (files in %s)" % (sample.base, sample.tree))
    print("Installation (release 1.0.0): %s" % sample.install)
    print("Release 1.0.1 adds %s (%d KiB), served slowly (%s)."
          % (FILM, FILM_SIZE // 1024, urllib.parse.unquote(film)))
    return all_files(sample.install)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True, help="build folder with the programs and the doubles")
    parser.add_argument("--arch", required=True, help="win32 or win64 (the Wine the build runs on)")
    parser.add_argument("--out", default=os.path.join(SOURCE, "out", "sample"))
    parser.add_argument("--road", choices=sorted(ROADS), default="launcher",
                        help="launcher: the real Brightgate.exe on a virtual screen (default); "
                             "stand-in: Tidemill.exe driven by a stand-in of the launcher")
    parser.add_argument("--whole-road", action="store_true",
                        help="fail when the launcher's road stops short, instead of showing the update "
                             "through the stand-in after it")
    parser.add_argument("--prefix", help="Wine prefix (default: one of the sample's own in the build folder)")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    out = os.path.abspath(args.out)
    sample = Sample(build, out, args.road)
    missing = sample.missing()
    if missing:
        print("run_sample: %s missing; build first" % ", ".join(missing), file=sys.stderr)
        return 1
    before = prepare(sample)
    if args.road == "stand-in":
        return stand_in_road(sample, args, before)

    print("The hall's command line: Brightgate.exe %s (started from %s)" % (HALL_PARAMETERS, sample.out))
    result, shots_ok = launcher_road(sample, args, before)
    if result == 0 or args.whole_road:
        return result
    if not shots_ok:
        print("A screenshot has too few colours: the launcher's windows were not drawn.")
        return 1
    print("\n" + "=" * 78)
    print("The launcher's road stopped short (above). The update itself, shown through the")
    print("stand-in of the launcher on a fresh installation in %s:" % os.path.join(out, "stand-in"))
    print("=" * 78)
    fallback = Sample(build, os.path.join(out, "stand-in"), "stand-in")
    args.prefix = None
    return stand_in_road(fallback, args, prepare(fallback))


if __name__ == "__main__":
    sys.exit(main())
