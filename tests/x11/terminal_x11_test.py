"""zeko demo terminal on a real X server: coloured output from printf and
ls shows the right characters in the right colours, typed lines reach cat
and come back, the wheel scrolls the scroll-back, and the window closes
cleanly when the child exits, when it is killed and when zeko is told to
quit (nothing of the child is left running)."""
import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import quimo_x11_helpers as qx  # noqa: E402
from PIL import Image  # noqa: E402

ZEKO = os.path.join(qx.TOOLS, "zeko")
OUTPUT = os.path.join(qx.BUILD, "test-output")
TITLE = "zeko terminal"
CW, CH, BORDER = 6, 13, 2           # builtin 6x13 cells inside a 2-pixel frame
WHITE, TEXT, RED, BLUE = (255, 255, 255), (0, 0, 64), (192, 0, 0), (0, 0, 192)


class TerminalX11(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.display = qx.Display()
        cls.tmp = tempfile.TemporaryDirectory()
        os.makedirs(OUTPUT, exist_ok=True)

    @classmethod
    def tearDownClass(cls):
        cls.display.close()
        cls.tmp.cleanup()

    def start(self, *command):
        env = dict(self.display.env, LANG="C", LC_ALL="C", LS_COLORS="di=01;34")
        self.out = open(os.path.join(self.tmp.name, "out.txt"), "w+")
        self.proc = subprocess.Popen([ZEKO, "demo", "terminal", *command], env=env, stdout=self.out,
                                     stderr=subprocess.STDOUT)
        self.addCleanup(self.stop)
        geo = self.display.window_geometry(TITLE, timeout=20)
        if geo is None:
            qx.dump_stacks(self.proc.pid, "zeko")
        self.assertIsNotNone(geo, "no terminal window; output:\n" + self.output())
        self.x, self.y = geo[0], geo[1]
        self.win = self.display.run("xdotool", "search", "--name", TITLE).stdout.split()[0]

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.out.close()

    def output(self):
        self.out.flush()
        with open(self.out.name) as f:
            return f.read()

    def shot(self, name="shot.png"):
        return self.display.screenshot(os.path.join(self.tmp.name, name))

    def glyphs(self, text):
        """The set pixels of text in the terminal's font, as (x, y) offsets."""
        path = os.path.join(self.tmp.name, "glyphs.png")
        subprocess.run([ZEKO, "font", "render", "6x13", text, path], check=True)
        img = Image.open(path).convert("RGB")
        return {(x - 4, y - 4) for x in range(4, 4 + CW * len(text)) for y in range(4, 4 + CH)
                if img.getpixel((x, y)) == (0, 0, 0)}

    def row_pixels(self, img, row, length):
        """Pixels of a text row that differ from the background: {(x, y): colour}."""
        x0, y0 = self.x + BORDER, self.y + BORDER + row * CH
        return {(x, y): img.getpixel((x0 + x, y0 + y)) for x in range(CW * length) for y in range(CH)
                if img.getpixel((x0 + x, y0 + y)) != WHITE}

    def row_is(self, img, row, text, colour=None):
        got = self.row_pixels(img, row, len(text) + 2)
        if set(got) != self.glyphs(text):
            return False
        return colour is None or all(c == colour for c in got.values())

    def wait_row(self, row, text, colour=None, timeout=10):
        end = time.time() + timeout
        while time.time() < end:
            img = self.shot()
            if self.row_is(img, row, text, colour):
                return img
            time.sleep(0.2)
        img.save(os.path.join(OUTPUT, "terminal_x11_failed.png"))
        self.fail("row %d does not show %r%s" % (row, text, " in %s" % (colour,) if colour else ""))

    def wait_end(self, timeout=10):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            qx.dump_stacks(self.proc.pid, "zeko")
            self.fail("zeko did not end; output:\n" + self.output())

    def key(self, *keys):
        self.display.run("xdotool", "windowactivate", "--sync", self.win)
        self.display.run("xdotool", "key", "--delay", "30", *keys)

    def test_colours_input_scrollback_and_end(self):
        d = os.path.join(self.tmp.name, "dir")
        os.makedirs(os.path.join(d, "subdir"), exist_ok=True)
        open(os.path.join(d, "plain.txt"), "w").close()
        script = ("printf '\\033[31mRED\\033[0m plain\\n'; ls --color=always %s; read go; seq 1 60; cat" % d)
        self.start("sh", "-c", script)
        self.wait_row(0, "RED plain")
        img = self.wait_row(1, "plain.txt", TEXT)
        self.assertTrue(self.row_is(img, 2, "subdir", BLUE), "ls shows the folder in blue")
        # "RED" in red; " plain" after the reset in the text colour.
        row0 = self.row_pixels(img, 0, 10)
        self.assertTrue(all(c == RED for p, c in row0.items() if p[0] < 3 * CW))
        self.assertTrue(all(c == TEXT for p, c in row0.items() if p[0] >= 3 * CW))
        img.save(os.path.join(OUTPUT, "terminal_x11.png"))

        # Lines 0-2 as above, 3 the typed "go", 4-63 the numbers 1-60, the
        # cursor on line 64: 25 lines shown from line 40 ("37").
        self.key("g", "o", "Return")
        self.wait_row(0, "37")
        self.display.run("xdotool", "mousemove", str(self.x + 100), str(self.y + 100))
        for _ in range(20):
            self.display.run("xdotool", "click", "4")
        img = self.wait_row(0, "17")
        img.save(os.path.join(OUTPUT, "terminal_x11_scrolled.png"))

        # A typed line is shown, sent at Enter and echoed by cat; the view
        # returns to the end.
        self.key("h", "e", "l", "l", "o", "Return")
        self.wait_row(22, "hello")
        self.wait_row(23, "hello")
        # Ctrl-D ends cat, the shell ends, the window closes.
        self.key("ctrl+d")
        self.assertEqual(0, self.wait_end())
        self.assertIn("event terminal ended 0", self.output())
        self.assertIsNone(self.display.window_geometry(TITLE, timeout=0.5))

    def test_killed_child_closes_the_window(self):
        self.start("sh", "-c", "echo ready; exec sleep 302.5")
        self.wait_row(0, "ready")
        pids = subprocess.run(["pgrep", "-P", str(self.proc.pid)], capture_output=True, text=True).stdout.split()
        self.assertEqual(1, len(pids))
        subprocess.run(["kill", "-9", pids[0]])
        self.wait_end()
        self.assertIn("event terminal ended 137", self.output())
        self.assertEqual("", subprocess.run(["pgrep", "-f", "sleep 302.5"], capture_output=True,
                                            text=True).stdout)

    def test_quit_ends_the_child_and_what_it_started(self):
        self.start("sh", "-c", "echo ready; sleep 301.5; echo never")
        self.wait_row(0, "ready")
        self.proc.terminate()
        self.assertEqual(0, self.wait_end())
        self.assertIn("event terminal closed 0", self.output())
        time.sleep(0.2)
        self.assertEqual("", subprocess.run(["pgrep", "-f", "sleep 301.5"], capture_output=True,
                                            text=True).stdout)


if __name__ == "__main__":
    unittest.main()
