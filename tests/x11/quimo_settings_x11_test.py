# The settings window of the real program under Xvfb + openbox: opened by a
# click on the timer, every tab and sub-tab visited in English and, after F9,
# in German, a setting changed on each through its controls and its effect
# checked on the timer window and, after SIGTERM, in the saved table. Every
# tab's screenshot is kept in the test output. F5 writes the window's
# picture; an example applied by its button keeps the user's own settings;
# "-minys" gives a 550-pixel window on the 1080-pixel screen.
import os
import re
import signal
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quimo_x11_helpers as qx  # noqa: E402

from PIL import Image, ImageChops  # noqa: E402

OUTPUT = os.path.join(qx.BUILD, "test-output", "settings")
FAKE_START = "2026-12-31 23:59:30"
SETTINGS = "QUIMO"
TAB_NAMES = ["quimo", "timer", "format", "window", "background", "settings", "help"]


class Page:
    """The last page the program built, as its trace lists it."""

    def __init__(self, lines):
        head = lines[0].split()
        self.tab, self.sub, self.language = int(head[1]), int(head[2]), int(head[3])
        self.controls, self.points, self.tabs = {}, {}, {}
        for line in lines[1:]:
            f = line.split()
            if f[0] == "control":
                self.controls[f[1]] = (f[2],) + tuple(int(v) for v in f[3:7])
            elif f[0] == "point":
                self.points[f[1]] = int(f[2])
            elif f[0] == "tab":
                self.tabs[(f[1], int(f[2]))] = (int(f[3]), int(f[4]))


class Settings(qx.DisplayTestCase):
    def start(self, rows, args=()):
        prog = qx.Program(self.display)
        self.addCleanup(prog.close)
        prog.write_settings(rows)
        env = dict(self.display.env, TZ="UTC", QUIMO_TIME_URL="http://127.0.0.1:9/", QUIMO_SETTINGS_TRACE="1",
                   LD_PRELOAD=qx.FAKETIME_LIB, FAKETIME="@" + FAKE_START, FAKETIME_DONT_FAKE_MONOTONIC="1")
        prog.log_out = open(os.path.join(prog.dir, "output.txt"), "w")
        prog.started = time.time()
        prog.proc = subprocess.Popen([os.path.join(prog.dir, "quimo")] + list(args), cwd=prog.dir, env=env,
                                     stdout=prog.log_out, stderr=subprocess.STDOUT)
        timer = self.display.window_geometry(qx.TITLE)
        self.assertIsNotNone(timer, "no timer window; log: " + prog.log())
        self.prog, self.builds = prog, 0
        return prog, timer

    def output(self):
        with open(os.path.join(self.prog.dir, "output.txt"), encoding="utf-8", errors="replace") as f:
            return f.read()

    def wait_page(self, tab, sub=None, language=None):
        """Waits for a build after the last one seen, of that tab; returns it
        with the window's client area."""
        def built():
            blocks = re.findall(r"(page \d+ \d+ \d+\n(?:(?!page ).*\n)*?)page ready\n", self.output())
            if len(blocks) <= self.builds:
                return None
            page = Page(blocks[-1].splitlines())
            if page.tab != tab or (sub is not None and page.sub != sub) or \
                    (language is not None and page.language != language):
                return None
            self.builds = len(blocks)
            return page
        try:
            self.page = qx.wait_for(built, "a build of tab %d" % tab)
        except AssertionError:
            print("pages built:", re.findall(r"page \d+ \d+ \d+", self.output()), "log:", self.prog.log()[-1500:])
            raise
        self.win = qx.wait_for(lambda: self.display.window_geometry(SETTINGS, 0.2), "the settings window")
        return self.page

    def xdo(self, *args):
        self.display.run("xdotool", *[str(a) for a in args], check=True)

    def at(self, name, dx=None, dy=None):
        kind, x, y, w, h = self.page.controls[name]
        return (self.win[0] + x + (w // 2 if dx is None else dx), self.win[1] + y + (h // 2 if dy is None else dy))

    def click(self, name, dx=None, dy=None):
        x, y = self.at(name, dx, dy)
        self.xdo("mousemove", x, y, "click", 1)

    def tab(self, bar, index):
        left, width = self.page.tabs[(bar, index)]
        kind, x, y, w, h = self.page.controls[bar]
        self.xdo("mousemove", self.win[0] + left + width // 2, self.win[1] + y + h // 2, "click", 1)

    def visit(self, index, sub=None):
        self.tab("MainTab", index)
        return self.wait_page(index, sub)

    def type_into(self, name, text):
        kind, x, y, w, h = self.page.controls[name]
        self.click(name, dx=8)
        self.xdo("key", "End", *["BackSpace"] * 6)
        self.xdo("type", text)

    def shot(self, name):
        img = self.display.screenshot(os.path.join(self.prog.dir, "shot.png"))
        x, y, w, h = self.win
        os.makedirs(OUTPUT, exist_ok=True)
        crop = img.crop((x, y, x + w, y + h))
        crop.save(os.path.join(OUTPUT, name + ".png"))
        return img

    def log_has(self, text):
        return qx.wait_for(lambda: text in self.prog.log(), "the log line " + text)

    def timer(self):
        return qx.wait_for(lambda: self.display.window_geometry(qx.TITLE, 0.2), "the timer window")

    def test_every_tab_in_both_languages(self):
        rows = qx.default_rows()
        rows[7] = ["Coordinates", 1380, 200, 0]  # right of the settings window, which stays above it
        prog, (tx, ty, tw, th) = self.start(rows)
        self.xdo("mousemove", tx + 10, ty + 10, "click", 1)
        page = self.wait_page(0, 0, 0)
        self.assertEqual(self.win[2:], (740, 750))  # 1080 * 8 / 10 lowered to 750
        self.shot("en_0_quimo")

        # Timer: count down instead of up, the day typed, 24h on. The
        # preview shows the timer's digits.
        page = self.visit(1)
        self.check_preview()
        self.shot("en_1_timer")
        self.click("cbCountDown")
        page = self.wait_page(1)
        self.assertIn("cbRound", page.controls)
        self.type_into("udDay", "15")
        self.log_has("formatstring=")

        # Format: hundredths on (the timer grows), three leading places.
        page = self.visit(2)
        self.shot("en_2_format")
        before = self.timer()[2]
        self.click("bdsec")
        qx.wait_for(lambda: self.timer()[2] > before, "a wider timer window with hundredths")
        self.check_preview()
        before = self.timer()[2]
        self.click("lbdec", dy=2 + 16 * 4 + 8)  # the fifth line: five places
        qx.wait_for(lambda: self.timer()[2] > before, "a wider timer window with five leading places")

        # Window: a dragged slider moves the timer; a flag check box.
        page = self.visit(3, 0)
        self.shot("en_3_window")
        kind, x, y, w, h = page.controls["slX"]
        knob = (w - 34) * (tx * 100 // 1920) // 100  # where the knob of the slider is
        self.xdo("mousemove", *self.at("slX", dx=knob + 17), "mousedown", 1, "mousemove_relative", "--", 6, 0,
                 "mousemove_relative", "--", 6, 0, "mouseup", 1)
        moved = qx.wait_for(lambda: self.timer()[0] > tx + 20 and self.timer(), "the timer moved by the slider")
        self.click("cbAlwaysOnTop")

        # Size/Colors/Border: the colour slider at its left end paints dark red digits.
        self.tab("tab2", 1)
        page = self.wait_page(3, 1)
        self.shot("en_3_colors")
        x, y = self.at("slColor", dx=3)
        self.xdo("mousemove", x, y, "click", "--repeat", 5, "--delay", 150, 1)  # -5 each: 20 down to 0
        self.wait_lit(0x5f0000)
        self.type_into("udBorder", "3")
        qx.wait_for(lambda: self.timer()[3] == th + 6, "a timer window 6 pixels higher with its border")

        page = self.visit(4)
        self.shot("en_4_background")
        self.click("btErase")

        # Settings: the colon stops flashing; the message text typed.
        page = self.visit(5)
        self.shot("en_5_settings")
        self.click("cbBlink")
        self.type_into("liActionMessageText", "Tea")
        page = self.visit(6)
        self.shot("en_6_help")

        # F5 writes the window's picture.
        self.xdo("key", "F5")
        screen = os.path.join(prog.dir, "screen.bmp")
        qx.wait_for(lambda: os.path.exists(screen) and os.path.getsize(screen) > 740 * 700 * 3, "screen.bmp")
        time.sleep(0.3)
        img = self.shot("en_6_help")
        x, y, w, h = self.win
        # The picture is the page's canvas: the window shows it left of its scroll bar.
        saved = Image.open(screen).convert("RGB").crop((0, 0, w - 20, h))
        self.assertIsNone(ImageChops.difference(saved, img.crop((x, y, x + w - 20, y + h))).getbbox())

        # F9: German, built again on the same tab; every tab once more.
        self.xdo("key", "F9")
        self.wait_page(6, None, 1)
        self.shot("de_6_help")
        for index in range(6):
            page = self.visit(index)
            if index != 3:
                self.shot("de_%d_%s" % (index, TAB_NAMES[index]))
            if index == 1:
                self.click("cb24")
                self.wait_page(1, None, 1)
                self.click("cbHour")  # its list opens below it, 16 pixels a line
                x, y = self.at("cbHour")
                time.sleep(0.3)
                self.xdo("mousemove", x, y + 34, "click", 1)  # the second line: 01
            if index == 3:  # the sub-tab of before first, then the other one
                self.shot("de_3_" + ("colors" if page.sub else "window"))
                self.tab("tab2", 1 - page.sub)
                self.wait_page(3, 1 - page.sub, 1)
                self.shot("de_3_" + ("window" if page.sub else "colors"))
            if index == 5:
                self.click("cbWindowOnStart")

        self.assertEqual(prog.stop(), 0)
        saved = prog.read_settings()
        self.assertEqual(saved[0][1], "0")           # counting down
        self.assertEqual(saved[1][1], str(qx.day_number(2026, 12, 15)))
        self.assertEqual(saved[2][1], "1")           # 24h
        self.assertEqual(saved[16][6], "1")          # hundredths shown
        self.assertEqual(saved[16][7], "5")          # five leading places
        self.assertEqual(saved[1][2], "3600")        # 01:00
        self.assertEqual(saved[7][1], str(moved[0]))
        self.assertEqual(saved[10][1], "0")          # always on top switched off
        self.assertEqual(saved[6][1], "5f0000")
        self.assertEqual(saved[8][1], "3")
        self.assertEqual(saved[22][1], "1")          # colon flashing switched on
        self.assertEqual(saved[21][6], "Tea")
        self.assertEqual(saved[9][1], "1")           # window on start
        self.assertEqual(saved[19][1], "1")          # German
        self.assertTrue(os.path.exists(os.path.join(prog.dir, "quimo_bg_intern.bmp")))  # erased to the colour

    def check_preview(self):
        """The preview shows what the timer window shows."""
        preview = qx.DigitSet(1)
        timer = qx.DigitSet(25)
        x, y = self.page.points["xTimer"] + 2, self.page.points["yTimer"] + 2

        def same():
            img = self.display.screenshot(os.path.join(self.prog.dir, "preview.png"))
            template = re.findall(r"formatstring=(\S*)", self.prog.log())[-1]
            tx, ty, tw, th = self.timer()
            shown = timer.read(img, tx + 2, ty + 2, template)
            seen = preview.read(img, self.win[0] + x, self.win[1] + y, template)
            return "?" not in shown and shown == seen
        qx.wait_for(same, "the preview to show the timer's digits")

    def wait_lit(self, colour):
        rgb = (colour >> 16 & 255, colour >> 8 & 255, colour & 255)

        def lit():
            img = self.display.screenshot(os.path.join(self.prog.dir, "lit.png"))
            x, y, w, h = self.timer()
            return any(img.getpixel((px, py)) == rgb for px in range(x, x + w, 2) for py in range(y, y + h, 2))
        try:
            qx.wait_for(lit, "digits lit in %06x" % colour)
        except AssertionError:
            os.makedirs(OUTPUT, exist_ok=True)
            self.display.screenshot(os.path.join(OUTPUT, "failed_lit.png"))
            print(self.prog.log()[-3000:], self.output()[-2000:])
            raise

    def test_background_loads_jpeg_and_gif_through_the_file_dialog(self):
        prog, (tx, ty, tw, th) = self.start(qx.default_rows())
        self.xdo("mousemove", tx + 10, ty + 10, "click", 1)
        self.wait_page(0, 0, 0)
        self.visit(4)
        for name, fmt, colour, near in (("sky.jpg", "JPEG", (20, 120, 220), 6), ("sun.gif", "GIF", (230, 90, 20), 0)):
            path = os.path.join(prog.dir, name)
            Image.new("RGB", (640, 200), colour).save(path, fmt)
            self.click("btLoad")
            qx.wait_for(lambda: self.display.window_geometry("Open file...", 0.2), "the file dialog")
            self.display.run("xdotool", "search", "--name", "^Open file...$", "windowactivate", "--sync")
            self.xdo("type", path)
            self.xdo("key", "Return")

            def shown():
                img = self.display.screenshot(os.path.join(prog.dir, "bg.png"))
                x, y, w, h = self.timer()
                px = [img.getpixel((px, py)) for px in range(x, x + w, 3) for py in range(y, y + h, 3)]
                hits = sum(all(abs(a - b) <= near for a, b in zip(p, colour)) for p in px)
                return hits > len(px) // 2
            qx.wait_for(shown, "the timer window showing " + name + " behind its digits")
            self.wait_page(4)
            os.makedirs(OUTPUT, exist_ok=True)
            x, y, w, h = self.timer()
            self.display.screenshot(os.path.join(prog.dir, "bg.png")).crop((x, y, x + w, y + h)).save(
                os.path.join(OUTPUT, "background_" + fmt.lower() + ".png"))
        self.assertTrue(os.path.exists(os.path.join(prog.dir, "quimo_bg_intern.bmp")))

    def test_example_keeps_the_users_settings_and_minys(self):
        rows = qx.default_rows()
        rows[19] = ["Language", 1]
        rows[21] = ["Action", 1, 0, 0, "", "", "Tee ist fertig"]
        rows[2] = ["24h", 1]
        prog, (tx, ty, tw, th) = self.start(rows, ["-minys"])
        self.xdo("mousemove", tx + 10, ty + 10, "click", 1)
        page = self.wait_page(0, 0, 1)
        self.assertEqual(self.win[2:], (740, 550))
        self.click("btSet4")
        self.log_has("set example #4 (ger)")
        qx.wait_for(lambda: self.display.window_geometry(SETTINGS, 0.2) is None, "the settings window to close")
        self.timer()
        self.assertEqual(prog.stop(), 0)
        saved = prog.read_settings()
        self.assertEqual(saved[1][1], str(qx.day_number(2027, 1, 1)))
        self.assertEqual(saved[19][1], "1")
        self.assertEqual(saved[2][1], "1")
        self.assertEqual(saved[21][1], "1")
        self.assertEqual(saved[21][6], "Tee ist fertig")


if __name__ == "__main__":
    unittest.main()
