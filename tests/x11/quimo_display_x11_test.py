# The real program on Xvfb with openbox and a fixed fake clock (2026-12-31
# 23:59:30, running): the timer window appears where the settings put it,
# with its title and computed size, and the digits on the screen, read back
# with the glyphs of the digit set, show the expected value for a count-up, a
# count-down past its destination (minus sign), a decimal form and a clock
# form with hundredths. One screenshot is kept for a person to look at.
import calendar
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quimo_x11_helpers as qx  # noqa: E402

FAKE_START = "2026-12-31 23:59:30"
OUTPUT = os.path.join(qx.BUILD, "test-output")


class Display(qx.DisplayTestCase):
    def run_form(self, rows, template, name):
        """Starts the program with the rows, checks the window and returns the
        text read from the screen and the seconds since the start."""
        prog, (x, y, w, h) = self.start_program(rows, FAKE_START)
        font = qx.DigitSet(int(rows[13][1]))
        border, voff, hoff = int(rows[8][1]), int(rows[8][3]), int(rows[8][4])
        self.assertEqual((x, y), (int(rows[7][1]), int(rows[7][2])))
        self.assertEqual(w, font.text_width(template) + 2 * border + hoff)
        self.assertEqual(h, font.height + voff + 2 * border)
        time.sleep(1.2)  # a few draws, a forced full redraw
        shot_path = os.path.join(prog.dir, "shot.png")
        shot = self.display.screenshot(shot_path)
        elapsed = time.time() - prog.started
        text = font.read(shot, x + border + hoff, y + border + voff, template)
        if name:
            os.makedirs(OUTPUT, exist_ok=True)
            keep = os.path.join(OUTPUT, name)
            shot.crop((max(0, x - 20), max(0, y - 20), x + w + 20, y + h + 20)).save(keep)
            print("screenshot:", keep)
        self.assertIn("formatstring=" + template, prog.log())
        self.assertEqual(prog.stop(), 0)
        return text, elapsed

    @staticmethod
    def clock_seconds(text):
        h, m, s = (int(v) for v in text.split(":")[:3])
        return 3600 * h + 60 * m + s

    def test_count_up(self):
        rows = qx.default_rows()  # hours first, two leading digits, since 31 December 00:00
        text, elapsed = self.run_form(rows, "##:##:##", "quimo_display_x11.png")
        self.assertRegex(text, r"^23:59:\d\d$")
        start = 23 * 3600 + 59 * 60 + 30
        self.assertGreaterEqual(self.clock_seconds(text), start)
        self.assertLessEqual(self.clock_seconds(text), start + elapsed + 1)

    def test_count_down_past_the_destination_shows_the_minus_sign(self):
        rows = qx.default_rows()
        rows[0] = ["CountUp", 0, 1]
        rows[1] = ["Destination", qx.day_number(2026, 12, 31), 23 * 3600 + 59 * 60]  # 30 s ago
        rows[3] = ["stop after finished", 0]
        rows[7] = ["Coordinates", 300, 400, 0]
        text, elapsed = self.run_form(rows, "-##:##:##", None)
        self.assertRegex(text, r"^-00:00:\d\d$")
        self.assertGreaterEqual(int(text[-2:]), 30)
        self.assertLessEqual(int(text[-2:]), 30 + elapsed + 1)

    def test_decimal_hours(self):
        rows = qx.default_rows()
        rows[16] = ["Format", 2, 0, 1, 1, 1, 0, 2, 0, 1, 0, 0, 4, 3]  # ####.### hours
        rows[13] = ["Size", 40]  # a larger set
        text, elapsed = self.run_form(rows, "####.###", None)
        self.assertRegex(text, r"^0023\.99\d$")
        self.assertGreaterEqual(int(text[-1]), 1)  # 23:59:30 is 23.9916 hours

    def test_hundredths(self):
        rows = qx.default_rows()
        rows[16] = ["Format", 1, 0, 1, 1, 1, 1, 2, 0, 1, 0, 0, 8, 3]
        rows[13] = ["Size", 5]  # the smallest set
        rows[7] = ["Coordinates", 50, 600, 0]
        text, elapsed = self.run_form(rows, "##:##:##:##", None)
        self.assertRegex(text, r"^23:59:\d\d:\d\d$")
        self.assertLessEqual(self.clock_seconds(text), 23 * 3600 + 59 * 60 + 30 + elapsed + 1)

    def test_digits_keep_counting_while_a_time_server_trickles_its_answer(self):
        served = tempfile.mkdtemp(prefix="quimo_served_")
        self.addCleanup(shutil.rmtree, served, True)
        with open(os.path.join(served, "datetime_utc_q.pl"), "w") as f:
            f.write("datetime_utc=Sun Dec 6 17:53:25 2026 y=2026 m=12 d=6, sent one byte at a time\n")
        server = subprocess.Popen(["/usr/bin/python3", os.path.join(qx.SOURCE, "tests/support/httpserver.py"), served],
                                  stdout=subprocess.PIPE, text=True)
        self.addCleanup(server.wait)
        self.addCleanup(server.terminate)
        port = server.stdout.readline().strip()
        rows = qx.default_rows()
        rows[20] = ["SyncTime", 1]
        url = "http://127.0.0.1:%s/drip/500/datetime_utc_q.pl" % port
        prog, (x, y, w, h) = self.start_program(rows, FAKE_START, {"QUIMO_TIME_URL": url})
        qx.wait_for(lambda: "get UTC" in prog.log(), "the start-up time sync")
        font = qx.DigitSet(int(rows[13][1]))
        seen = []
        for i in range(3):
            shot = self.display.screenshot(os.path.join(prog.dir, "sync%d.png" % i))
            seen.append(font.read(shot, x + 2, y + 2, "##:##:##"))
            time.sleep(1.1)
        self.assertNotIn("mainloop", prog.log(), "the request was over before the screenshots")
        values = [self.clock_seconds(t) for t in seen]
        self.assertTrue(values[0] < values[1] < values[2], seen)
        os.makedirs(OUTPUT, exist_ok=True)
        shot.crop((max(0, x - 20), max(0, y - 20), x + w + 20, y + h + 20)).save(
            os.path.join(OUTPUT, "quimo_display_slow_sync_x11.png"))
        self.assertEqual(prog.stop(), 0)
        self.assertIn("Settings saved", prog.log())

    def test_clock_steps_are_caught_up_at_the_next_wake(self):
        """The wall clock set forward and back while the program sleeps until
        its next second: the digits follow at the next wake, not a second's
        sleep later or after counting the difference away."""
        clock = os.path.join(tempfile.mkdtemp(prefix="quimo_clock_"), "faketime.rc")
        self.addCleanup(shutil.rmtree, os.path.dirname(clock), True)
        since = calendar.timegm((2026, 12, 31, 0, 0, 0))  # the destination of the default rows
        # An offset from the real clock, read again at every clock reading.
        offset = since + 23 * 3600 - int(time.time())

        def set_clock():
            with open(clock + ".new", "w") as f:
                f.write("%+d\n" % offset)
            os.replace(clock + ".new", clock)

        set_clock()
        rows = qx.default_rows()  # a count-up in hours, minutes and seconds
        prog, (x, y, w, h) = self.start_program(rows, clock)
        font = qx.DigitSet(int(rows[13][1]))

        def caught_up():
            shot = self.display.screenshot(os.path.join(prog.dir, "step.png"))
            text = font.read(shot, x + 2, y + 2, "##:##:##")
            if "?" in text:
                return None
            value = self.clock_seconds(text)
            return value if abs(value - (time.time() + offset - since)) <= 1.5 else None

        qx.wait_for(caught_up, "the first digits")
        for step in (1800, -3000, 7):  # forward half an hour, back 50 minutes, a few seconds
            offset += step
            set_clock()
            stepped = time.time()
            value = qx.wait_for(caught_up, "the digits after a step of %+d s" % step, timeout=10)
            late = time.time() - stepped
            print("step %+d s: shows %d, caught up after %.2f s" % (step, value, late))
            # The next wake is at most half a second away; screenshots under load add some.
            self.assertLess(late, 3.0)
        self.assertEqual(prog.stop(), 0)

    def test_the_colon_blinks_while_the_program_sleeps_through_the_half_seconds(self):
        """The blinking colon changes within a second shown, at both halves,
        while the program wakes about once a second: the display changes the
        colon at the half second by itself."""
        rows = qx.default_rows()
        rows[22] = ["ColonBlink", 1]
        rows[10] = ["AlwaysOnTop/Fullscreen", 0, 0, 0, 0]   # no look at the stacking every second
        prog, (x, y, w, h) = self.start_program(rows, FAKE_START)
        font = qx.DigitSet(int(rows[13][1]))
        time.sleep(1.5)

        def wakes():
            total = 0
            for task in os.listdir("/proc/%d/task" % prog.proc.pid):
                with open("/proc/%d/task/%s/status" % (prog.proc.pid, task)) as f:
                    total += sum(int(l.split()[1]) for l in f if l.startswith("voluntary_ctxt_switches"))
            return total

        phases = {}   # the digits shown -> the colon states seen with them
        off_shot = None
        started = time.time()
        while time.time() - started < 4.5:
            shot = self.display.screenshot(os.path.join(prog.dir, "colon.png"))
            text = font.read(shot, x + 2, y + 2, "##:##:##")
            digits = text[:2] + text[3:5] + text[6:]
            if "?" in digits:
                continue
            lit = text[2] == ":" and text[5] == ":"
            phases.setdefault(digits, set()).add(lit)
            if not lit and off_shot is None:
                off_shot = shot
        print("colon states per second shown:", phases)
        self.assertGreaterEqual(sum(1 for s in phases.values() if s == {True, False}), 2, phases)
        self.assertIsNotNone(off_shot)
        os.makedirs(OUTPUT, exist_ok=True)
        off_shot.crop((max(0, x - 20), max(0, y - 20), x + w + 20, y + h + 20)).save(
            os.path.join(OUTPUT, "quimo_colon_off_x11.png"))
        # Counted while nothing else looks at the screen (a screenshot's
        # requests can wake the program).
        before, started = wakes(), time.time()
        time.sleep(5)
        rate = (wakes() - before) / (time.time() - started)
        print("wakes per second: %.2f" % rate)
        # Once a second, and a reading of the display's frame count now and then.
        self.assertLessEqual(rate, 1.3)
        self.assertEqual(prog.stop(), 0)

if __name__ == "__main__":
    unittest.main(verbosity=2)
