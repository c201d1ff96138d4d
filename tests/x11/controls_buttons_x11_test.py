# "zeko demo controls buttons" on a real X server, driven with xdotool:
# clicks on push, switch and indicator buttons, a press released outside a
# button (no event), the pressed look while the mouse is held, hot keys and
# the default button's Enter, check boxes by click and Space, a link that
# shows the hand cursor (read back with XFixes) and hands its address to a
# stand-in xdg-open. Event lines and screen pixels are checked; one
# screenshot is kept in the build's test output.
import ctypes
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quimo_x11_helpers as qx  # noqa: E402

OUTPUT = os.path.join(qx.BUILD, "test-output")
TITLE = "zeko controls demo"
FACE = (0xD0, 0xD0, 0xD0)


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def cursor_name():
    """The name of the pointer's current shape, as XFixes reports it."""
    x11 = ctypes.CDLL("libX11.so.6")
    xfixes = ctypes.CDLL("libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    d = x11.XOpenDisplay(None)
    try:
        image = xfixes.XFixesGetCursorImage(d)
        return image.contents.name.decode() if image and image.contents.name else ""
    finally:
        x11.XCloseDisplay(d)


class ControlsButtons(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="zeko_buttons_")
        # The stand-in opener records what it is given.
        self.opened = os.path.join(self.tmp, "opened.txt")
        bindir = os.path.join(self.tmp, "bin")
        os.mkdir(bindir)
        opener = os.path.join(bindir, "xdg-open")
        with open(opener, "w") as f:
            f.write('#!/bin/sh\necho "$@" >> "%s"\n' % self.opened)
        os.chmod(opener, 0o755)
        env = dict(os.environ, PATH=bindir + ":" + os.environ["PATH"], HOME=self.tmp, TMPDIR=self.tmp,
                   XDG_CONFIG_HOME=os.path.join(self.tmp, ".config"), ZE_PLATFORM="x11")
        self.out_path = os.path.join(self.tmp, "out.txt")
        self.out = open(self.out_path, "w")
        self.proc = subprocess.Popen([os.path.join(qx.TOOLS, "zeko"), "demo", "controls", "buttons"], env=env,
                                     stdout=self.out, stderr=subprocess.STDOUT, cwd=self.tmp)
        self.seen = 0   # event lines already checked
        self.wait_for(r"demo ready")
        self.controls = {m.group(1): tuple(int(v) for v in m.group(2, 3, 4, 5))
                         for m in re.finditer(r"^control (\S+) (\d+) (\d+) (\d+) (\d+)$", self.output(), re.M)}
        geometry = None
        for _ in range(50):
            r = subprocess.run(["xwininfo", "-name", TITLE], capture_output=True, text=True)
            m = re.search(r"Absolute upper-left X:\s+(\d+).*Absolute upper-left Y:\s+(\d+)", r.stdout, re.S)
            if m and "IsViewable" in r.stdout:
                geometry = int(m.group(1)), int(m.group(2))
                break
            time.sleep(0.1)
        self.assertIsNotNone(geometry, "the demo window is not shown")
        self.wx, self.wy = geometry
        time.sleep(0.3)

    def tearDown(self):
        self.proc.terminate()
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        self.out.close()

    # ----- helpers -----

    def output(self):
        with open(self.out_path) as f:
            return f.read()

    def wait_for(self, pattern, timeout=5.0):
        end = time.time() + timeout
        while time.time() < end:
            m = re.search(pattern, self.output(), re.M)
            if m:
                return m
            self.assertIsNone(self.proc.poll(), "the demo ended:\n" + self.output())
            time.sleep(0.05)
        self.fail("no line matching %r in:\n%s" % (pattern, self.output()))

    def events(self):
        return re.findall(r"^event .*$", self.output(), re.M)

    def expect_events(self, *lines, settle=0.4):
        """The next event lines are exactly these (and no more come)."""
        end = time.time() + 5
        while len(self.events()) < self.seen + len(lines) and time.time() < end:
            time.sleep(0.05)
        time.sleep(settle)
        got = self.events()[self.seen:]
        self.seen += len(got)
        self.assertEqual(list(lines), got)

    def xdo(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True)
        time.sleep(0.05)

    def centre(self, name):
        x, y, w, h = self.controls[name]
        return self.wx + x + w // 2, self.wy + y + h // 2

    def move_to(self, name, dx=0, dy=0):
        x, y = self.centre(name)
        self.xdo("mousemove", x + dx, y + dy)

    def click(self, name):
        self.move_to(name)
        self.xdo("click", 1)

    def empty_spot(self):
        # Below the last section: no control there.
        bottom = max(y + h for (_, y, _, h) in self.controls.values())
        return self.wx + 400, self.wy + bottom + 20

    def shot(self):
        path = os.path.join(self.tmp, "shot.png")
        subprocess.run(["import", "-window", "root", path], check=True)
        return Image.open(path).convert("RGB")

    def pixel(self, name, dx, dy):
        x, y, _, _ = self.controls[name]
        return self.shot().getpixel((self.wx + x + dx, self.wy + y + dy))

    # ----- the test -----

    def test_buttons_links_switches_and_check_boxes(self):
        # A click on a push button; the face is the scheme's grey.
        self.assertEqual(FACE, self.pixel("ok", 4, 4))
        self.click("ok")
        self.expect_events("event ok main 0")

        # Held down it looks pressed (dark top-left line); leaving and
        # letting go outside gives no event and lets it up again.
        self.move_to("ok")
        self.xdo("mousedown", 1)
        time.sleep(0.2)
        self.assertEqual((0x80, 0x80, 0x80), self.pixel("ok", 0, 0))
        self.xdo("mousemove", *self.empty_spot())
        self.xdo("mouseup", 1)
        self.expect_events()
        self.assertEqual((0xF0, 0xF0, 0xF0), self.pixel("ok", 0, 0))

        # A switch button posts as it goes down and stays down.
        self.click("switch")
        self.expect_events("event switch main 1", "event switch up 1")
        self.click("switch")
        self.expect_events("event switch up 1")

        # A greyed button takes no click.
        self.click("grey")
        self.expect_events()

        # The link: the hand over it, the arrow away from it, its address to the opener.
        self.xdo("mousemove", *self.empty_spot())
        self.assertEqual("left_ptr", cursor_name())
        self.move_to("link")
        time.sleep(0.2)
        self.assertEqual("hand2", cursor_name())
        self.xdo("click", 1)
        self.expect_events("event link main http://example.com/zeko")
        for _ in range(50):
            if os.path.exists(self.opened):
                break
            time.sleep(0.1)
        with open(self.opened) as f:
            self.assertEqual("http://example.com/zeko", f.read().strip())
        self.move_to("greylink")
        time.sleep(0.2)
        self.assertEqual("left_ptr", cursor_name())

        # The indicator switch button lights its lamp.
        self.click("lamp")
        self.expect_events("event lamp main 1")
        _, _, _, h = self.controls["lamp"]
        self.assertEqual((0, 0xFF, 0), self.pixel("lamp", 5 + 4, h // 2))

        # Check boxes by click and by Space; the mark shows on the screen.
        _, _, _, h = self.controls["check"]
        mark = (2 + 3, (h - 13) // 2 + 2 + 7)   # the mark's lowest pixel
        self.assertEqual((0xFF, 0xFF, 0xFF), self.pixel("check", *mark))
        self.click("check")
        self.expect_events("event check main 1")
        self.assertEqual((0, 0, 0), self.pixel("check", *mark))
        self.xdo("key", "space")
        self.expect_events("event check main 0")
        self.click("round")
        self.expect_events("event round main 1")
        self.xdo("key", "Return")   # moves the focus on, clicks nothing
        self.expect_events()

        # Hot keys and the default button's Enter with no control focused.
        self.xdo("mousemove", *self.empty_spot())
        self.xdo("click", 1)
        self.xdo("key", "o")
        self.expect_events("event ok main 0")
        self.xdo("key", "F5")
        self.expect_events("event f5 main 0")
        self.xdo("key", "Return")
        self.expect_events("event default main 0")

        os.makedirs(OUTPUT, exist_ok=True)
        keep = os.path.join(OUTPUT, "controls_buttons_x11.png")
        bottom = max(y + h for (_, y, _, h) in self.controls.values())
        self.shot().crop((self.wx, self.wy, self.wx + 640, self.wy + bottom + 16)).save(keep)
        print("screenshot:", keep)


if __name__ == "__main__":
    unittest.main()
