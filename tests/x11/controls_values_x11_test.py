"""The values section of "zeko demo controls" on a real X server, driven with
xdotool: up-down controls typed into, stepped by their arrows (a held arrow
repeats after 500 ms every 100 ms), by the wheel and the cursor keys and held
at their limits; sliders dragged, pressed on the track and stepped with keys,
the progress bar following; tab bars of both styles switched by clicks. The
event lines and the pixels on the screen are checked; a screenshot is kept in
the build's test output folder."""
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

from PIL import Image

SOURCE = os.environ.get("ZE_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "../..")))
BUILD = os.environ.get("ZE_BUILD_DIR", os.path.join(SOURCE, "build"))
TOOLS = os.environ.get("ZE_TOOLS_DIR", os.path.join(BUILD, "tools"))
OUTPUT = os.path.join(BUILD, "test-output")
TITLE = "zeko controls demo"

NAVY, TAB_BLUE, GREY_SEP = (0, 0, 0x80), (0x00, 0x23, 0xb1), (0xc0, 0xc0, 0xc0)


def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, capture_output=True)


class Demo:
    def __init__(self):
        self.tmp = tempfile.mkdtemp(prefix="values_demo_")
        self.out_path = os.path.join(self.tmp, "out.txt")
        self.out = open(self.out_path, "w")
        self.proc = subprocess.Popen([os.path.join(TOOLS, "zeko"), "demo", "controls", "values"],
                                     stdout=self.out, stderr=subprocess.STDOUT)
        end = time.time() + 15
        while time.time() < end and "demo ready" not in self.text():
            if self.proc.poll() is not None:
                raise RuntimeError("the demo ended at start:\n" + self.text())
            time.sleep(0.1)
        self.controls = {}
        for m in re.finditer(r"^control (\S+) (-?\d+) (-?\d+) (\d+) (\d+)$", self.text(), re.M):
            self.controls[m.group(1)] = tuple(int(v) for v in m.groups()[1:])
        self.win = None
        while time.time() < end and not self.win:
            r = subprocess.run(["xdotool", "search", "--name", TITLE], capture_output=True, text=True)
            self.win = r.stdout.split()[0] if r.stdout.split() else None
            time.sleep(0.1)
        if not self.win:
            raise RuntimeError("no window:\n" + self.text())
        time.sleep(0.5)
        info = subprocess.run(["xwininfo", "-id", self.win], capture_output=True, text=True).stdout
        self.wx = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1))
        self.wy = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
        self.seen = 0   # event lines already looked at

    def text(self):
        with open(self.out_path) as f:
            return f.read()

    def events(self, name):
        return re.findall(r"^event %s (\S+) (\S+)$" % name, self.text(), re.M)

    def wait_event(self, name, kind, value, timeout=3.0):
        """Waits for a new event line of the control; returns all new ones."""
        end = time.time() + timeout
        while time.time() < end:
            new = self.events(name)[self.seen_of(name):]
            if (kind, str(value)) in new:
                self.mark(name)
                return new
            time.sleep(0.05)
        raise AssertionError("no \"event %s %s %s\"; output:\n%s" % (name, kind, value, self.text()))

    def seen_of(self, name):
        return getattr(self, "seen_" + name, 0)

    def mark(self, name):
        setattr(self, "seen_" + name, len(self.events(name)))

    def new_events(self, name):
        return self.events(name)[self.seen_of(name):]

    def move(self, x, y):
        xdo("mousemove", self.wx + x, self.wy + y)

    def click(self, x, y, button=1):
        self.move(x, y)
        xdo("click", button)

    def shot(self):
        path = os.path.join(self.tmp, "shot.png")
        subprocess.run(["import", "-window", "root", path], check=True)
        return Image.open(path).convert("RGB")

    def pixel(self, x, y):
        return self.shot().getpixel((self.wx + x, self.wy + y))

    def wait_pixel(self, x, y, colour, what, timeout=3.0):
        end = time.time() + timeout
        got = None
        while time.time() < end:
            got = self.pixel(x, y)
            if got == colour:
                return
            time.sleep(0.1)
        raise AssertionError("%s: pixel (%d, %d) is %s, not %s" % (what, x, y, got, colour))

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
        self.out.close()


class ValuesDemo(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.demo = Demo()

    @classmethod
    def tearDownClass(cls):
        d = cls.demo
        os.makedirs(OUTPUT, exist_ok=True)
        keep = os.path.join(OUTPUT, "controls_values_x11.png")
        d.shot().crop((d.wx, d.wy, d.wx + 640, d.wy + 480)).save(keep)
        print("screenshot:", keep)
        d.close()

    # Up-down arrows: the up button in the upper half of the arrow area at the right end.
    def arrow(self, name, up):
        if name not in self.demo.controls:
            self.skipTest("no up-down controls in this build")
        x, y, w, h = self.demo.controls[name]
        return x + w - h // 4 - 3, y + (h // 4 + 1 if up else 3 * h // 4 - 1)

    def test_updown_arrows_clamp_at_the_limit_and_still_report(self):
        d = self.demo
        d.mark("days")
        for value in (19, 20, 20):
            d.click(*self.arrow("days", True))
            d.wait_event("days", "main", value)
        d.click(*self.arrow("days", False))
        d.wait_event("days", "main", 19)

    def test_a_held_arrow_repeats_after_500_ms_every_100_ms(self):
        d = self.demo
        x, y = self.arrow("count", False)
        d.click(*self.arrow("count", True))   # a quick click is one step
        d.wait_event("count", "main", 1)
        d.move(x, y)
        time.sleep(0.2)
        start = time.time()
        xdo("mousedown", 1)
        time.sleep(1.5)
        xdo("mouseup", 1)
        held = time.time() - start
        end = time.time() + 3
        while time.time() < end and len(d.new_events("count")) < 2:
            time.sleep(0.05)
        new = d.new_events("count")
        # One event for the press, one at the release: nothing while it repeats.
        self.assertEqual(2, len(new), new)
        self.assertEqual("0", new[0][1])
        steps = 1 - int(new[1][1])
        expected = 1 + int((held - 0.5) / 0.1)
        self.assertLessEqual(abs(steps - expected), 3, "%d steps in %.2f s" % (steps, held))
        self.assertGreater(steps, 8)
        d.mark("count")

    def test_typing_wheel_and_keys(self):
        d = self.demo
        if "five" not in d.controls:
            self.skipTest("no up-down controls in this build")
        x, y, w, h = d.controls["five"]
        d.move(x + 10, y + h // 2)   # a double click selects the text: typing replaces it
        xdo("click", "--repeat", 2, "--delay", 80, 1)
        time.sleep(0.2)
        xdo("type", "12")
        d.wait_event("five", "text", "12")
        xdo("key", "Up")   # 17 snapped down to the step
        d.wait_event("five", "main", 15)
        d.move(x + 10, y + h // 2)
        xdo("click", 4)
        d.wait_event("five", "main", 20)
        xdo("click", 5)
        xdo("click", 5)
        d.wait_event("five", "main", 10)
        xdo("key", "Down")
        d.wait_event("five", "main", 5)

    def test_slider_drag_track_and_keys_move_the_progress_bar(self):
        d = self.demo
        x, y, w, h = d.controls["slide"]
        px, py, pw, ph = d.controls["progress"]
        track = w - 34
        knob = x + track * 50 // 100 + 2 + 15   # the groove at 50 %
        d.move(knob, y + h // 2)
        xdo("mousedown", 1)
        for step in (10, 20, 30, 40):
            time.sleep(0.05)
            d.move(knob + step, y + h // 2)
        time.sleep(0.1)
        xdo("mouseup", 1)
        value = (track * 50 // 100 + 40) * 100 // track
        d.wait_event("slide", "main", value)
        # (value + 3) / 5 blocks: the last one filled, the next one not.
        blocks = (value + 3) // 5

        def block_x(i):
            return px + int(1 + i * (pw - 2) * 0.05) + 2

        d.wait_pixel(block_x(blocks - 1), py + ph // 2, NAVY, "last block at %d %%" % value)
        self.assertNotEqual(NAVY, d.pixel(block_x(blocks), py + ph // 2))
        d.click(x + w - 5, y + h // 2)   # the track right of the knob: + 5
        d.wait_event("slide", "main", value + 5)
        xdo("key", "Left")
        d.wait_event("slide", "main", value)
        xdo("key", "Home")
        d.wait_event("slide", "main", 0)
        time.sleep(0.2)
        self.assertNotEqual(NAVY, d.pixel(block_x(0), py + ph // 2))
        xdo("key", "End")
        d.wait_event("slide", "main", 100)
        d.wait_pixel(block_x(19), py + ph // 2, NAVY, "all blocks at 100 %")

    def test_vertical_slider_and_grey_slider(self):
        d = self.demo
        x, y, w, h = d.controls["vslide"]
        d.click(x + w // 2, y + 5)   # above the knob: up
        d.wait_event("vslide", "main", 30)
        xdo("key", "Down")
        d.wait_event("vslide", "main", 25)
        gx, gy, gw, gh = d.controls["greyslide"]
        d.click(gx + gw - 5, gy + gh // 2)
        time.sleep(0.3)
        self.assertEqual([], d.events("greyslide"))

    def test_tab_bars_switch_by_click_only(self):
        d = self.demo
        for name, first in (("tabs", 1), ("greytabs", 0)):
            x, y, w, h = d.controls[name]
            # Tabs of 60, 118, 60, 60 pixels with 2 between.
            lefts = [first, first + 62, first + 182, first + 244]
            d.click(x + lefts[2] + 30, y + h // 2)
            d.wait_event(name, "main", 2)
            d.click(x + lefts[2] + 30, y + h // 2)   # the selected tab: no event
            xdo("key", "Right")                        # the bar has no keyboard operation
            d.click(x + lefts[1] + 50, y + h // 2)
            new = d.wait_event(name, "main", 1)
            self.assertEqual([("main", "1")], new)
        x, y, w, h = d.controls["tabs"]
        d.wait_pixel(x + 1 + 62 + 59, y, TAB_BLUE, "the selected coloured tab's outline")
        x, y, w, h = d.controls["greytabs"]
        d.wait_pixel(x + 62 + 117, y + h // 2, GREY_SEP, "the separator after the grey tab")
        x, y, w, h = d.controls["manytabs"]
        d.click(x + 1 + 3 * 62 + 30, y + h // 2)
        d.wait_event("manytabs", "main", 3)


if __name__ == "__main__":
    unittest.main(verbosity=2)
