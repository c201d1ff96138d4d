# "zeko page show" with the sample page of controls on a real X server,
# driven with xdotool: clicks on a button, a check box, a tab and a link, and
# typing into a line input reach the controls, and the page reports each of
# them by name. The pixels of the page's text and a screenshot are checked
# and kept in the build's test output.
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
TITLE = "zeko page"
PAGE = os.path.join(qx.SOURCE, "data", "pages", "controls.page")


class PageShow(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="zeko_page_")
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
        self.proc = subprocess.Popen([os.path.join(qx.TOOLS, "zeko"), "page", "show", PAGE], env=env,
                                     stdout=self.out, stderr=subprocess.STDOUT, cwd=self.tmp)
        self.seen = 0
        self.wait_for(r"page ready")
        self.controls = {m.group(1): (m.group(2),) + tuple(int(v) for v in m.group(3, 4, 5, 6))
                         for m in re.finditer(r"^control (\S+) (\S+) (-?\d+) (-?\d+) (\d+) (\d+)$",
                                              self.output(), re.M)}
        geometry = None
        for _ in range(50):
            r = subprocess.run(["xwininfo", "-name", TITLE], capture_output=True, text=True)
            m = re.search(r"Absolute upper-left X:\s+(\d+).*Absolute upper-left Y:\s+(\d+)", r.stdout, re.S)
            if m and "IsViewable" in r.stdout:
                geometry = int(m.group(1)), int(m.group(2))
                break
            time.sleep(0.1)
        self.assertIsNotNone(geometry, "the page window is not shown")
        self.wx, self.wy = geometry
        time.sleep(0.3)

    def tearDown(self):
        self.proc.terminate()
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        self.out.close()

    def output(self):
        with open(self.out_path) as f:
            return f.read()

    def wait_for(self, pattern, timeout=8):
        end = time.time() + timeout
        while time.time() < end:
            text = self.output()
            m = re.search(pattern, text[self.seen:], re.M)
            if m:
                self.seen += m.end()
                return m
            if self.proc.poll() is not None:
                break
            time.sleep(0.05)
        self.fail("no line matching %r in:\n%s" % (pattern, self.output()))

    def click(self, name, dx=None, dy=None):
        kind, x, y, w, h = self.controls[name]
        x += w // 2 if dx is None else dx
        y += h // 2 if dy is None else dy
        subprocess.run(["xdotool", "mousemove", str(self.wx + x), str(self.wy + y), "click", "1"], check=True)

    def screenshot(self):
        path = os.path.join(self.tmp, "shot.png")
        subprocess.run(["import", "-window", "root", path], check=True)
        return Image.open(path).convert("RGB")

    def test_clicks_and_typing_reach_the_controls_by_name(self):
        for name in ("tabMain", "btApply", "cbSound", "swTop", "liName", "coFormat", "lbSounds", "liHome",
                     "vwBox", "btInView"):
            self.assertIn(name, self.controls)
        self.assertEqual("button", self.controls["btApply"][0])

        self.click("btApply")
        self.wait_for(r"^event btApply button 0$")
        self.click("cbSound", dx=6)
        self.wait_for(r"^event cbSound checkbox 1$")
        self.click("swTop")
        self.wait_for(r"^event swTop switchbutton 1$")
        # The second tab of the bar, a little right of the first one's end.
        kind, x, y, w, h = self.controls["tabMain"]
        subprocess.run(["xdotool", "mousemove", str(self.wx + 90), str(self.wy + y + h // 2), "click", "1"],
                       check=True)
        self.wait_for(r"^event tabMain tabbar 1$")

        # Typing into the line input: each key changes its text, Enter activates it.
        kind, x, y, w, h = self.controls["liName"]
        subprocess.run(["xdotool", "mousemove", str(self.wx + x + w - 3), str(self.wy + y + h // 2), "click", "1"],
                       check=True)
        time.sleep(0.2)
        subprocess.run(["xdotool", "key", "End", "x", "y", "z"], check=True)
        self.wait_for(r"^event liName lineinput-change \S*xyz$")
        subprocess.run(["xdotool", "key", "Return"], check=True)
        self.wait_for(r"^event liName lineinput \S*xyz$")

        # A list line and a link; the link's address goes to the opener.
        kind, x, y, w, h = self.controls["lbSounds"]
        subprocess.run(["xdotool", "mousemove", str(self.wx + x + 20), str(self.wy + y + 6), "click", "1"],
                       check=True)
        self.wait_for(r"^event lbSounds listbox-change Bell$")
        self.click("liHome")
        self.wait_for(r"^event liHome link 0$")

        shot = self.screenshot()
        os.makedirs(OUTPUT, exist_ok=True)
        shot.save(os.path.join(OUTPUT, "page_show_controls.png"))
        # The heading is black text on the white page at (10, 30) and below.
        dark = sum(1 for i in range(10, 200) for j in range(28, 50)
                   if shot.getpixel((self.wx + i, self.wy + j)) == (0, 0, 0))
        self.assertGreater(dark, 50)
        self.assertEqual((255, 255, 255), shot.getpixel((self.wx + 700, self.wy + 300)))


if __name__ == "__main__":
    unittest.main()
