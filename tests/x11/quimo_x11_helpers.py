# Helpers for the tests that run the real QUIMO program on a private Xvfb with
# openbox: a copy of the program directory with a prepared settings table, the
# program under a fixed fake clock, window queries, screenshots, and reading
# the seven-segment digits back from a screenshot with the glyphs of the
# digit picture set.
import datetime
import glob
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from PIL import Image

SOURCE = os.environ.get("ZE_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "../..")))
BUILD = os.environ.get("ZE_BUILD_DIR", os.path.join(SOURCE, "build"))
PROGRAM = os.environ.get("ZE_PROGRAM_DIR", os.path.join(BUILD, "program"))
TOOLS = os.environ.get("ZE_TOOLS_DIR", os.path.join(BUILD, "tools"))

# Debian's libfaketime (the multi-threaded variant: the program has a timer thread).
FAKETIME_LIB = (glob.glob("/usr/lib/*/faketime/libfaketimeMT.so.1") or ["libfaketimeMT.so.1"])[0]

# The caption of the timer window.
TITLE = "QUIMO TimerWindow"

SET_FILES = ["7seg_003_0100", "7seg_001_0300", "7seg_001_0400", "7seg_001_0500", "7seg_001_0600",
             "7seg_001_0700", "7seg_001_0800", "7seg_001_0900", "7seg_001_1000", "7seg_001_1200",
             "7seg_001_1400", "7seg_001_1600", "7seg_001_1800", "7seg_001_2000", "7seg_001_2500",
             "7seg_001_3000"]
SET_LAST_SIZE = [6, 12, 19, 25, 32, 38, 45, 51, 58, 64, 71, 77, 84, 90, 97, 100]


# Every wait of these tests ends as soon as its condition holds, or after this
# many seconds: the machine may be loaded by other builds.
WAIT = float(os.environ.get("ZE_X11_WAIT", "30"))


def wait_for(fn, what, timeout=WAIT):
    """Calls fn until it returns something true and returns that; after timeout
    seconds raises AssertionError naming what was waited for."""
    end = time.time() + timeout
    while True:
        v = fn()
        if v:
            return v
        if time.time() >= end:
            raise AssertionError("timed out after %g s waiting for %s" % (timeout, what))
        time.sleep(0.05)


def dump_stacks(pid, what="process"):
    """Prints every thread's stack of a process that did not answer in time
    (gdb in batch mode), before the test kills it: a hang can then be read
    from the test log."""
    try:
        os.kill(pid, 0)
    except OSError:
        return
    print("--- stacks of %s %d (it did not answer in time)" % (what, pid), flush=True)
    try:
        out = subprocess.run(["gdb", "-p", str(pid), "-batch", "-nx", "-ex", "set pagination off",
                              "-ex", "thread apply all bt"], capture_output=True, text=True, timeout=60).stdout
    except (OSError, subprocess.TimeoutExpired) as e:
        out = "gdb failed: %s\n" % e
    skip = ("[New LWP", "warning:", "Using host")
    print("".join(line for line in out.splitlines(True) if not line.startswith(skip)
                  and "libthread_db" not in line), end="")
    print("--- end of stacks", flush=True)


def day_number(y, m, d):
    return datetime.date(y, m, d).toordinal()


def default_rows():
    """Every settings row with plain values: a count-up in the clock form."""
    return {
        0: ["CountUp", 1, 1],
        1: ["Destination", day_number(2026, 12, 31), 0],
        2: ["24h", 0],
        3: ["stop after finished", 0],
        4: ["CountUpTime", 43200],
        5: ["CountUpStopMode", 0, 0],
        6: ["Textcolor", "ff0000", "000000"],
        7: ["Coordinates", 100, 200, 0],
        8: ["Border/Offset", 0, "000000", 2, 2],
        9: ["WindowOnStart", 0],
        10: ["AlwaysOnTop/Fullscreen", 1, 0, 0, 0],
        11: ["Autostart", 0],
        12: ["StayOnDesktop", 0],
        13: ["Size", 25],
        14: ["Colors", "ff0000", "330000"],
        15: ["Contrast", 80],
        16: ["Format", 1, 0, 1, 1, 1, 0, 2, 0, 1, 0, 0, 8, 3],
        17: ["GraphicProgram", ""],
        18: ["Offset", 0, 0],
        19: ["Language", 0],
        20: ["SyncTime", 0],
        21: ["Action", 0, 0, 0, "", "", "QUIMO"],
        22: ["ColonBlink", 0],
    }


class Display:
    """A private Xvfb with openbox, so the work area and other windows are ours alone."""

    def __init__(self):
        # -displayfd: Xvfb picks a free display and names it once it accepts clients.
        r, w = os.pipe()
        # -noreset: a server that resets whenever its last client leaves
        # refuses a client that connects meanwhile.
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1920x1080x24",
                                      "-nolisten", "tcp", "-noreset", "+extension", "RANDR"], pass_fds=(w,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            ready, _, _ = select.select([f], [], [], WAIT)
            number = f.readline().strip() if ready else ""
        if not number:
            self.xvfb.kill()
            raise RuntimeError("timed out after %g s waiting for Xvfb to name its display" % WAIT)
        self.name = ":" + number
        self.env = dict(os.environ, DISPLAY=self.name)
        self.wm_log = tempfile.TemporaryFile(mode="w+")
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=self.wm_log,
                                   stderr=subprocess.STDOUT)

        def managed():
            if self.wm.poll() is not None:
                return "ended"
            return "window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout
        try:
            if wait_for(managed, "openbox to manage the screen of " + self.name) == "ended":
                raise AssertionError("openbox ended with code %s at start" % self.wm.returncode)
            wait_for(self.takes_windows, "openbox to take a window in")
        except AssertionError as e:
            self.wm_log.seek(0)
            self.close()
            raise RuntimeError("%s; its output: %s" % (e, self.wm_log.read()[-2000:]))

    def takes_windows(self):
        """openbox names itself on the root before its event loop runs, and a
        window mapped in between is never managed (it stays unmapped for
        good). Ready means: a probe window mapped now is shown within a few
        seconds; a probe that is not is replaced by another."""
        probe = subprocess.Popen(["xclock", "-geometry", "16x16+0+0", "-title", "quimo-wm-probe"], env=self.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            return self.window_geometry("quimo-wm-probe", timeout=3) is not None
        finally:
            probe.kill()
            probe.wait()
            wait_for(lambda: self.run("xwininfo", "-name", "quimo-wm-probe").returncode != 0,
                     "the probe window to go")

    def close(self):
        for p in (self.wm, self.xvfb):
            p.terminate()
            try:
                p.wait(WAIT)
            except subprocess.TimeoutExpired:
                p.kill()

    def run(self, *cmd, **kw):
        return subprocess.run(list(cmd), env=self.env, capture_output=True, text=True, **kw)

    def screenshot(self, path):
        self.run("import", "-window", "root", path, check=True)
        return Image.open(path).convert("RGB")

    def window_geometry(self, title, timeout=WAIT):
        """Client area of the named window once it is viewable: (x, y, width,
        height), or None after timeout seconds."""
        end = time.time() + timeout
        while time.time() < end:
            r = self.run("xwininfo", "-name", title)
            if r.returncode == 0:
                g = {}
                for key, name in (("x", "Absolute upper-left X"), ("y", "Absolute upper-left Y"),
                                  ("w", "Width"), ("h", "Height"), ("state", "Map State")):
                    m = re.search(name + r":\s+(\S+)", r.stdout)
                    if m:
                        g[key] = m.group(1)
                if g.get("state") == "IsViewable":
                    return int(g["x"]), int(g["y"]), int(g["w"]), int(g["h"])
            time.sleep(0.1)
        return None

    def workarea(self):
        out = self.run("xprop", "-root", "_NET_WORKAREA").stdout
        nums = [int(n) for n in re.findall(r"\d+", out.split("=", 1)[-1])]
        return nums[:4]  # x, y, width, height of the first desktop


class Program:
    """A copy of the program directory; settings written with zeko dbf."""

    def __init__(self, display):
        self.display = display
        self.dir = tempfile.mkdtemp(prefix="quimo_prog_")
        shutil.copytree(PROGRAM, self.dir, dirs_exist_ok=True)
        for f in ("quimo_settings.dbf", "quimo.log", "quimo_bg_intern.bmp"):
            if os.path.exists(os.path.join(self.dir, f)):
                os.remove(os.path.join(self.dir, f))
        self.proc = None

    def write_settings(self, rows, width=150):
        """width: the cells' width (wider than the program's own 150 for texts
        it would cut when saving)."""
        table = os.path.join(self.dir, "quimo_settings.dbf")
        zeko = os.path.join(TOOLS, "zeko")
        subprocess.run([zeko, "dbf", "create", table, "30", "20", str(width)], check=True, capture_output=True)
        for row, values in rows.items():
            for col, v in enumerate(values):
                subprocess.run([zeko, "dbf", "set", table, str(row), str(col), str(v)], check=True,
                               capture_output=True)

    def read_settings(self):
        """The saved table as a list of rows of cell texts (zeko dbf dump: a header
        line, then one line per row with the cells separated by tabs)."""
        zeko = os.path.join(TOOLS, "zeko")
        out = subprocess.run([zeko, "dbf", "dump", os.path.join(self.dir, "quimo_settings.dbf")],
                             check=True, capture_output=True, text=True).stdout
        return [line.split("\t") for line in out.splitlines()[1:]]

    def start(self, fake_time=None, env_extra=None):
        """fake_time: a fixed start, or a file holding the FAKETIME text, read
        again at every clock reading so that a test can step the clock."""
        env = dict(self.display.env, TZ="UTC", QUIMO_TIME_URL="http://127.0.0.1:9/")
        env.update(env_extra or {})
        cmd = [os.path.join(self.dir, "quimo")]
        if fake_time and os.path.isfile(fake_time):
            env["LD_PRELOAD"] = FAKETIME_LIB
            env["FAKETIME_TIMESTAMP_FILE"] = fake_time
            env["FAKETIME_NO_CACHE"] = "1"
            env["FAKETIME_DONT_FAKE_MONOTONIC"] = "1"
        elif fake_time:
            # The start-at form: the clock starts at fake_time and runs on. The
            # library is preloaded directly (no wrapper process), so signals
            # reach the program itself.
            env["LD_PRELOAD"] = FAKETIME_LIB
            env["FAKETIME"] = "@" + fake_time
            env["FAKETIME_DONT_FAKE_MONOTONIC"] = "1"
        self.log_out = open(os.path.join(self.dir, "output.txt"), "w")
        self.started = time.time()
        self.proc = subprocess.Popen(cmd, cwd=self.dir, env=env, stdout=self.log_out, stderr=subprocess.STDOUT)

    def stop(self):
        if not self.proc:
            return None
        self.proc.send_signal(signal.SIGTERM)
        try:
            rc = self.proc.wait(WAIT)
        except subprocess.TimeoutExpired:
            dump_stacks(self.proc.pid, "the program, not ending on SIGTERM,")
            self.proc.kill()
            rc = self.proc.wait()
        self.proc = None
        self.log_out.close()
        return rc

    def log(self):
        try:
            with open(os.path.join(self.dir, "quimo.log"), encoding="latin-1") as f:
                return f.read()
        except OSError:
            return ""

    def close(self):
        self.stop()
        shutil.rmtree(self.dir, ignore_errors=True)


class DisplayTestCase(unittest.TestCase):
    """Tests sharing one private display per class, each starting its own
    copy of the program."""

    @classmethod
    def setUpClass(cls):
        cls.display = Display()

    @classmethod
    def tearDownClass(cls):
        cls.display.close()

    def start_program(self, rows, fake_time=None, env_extra=None, width=150):
        """Starts the program with the settings rows (closed at the test's end);
        returns it and the timer window's client area (x, y, width, height)."""
        prog = Program(self.display)
        self.addCleanup(prog.close)
        prog.write_settings(rows, width)
        prog.start(fake_time, env_extra)
        geo = self.display.window_geometry(TITLE)
        if geo is None:
            dump_stacks(prog.proc.pid, "the program")
        self.assertIsNotNone(geo, "timed out after %g s waiting for the timer window; log: %s" % (WAIT, prog.log()))
        return prog, geo


class DigitSet:
    """A digit picture set read the way the display reads it."""

    CELLS = "0123456789AP-:."

    def __init__(self, size):
        n = next(i for i, last in enumerate(SET_LAST_SIZE) if max(0, min(100, size)) <= last)
        img = Image.open(os.path.join(PROGRAM, "7seg", SET_FILES[n] + ".pcx")).convert("RGB")
        self.width, self.height = img.size
        px = img.load()
        cell = self.width // 15
        self.char_width = cell - 5
        colours = sorted({c for c in img.getdata() if c != (0, 0, 0)})
        assert len(colours) == 2, colours
        lit = colours[-1]
        lead = 0
        while lead < self.width and all(px[lead, y] == (0, 0, 0) for y in range(self.height)):
            lead += 1
        margin = lead - 1 if lead else 0
        colon = 13 * cell + margin
        self.narrow = 0
        while self.narrow < self.char_width and px[colon + self.narrow, 0] == (0, 0, 0):
            self.narrow += 1
        self.distance = self.char_width // 5
        # The lit pixels of each glyph, relative to its top-left corner.
        self.glyphs = {}
        for i, ch in enumerate(self.CELLS):
            x0 = i * cell + margin
            w = self.narrow if ch in ":." else self.char_width
            self.glyphs[ch] = {(x, y) for x in range(w) for y in range(self.height) if px[x0 + x, y] == lit}
        self.glyphs[" "] = set()

    def advance(self, ch):
        if ch in ":.":
            return self.narrow + self.distance
        return self.char_width + self.distance

    def text_width(self, template):
        return sum(self.advance(c) for c in template if c in "#-0123456789AP :.")

    def read(self, img, x0, y0, template, lit=(255, 0, 0)):
        """Reads the digits drawn at (x0, y0) for the format template ('#' a digit place)."""
        px = img.load()
        out = ""
        x = x0
        for t in template:
            w = self.narrow if t in ":." else self.char_width
            seen = {(dx, dy) for dx in range(w) for dy in range(self.height) if px[x + dx, y0 + dy] == lit}
            candidates = [t] if t in ":." else ("- " if t == "-" else "0123456789")
            best = min(candidates, key=lambda c: len(seen ^ self.glyphs[c]))
            if len(seen ^ self.glyphs[best]) > 0:
                out += "?"
            else:
                out += best
            x += self.advance(t)
        return out
