# The timer window carries the program's icon (_NET_WM_ICON, in the sizes
# desktops show, pixel for pixel the picture installed for the menu entry)
# and a class that names the program, so the desktop matches its windows to
# its desktop entry.
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quimo_x11_helpers as qx  # noqa: E402
from PIL import Image  # noqa: E402


class Icon(qx.DisplayTestCase):
    def test_window_icon_is_the_installed_picture(self):
        prog, _ = self.start_program(qx.default_rows())

        def properties():
            # Asked again while the window is being made anew (a re-created
            # window takes its id with it).
            m = re.search(r"Window id: (0x[0-9a-f]+)", self.display.run("xwininfo", "-name", qx.TITLE).stdout)
            if not m:
                return None
            out = self.display.run("xprop", "-id", m.group(1), "-notype", "-f", "_NET_WM_ICON", "32c",
                                   "_NET_WM_ICON", "WM_CLASS").stdout
            # The icon follows the first frame: until then xprop says "not found".
            return out if "WM_CLASS" in out and "_NET_WM_ICON" in out and "not found" not in out else None
        out = qx.wait_for(properties, "the timer window's icon and class")
        self.assertIn('WM_CLASS = "quimo", "Quimo"', out)
        values = [int(v) for v in re.findall(r"\d+", out.split("_NET_WM_ICON", 1)[1].split("WM_CLASS")[0])]
        icons = {}
        while len(values) >= 2:
            w, h = values[0], values[1]
            icons[w] = values[2:2 + w * h]
            self.assertEqual(w, h)
            values = values[2 + w * h:]
        self.assertEqual([16, 32, 48, 64], sorted(icons))
        for size in (16, 32, 48, 64):
            png = Image.open(os.path.join(qx.BUILD, "icons", "hicolor", "%dx%d" % (size, size), "apps",
                                          "quimo.png")).convert("RGBA")
            want = [a << 24 | r << 16 | g << 8 | b for r, g, b, a in png.getdata()]
            self.assertEqual(want, icons[size], "icon %d differs from the installed picture" % size)
        self.assertEqual(0, prog.stop())


if __name__ == "__main__":
    unittest.main()
