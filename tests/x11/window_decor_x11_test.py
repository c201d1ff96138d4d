# A window without a system menu (the dialogs, the time-up message) under
# openbox: the window manager is told move only, no close, minimise or
# maximise, while the dialog keeps its title bar with its title, like the
# caller window. A screenshot is kept in the test output folder.
import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quimo_x11_helpers as qx  # noqa: E402

OUTPUT = os.path.join(qx.BUILD, "test-output")
CALLER = "zeko dialogs demo"
BAND = 16  # rows above a client area where a title bar would be


def prop(display, name, atom):
    return display.run("xprop", "-name", name, atom).stdout


def band_colours(px, x, y, w):
    """The colours of the rows just above the client area at (x, y)."""
    return {px[x + dx, y - dy] for dx in range(w) for dy in range(2, BAND) if y - dy >= 0}


class NoSysMenu(unittest.TestCase):
    def setUp(self):
        self.display = qx.Display()
        self.addCleanup(self.display.close)
        self.tmp = tempfile.mkdtemp(prefix="window_decor_")
        self.out_path = os.path.join(self.tmp, "out.txt")
        out = open(self.out_path, "w")
        self.addCleanup(out.close)
        self.proc = subprocess.Popen([os.path.join(qx.TOOLS, "zeko"), "demo", "dialogs", "info"],
                                     env=self.display.env, stdout=out, stderr=subprocess.STDOUT)
        self.addCleanup(self.stop)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait()

    def text(self):
        with open(self.out_path) as f:
            return f.read()

    def test_info_dialog_is_move_only_and_keeps_its_title_bar(self):
        m = qx.wait_for(lambda: re.search(r"^dialog info (\d+) (\d+) (\d+) (\d+)$", self.text(), re.M),
                        "the info dialog")
        x, y, w, h = (int(v) for v in m.groups())
        # Where the window manager put the client (it may shift it below its title).
        x, y, w, h = qx.wait_for(lambda: self.display.window_geometry("info", 1), "the info dialog to be mapped")
        caller = self.display.window_geometry(CALLER)
        self.assertIsNotNone(caller)

        # flags: functions; functions: move; decorations left to the manager.
        hints = prop(self.display, "info", "_MOTIF_WM_HINTS")
        self.assertRegex(hints, r"= 0x1, 0x4, 0x0\b", hints)
        actions = prop(self.display, "info", "_NET_WM_ALLOWED_ACTIONS")
        self.assertIn("_NET_WM_ACTION_MOVE", actions)
        for absent in ("MAXIMIZE_HORZ", "MAXIMIZE_VERT", "RESIZE"):
            self.assertNotIn("_NET_WM_ACTION_" + absent, actions)
        extents = qx.wait_for(lambda: re.findall(r"\d+", prop(self.display, "info", "_NET_FRAME_EXTENTS")),
                              "the frame extents")
        top = int(extents[2])
        self.assertGreaterEqual(top, 5, "no title bar: %s" % extents)

        os.makedirs(OUTPUT, exist_ok=True)
        shot = self.display.screenshot(os.path.join(self.tmp, "shot.png"))
        keep = os.path.join(OUTPUT, "window_decor_nosysmenu_x11.png")
        shot.crop((x - 20, y - 40, x + w + 20, y + h + 20)).save(keep)
        print("screenshot:", keep)
        px = shot.load()
        # Both title bars show a title: many colours in the rows above each
        # (openbox may draw the dialog's frame a moment after mapping it).
        def titled():
            gx, gy, gw, _ = self.display.window_geometry("info", 1)
            img = self.display.screenshot(os.path.join(self.tmp, "again.png")).load()
            return len(band_colours(img, gx, gy, gw)) > 3
        qx.wait_for(titled, "the dialog's title bar")
        cx, cy, cw, _ = caller
        self.assertGreater(len(band_colours(px, cx, cy, cw)), 3, "the caller has no title bar")

        self.display.run("xdotool", "search", "--name", "^info$", "windowactivate", "--sync", "key", "Return")
        qx.wait_for(lambda: "event info main ok" in self.text(), "the dialog's answer")
        self.assertEqual(self.proc.wait(qx.WAIT), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
