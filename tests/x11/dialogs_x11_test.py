# "zeko demo dialogs" on a real X server, driven with xdotool: the info
# dialog and the F12 banner over it, yes/no in English and German, the text
# input, the date picker, the popup menu, and the file dialog walking into a
# directory, filtering, choosing a program, typing a new name to save (also
# in a directory it cannot list) and asking before it overwrites. Each answer
# line is checked; a screenshot of each dialog is kept in the build's test
# output.
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from PIL import Image, ImageChops

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quimo_x11_helpers as qx  # noqa: E402

OUTPUT = os.path.join(qx.BUILD, "test-output")
LINE_H = 16   # the file dialog's lists use the 8x16 font
# The file dialog's controls, in the order the demo lists them.
PATH, DIRS, FILES, SEL, FILTER, OK, CANCEL, HIDDEN = range(8)


class Dialogs(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="zeko_dialogs_")
        self.work = os.path.join(self.tmp, "work")
        os.makedirs(os.path.join(self.work, "docs", "old"))
        for name in ("top.txt", "docs/a.txt", "docs/b.md", "docs/c.txt", "run.sh"):
            open(os.path.join(self.work, name), "w").close()
        os.chmod(os.path.join(self.work, "run.sh"), 0o755)
        self.proc = None
        self.out = None
        os.makedirs(OUTPUT, exist_ok=True)

    def tearDown(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
        if self.out:
            self.out.close()
        subprocess.run(["chmod", "-R", "u+rwx", self.tmp])
        shutil.rmtree(self.tmp, ignore_errors=True)

    # ----- the demo -----

    def start(self, *names, cwd=None, prefix=()):
        env = dict(os.environ, HOME=self.tmp, XDG_CONFIG_HOME=os.path.join(self.tmp, ".config"), ZE_PLATFORM="x11")
        self.out_path = os.path.join(self.tmp, "out.txt")
        self.out = open(self.out_path, "w")
        self.proc = subprocess.Popen(list(prefix) + [os.path.join(qx.TOOLS, "zeko"), "demo", "dialogs"] + list(names),
                                     env=env, stdout=self.out, stderr=subprocess.STDOUT, cwd=cwd or self.work)
        self.cursor = 0

    def output(self):
        with open(self.out_path) as f:
            return f.read()

    def wait_line(self, pattern):
        """Waits for the next line matching pattern after those already
        taken (the demo's lines come in order) and takes it."""
        def found():
            m = re.compile(pattern, re.M).search(self.output(), self.cursor)
            if not m and self.proc.poll() is not None:
                raise AssertionError("the demo ended without %r" % pattern)
            return m
        try:
            m = qx.wait_for(found, "a line matching %r" % pattern)
        except AssertionError as e:
            raise AssertionError("%s\noutput so far:\n%s" % (e, self.output()))
        self.cursor = m.end()
        return m

    def dialog(self, name):
        """Waits for the next dialog to be up and focused; its client area on
        the screen and its controls (client rectangles)."""
        m = self.wait_line(r"^dialog %s (-?\d+) (-?\d+) (\d+) (\d+)$" % name)
        rect = tuple(int(v) for v in m.group(1, 2, 3, 4))
        controls = {}
        for c in re.finditer(r"^control %s (\d+) (-?\d+) (-?\d+) (\d+) (\d+)$" % name, self.output()[m.end():], re.M):
            i = int(c.group(1))
            if i in controls:
                break
            controls[i] = tuple(int(v) for v in c.group(2, 3, 4, 5))
        # The window manager places the window after it was opened: where it
        # is comes from the server, once it is the active window.
        self.rect = qx.wait_for(lambda: self.active_is(rect), "the %s dialog to have the keyboard focus" % name)
        self.controls = controls
        return self.rect

    def active_is(self, rect):
        """The active window's client area when it has the size of rect."""
        r = subprocess.run(["xdotool", "getactivewindow"], capture_output=True, text=True)
        if r.returncode != 0 or not r.stdout.strip():
            return None
        r = subprocess.run(["xwininfo", "-id", r.stdout.strip()], capture_output=True, text=True)
        g = {}
        for key, label in (("x", "Absolute upper-left X"), ("y", "Absolute upper-left Y"), ("w", "Width"),
                           ("h", "Height")):
            m = re.search(label + r":\s+(-?\d+)", r.stdout)
            if not m:
                return None
            g[key] = int(m.group(1))
        return (g["x"], g["y"], g["w"], g["h"]) if (g["w"], g["h"]) == rect[2:] else None

    def answer(self, name):
        return self.wait_line(r"^event %s (\S+) ?(.*)$" % name).group(1, 2)

    # ----- the user's hands and eyes -----

    def xdo(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True)

    def click_at(self, x, y, repeat=1):
        self.xdo("mousemove", self.rect[0] + x, self.rect[1] + y)
        self.xdo("click", "--repeat", repeat, "--delay", 80, 1)

    def click(self, i, repeat=1):
        x, y, w, h = self.controls[i]
        self.click_at(x + w // 2, y + h // 2, repeat)

    def click_line(self, i, line, repeat=1):
        x, y, _, _ = self.controls[i]
        self.click_at(x + 20, y + 4 + line * LINE_H + LINE_H // 2, repeat)

    def type(self, text):
        self.xdo("type", "--delay", 30, text)

    def key(self, *keys):
        self.xdo("key", "--delay", 30, *keys)

    def shot(self, box=None):
        path = os.path.join(self.tmp, "shot.png")
        subprocess.run(["import", "-window", "root", path], check=True)
        image = Image.open(path).convert("RGB")
        return image.crop(box) if box else image

    def area(self, i):
        x, y, w, h = self.controls[i]
        return (self.rect[0] + x, self.rect[1] + y, self.rect[0] + x + w, self.rect[1] + y + h)

    def keep(self, name):
        x, y, w, h = self.rect
        self.shot((x, y, x + w, y + h)).save(os.path.join(OUTPUT, "dialog_%s.png" % name))

    def wait_changed(self, i, before, what):
        qx.wait_for(lambda: ImageChops.difference(self.shot(self.area(i)), before).getbbox() is not None, what)

    # ----- the tests -----

    def test_info_with_the_banner_over_it(self):
        self.start("info")
        self.dialog("info")
        self.assertEqual(250, self.rect[2])
        self.keep("info")
        info, controls = self.rect, self.controls
        self.key("F12", "F12", "F12", "F12", "F12")
        self.dialog("info")   # the banner, on top
        self.assertGreater(self.rect[3], 200)
        self.keep("banner")
        self.key("Return")
        qx.wait_for(lambda: self.active_is(info) == info, "the info dialog to have the focus again")
        self.rect, self.controls = info, controls
        self.assertNotIn("event info", self.output()[self.cursor:])
        self.click(0)
        self.assertEqual(("main", "ok"), self.answer("info"))

    def test_yes_no_and_text_input(self):
        self.start("yesno", "janein", "input", "yesno")
        self.dialog("yesno")
        self.keep("yesno")
        self.key("Return")
        self.assertEqual(("main", "yes"), self.answer("yesno"))
        self.dialog("janein")
        self.click(1)
        self.assertEqual(("main", "nein"), self.answer("janein"))
        self.dialog("input")
        self.type("Zeit 42")
        self.keep("input")
        self.key("Return")
        self.assertEqual(("ok", "Zeit 42"), self.answer("input"))
        self.dialog("yesno")
        self.key("Escape")
        self.wait_line(r"^event yesno main no$")

    def test_date_picker(self):
        self.start("date", "date", "date")
        self.dialog("date")
        self.keep("date")
        self.key("Right", "Return")   # 31 January, one day on
        self.assertEqual(("ok", "2026-02-01"), self.answer("date"))
        self.dialog("date")
        self.click(2)                 # next month: February's header is purple
        header = (self.rect[0] + 150, self.rect[1] + 12)
        qx.wait_for(lambda: self.shot().getpixel(header) == (0xA0, 0x00, 0xC0), "February's header")
        # The 10th of February 2026, double-clicked where it is drawn.
        first = (datetime.date(2026, 2, 1).weekday() + 1) % 7   # Sunday first
        col, row = (first + 9) % 7, (first + 9) // 7
        self.click_at(20 + 40 * col + 6, 65 + 20 * row + 6, repeat=2)
        self.assertEqual(("ok", "2026-02-10"), self.answer("date"))
        self.dialog("date")
        self.key("Down", "Escape")
        self.wait_line(r"^event date cancel 2026-01-31$")

    def test_popup_menu(self):
        self.start("popup", "popup")
        for choose in (True, False):
            x, y, w, h = self.popup()
            if choose:
                self.shot((x, y, x + w, y + h)).save(os.path.join(OUTPUT, "dialog_popup.png"))
                # Cut, Copy, Paste (21 pixels each), a separator (4), then Select All.
                self.xdo("mousemove", x + w // 2, y + 1 + 3 * 21 + 4 + 10)
                self.xdo("click", 1)
                self.wait_line(r"^event popup main 5 Select All$")
            else:
                self.key("Escape")
                self.wait_line(r"^event popup cancel 0 $")

    def popup(self):
        """Waits for the next popup menu to be drawn; its screen rectangle."""
        m = self.wait_line(r"^dialog popup (-?\d+) (-?\d+) (\d+) (\d+)$")
        rect = tuple(int(v) for v in m.group(1, 2, 3, 4))
        self.xdo("mousemove", rect[0] + rect[2] + 50, rect[1] + rect[3] + 50)   # no entry highlighted
        qx.wait_for(lambda: self.shot().getpixel((rect[0] + 5, rect[1] + 5)) == (0xD0, 0xD0, 0xD0), "the menu")
        return rect

    def test_file_dialog_walks_filters_and_opens(self):
        self.start("open", "program")
        self.dialog("open")
        files = self.shot(self.area(FILES))
        self.click_line(DIRS, 1, repeat=2)   # [..], docs: into docs
        self.wait_changed(FILES, files, "the files of docs")
        self.keep("open")
        files = self.shot(self.area(FILES))
        self.click(SEL)
        self.type("*.md")
        self.key("Return")                   # a typed filter: only b.md is left
        self.wait_changed(FILES, files, "the files filtered")
        self.click_line(FILES, 0)
        self.key("Return")
        self.assertEqual(("ok", os.path.join(self.work, "docs", "b.md")), self.answer("open"))

        # Programs only: top.txt is not listed, run.sh is.
        self.dialog("program")
        self.click_line(FILES, 0, repeat=2)
        self.assertEqual(("ok", os.path.join(self.work, "run.sh")), self.answer("program"))

    def test_file_dialog_saves_a_new_name_and_asks_before_overwriting(self):
        os.mkdir(os.path.join(self.work, "locked"), 0o300)   # may be written, not listed
        # Root lists any directory: the demo runs without that power.
        nocaps = ["setpriv", "--inh-caps=-all", "--bounding-set=-dac_override,-dac_read_search"]
        self.start("save", "save", "save", "save", cwd=os.path.join(self.work, "locked"), prefix=nocaps)
        self.dialog("save")
        self.keep("save_unreadable")
        self.type("report")                  # replaces the suggested notes.txt
        self.key("Return")
        self.assertEqual(("ok", os.path.join(self.work, "locked", "report.txt")), self.answer("save"))

        self.dialog("save")
        self.type("../top")
        self.key("Return")
        self.dialog("save")                  # "File exists ! Overwrite ?"
        self.keep("overwrite")
        self.key("Return")
        self.wait_line(r"^event save ok %s$" % re.escape(os.path.join(self.work, "top.txt")))

        self.dialog("save")
        self.type("../top.txt")
        self.key("Return")
        self.dialog("save")
        self.click(1)                        # No
        self.wait_line(r"^event save cancel $")

        self.dialog("save")
        self.key("Escape")
        self.wait_line(r"^event save cancel $")


if __name__ == "__main__":
    unittest.main()
