# The real program's timer window under openbox: a drag of 4 pixels is a
# click and leaves the window where it is, a drag of 5 pixels moves it and
# the new position is in the settings saved at SIGTERM; with ResizeDesktop at
# the top of the screen the work area shrinks, an overlapping xterm is moved
# below the timer, and both come back at quit.
import os
import re
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quimo_x11_helpers as qx  # noqa: E402


def wait_for(fn, what):
    return qx.wait_for(fn, what)


class Window(qx.DisplayTestCase):
    def toplevel_count(self):
        out = self.display.run("xprop", "-root", "_NET_CLIENT_LIST").stdout
        return len(re.findall(r"0x[0-9a-f]+", out))

    def where(self, title):
        """The window's client area now, or (-1, -1, 0, 0) while it is not viewable."""
        return self.display.window_geometry(title, 0.1) or (-1, -1, 0, 0)

    def drag(self, x, y, dx, dy):
        self.display.run("xdotool", "mousemove", str(x), str(y), "sleep", "0.1", "mousedown", "1", "sleep", "0.1",
                         "mousemove", str(x + dx), str(y + dy), "sleep", "0.1", "mouseup", "1", check=True)
        time.sleep(0.3)

    def test_drag_by_four_is_a_click_by_five_moves_and_is_saved(self):
        rows = qx.default_rows()
        rows[7] = ["Coordinates", 400, 300, 0]
        prog, (x, y, w, h) = self.start_program(rows)
        self.drag(x + 10, y + 10, 4, 4)
        self.assertEqual(self.display.window_geometry(qx.TITLE)[:2], (400, 300))
        # A click opens the settings window (a format that grew may have opened it already).
        wait_for(lambda: self.display.window_geometry("QUIMO", 0.1), "the settings window after a click")
        time.sleep(0.6)  # not a double click
        self.drag(x + 10, y + 10, 5, -5)
        wait_for(lambda: self.where(qx.TITLE)[:2] == (405, 295), "the timer window at 405, 295 after the drag")
        self.assertEqual(prog.stop(), 0)
        saved = prog.read_settings()
        self.assertEqual(saved[7][1:3], ["405", "295"])
        self.assertIn("Settings saved", prog.log())

    def test_resize_desktop_at_the_top_pushes_windows_and_restores_them(self):
        full = self.display.workarea()
        xterm = subprocess.Popen(["xterm", "-T", "overlapped", "-geometry", "80x20+200+10"], env=self.display.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(xterm.wait)
        self.addCleanup(xterm.terminate)
        before = wait_for(lambda: self.display.window_geometry("overlapped", 0.1), "the xterm to appear")

        rows = qx.default_rows()
        rows[7] = ["Coordinates", 0, 0, 0]
        rows[10] = ["AlwaysOnTop/Fullscreen", 1, 0, 1, 0]
        prog, (x, y, w, h) = self.start_program(rows)
        self.assertEqual((x, y), (0, 0))
        area = wait_for(lambda: self.display.workarea()[1] == h and self.display.workarea(),
                        "the work area to begin below the timer window (%d)" % h)
        self.assertEqual(area[1], h)
        wait_for(lambda: self.where("overlapped")[1] >= h, "the xterm to be pushed below the timer window")
        log = prog.log()
        self.assertRegex(log, r"change work area from: t=   0 b=1080")
        self.assertRegex(log, r"to:                    t=%4d b=1080" % h)
        self.assertIn('move window: "overlapped"', log)

        self.assertEqual(prog.stop(), 0)
        wait_for(lambda: self.display.workarea() == full, "the full work area back after quitting")
        wait_for(lambda: self.where("overlapped")[1] == before[1], "the xterm back at its place")
        self.assertIn("restore original work area: t=0 b=1080 l=0 r=1920", prog.log())


if __name__ == "__main__":
    unittest.main(verbosity=2)
