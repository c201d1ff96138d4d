"""The colour chooser on a real X server ("zeko demo colour"), driven with
xdotool: a typed hex colour comes back with Enter, a click on a basic colour
with OK, the original with Cancel and with Escape, the keyboard alone
(typing at once, Tab to OK or Cancel, Enter), a drag in the field that
leaves the window; the preview shows the
colour on the screen before it is taken. A screenshot is kept in the build's
test output folder."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from quimo_x11_helpers import BUILD, TOOLS, wait_for  # noqa: E402

OUTPUT = os.path.join(BUILD, "test-output")
TITLE = "zeko colour"


def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, capture_output=True)


def shot(path):
    subprocess.run(["import", "-window", "root", path], check=True, capture_output=True)
    return Image.open(path).convert("RGB")


class Demo:
    """zeko demo colour, opening the chooser several times in a row."""

    def __init__(self, start, times):
        self.tmp = tempfile.mkdtemp(prefix="colour_demo_")
        self.out_path = os.path.join(self.tmp, "out.txt")
        self.out = open(self.out_path, "w")
        self.proc = subprocess.Popen([os.path.join(TOOLS, "zeko"), "demo", "colour", start, str(times)],
                                     stdout=self.out, stderr=subprocess.STDOUT)
        self.dialogs = 0   # dialogs seen so far

    def text(self):
        with open(self.out_path) as f:
            return f.read()

    def answers(self):
        return re.findall(r"^event colour chosen (0x[0-9A-F]{6})$", self.text(), re.M)

    def next_dialog(self):
        """Waits for the next dialog to be up and mapped; returns the client
        origin and the control rectangles (client coordinates)."""
        def up():
            if self.proc.poll() is not None:
                raise AssertionError("the demo ended:\n" + self.text())
            return len(re.findall(r"^dialog colour ", self.text(), re.M)) > self.dialogs
        wait_for(up, "dialog %d" % (self.dialogs + 1))
        self.dialogs += 1
        block = self.text().split("dialog colour ")[self.dialogs]
        self.controls = {m.group(1): tuple(int(v) for v in m.groups()[1:])
                         for m in re.finditer(r"^control (\S+) (-?\d+) (-?\d+) (\d+) (\d+)$", block, re.M)}

        def mapped():
            r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % TITLE],
                               capture_output=True, text=True)
            return r.stdout.split()[-1] if r.stdout.split() else None
        self.win = wait_for(mapped, "the chooser window to be mapped")
        info = subprocess.run(["xwininfo", "-id", self.win], capture_output=True, text=True).stdout
        self.wx = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1))
        self.wy = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
        # Keys typed before the window has the keyboard focus would go elsewhere.
        def focused():
            xdo("windowactivate", "--sync", self.win)
            r = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True, text=True)
            return r.stdout.strip() == self.win
        wait_for(focused, "the chooser window to have the keyboard focus")

    def wait_answer(self, n):
        wait_for(lambda: len(self.answers()) >= n, "answer %d; output:\n%s" % (n, self.text()))
        return self.answers()[n - 1]

    def click(self, x, y):
        xdo("mousemove", "--sync", self.wx + x, self.wy + y)
        xdo("click", 1)

    def click_control(self, name, dx=None, dy=None):
        x, y, w, h = self.controls[name]
        self.click(x + (w // 2 if dx is None else dx), y + (h // 2 if dy is None else dy))

    def preview_new(self, img):
        """The right half of the preview (below the field)."""
        x, y, w, h = self.controls["field"]
        return img.getpixel((self.wx + x + 75, self.wy + y + h + 8 + 20))

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
        self.out.close()


class ColourChooser(unittest.TestCase):
    def setUp(self):
        self.demo = Demo("336699", 7)
        self.addCleanup(self.demo.close)

    def test_typed_hex_basic_colour_cancel_and_escape(self):
        d = self.demo
        # 1: a typed hex colour, taken with Enter; the preview follows as it is typed.
        d.next_dialog()
        d.click_control("hex")
        xdo("key", "End")
        xdo("key", "--repeat", 10, "BackSpace")
        xdo("type", "#abcdef")
        path = os.path.join(d.tmp, "shot.png")
        wait_for(lambda: d.preview_new(shot(path)) == (0xAB, 0xCD, 0xEF), "the preview to show #ABCDEF")
        os.makedirs(OUTPUT, exist_ok=True)
        keep = os.path.join(OUTPUT, "colorchooser_x11.png")
        x, y, w, h = d.wx, d.wy, 460, 300
        Image.open(path).crop((x, y, x + w, y + h)).save(keep)
        print("screenshot:", keep)
        xdo("key", "Return")
        self.assertEqual("0xABCDEF", d.wait_answer(1))

        # 2: full red from the basic colours (second row, first column), then OK.
        d.next_dialog()
        bx, by, bw, bh = d.controls["basic"]
        d.click(bx + bw // 16, by + bh * 3 // 12)
        wait_for(lambda: d.preview_new(shot(path)) == (255, 0, 0), "the preview to show red")
        d.click_control("ok")
        self.assertEqual("0xFF0000", d.wait_answer(2))

        # 3: a change, then Cancel: the original (red) comes back.
        d.next_dialog()
        d.click_control("field", 100, 100)
        wait_for(lambda: d.preview_new(shot(path)) != (255, 0, 0), "the preview to change")
        d.click_control("cancel")
        self.assertEqual("0xFF0000", d.wait_answer(3))

        # 4: Escape cancels too.
        d.next_dialog()
        d.click_control("field", 50, 50)
        xdo("key", "Escape")
        self.assertEqual("0xFF0000", d.wait_answer(4))

        # 5: keys alone: the hex entry has the focus with its text selected,
        # so a colour is typed at once; Tab to OK, Enter.
        d.next_dialog()
        xdo("type", "#102030")
        wait_for(lambda: d.preview_new(shot(path)) == (0x10, 0x20, 0x30), "the preview to show #102030")
        xdo("key", "Tab")
        xdo("key", "Return")
        self.assertEqual("0x102030", d.wait_answer(5))

        # 6: Tab to Cancel; Enter there cancels.
        d.next_dialog()
        xdo("type", "#FFFFFF")
        xdo("key", "Tab", "Tab", "Return")
        self.assertEqual("0x102030", d.wait_answer(6))

        # 7: a drag in the field that leaves the window keeps going and stops
        # at the field's edge: no saturation, the brightness kept (a grey).
        d.next_dialog()
        fx, fy, fw, fh = d.controls["field"]
        xdo("mousemove", "--sync", d.wx + fx + 30, d.wy + fy + 30)
        xdo("mousedown", 1)
        for step in (40, 120, 400):
            xdo("mousemove", "--sync", d.wx + fx + 30 + step, d.wy + fy + 30 + step)
        wait_for(lambda: d.preview_new(shot(path)) == (0x30, 0x30, 0x30), "the preview to show grey")
        xdo("mouseup", 1)
        xdo("key", "Return")
        self.assertEqual("0x303030", d.wait_answer(7))
        wait_for(lambda: d.proc.poll() is not None, "the demo to end")
        self.assertEqual(0, d.proc.returncode)


if __name__ == "__main__":
    unittest.main(verbosity=2)
