# Time-up on the real program (Xvfb with openbox, fake clock from
# 2026-12-31 23:59:30, SDL's disk audio driver writing to a file): a
# count-down ending a few seconds after the start logs "stopped", plays the
# sound, starts a stand-in program once and opens the message window "QUIMO"
# with the text; its OK button closes it and the audio falls silent at once.
# A count-up that restarts every four seconds brings time-up again while the
# message is open: no second window, and a missing program and a message of
# percent signs and tag brackets are no harm. Screenshots of the message
# window are kept in the test output folder.
import os
import shutil
import struct
import sys
import tempfile
import time
import unittest
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quimo_x11_helpers as qx  # noqa: E402

FAKE_START = "2026-12-31 23:59:30"
OUTPUT = os.path.join(qx.BUILD, "test-output")
MESSAGE = "QUIMO"  # the message window's title
GREEN = (0x40, 0xB8, 0x00)
RATE = 44100 * 2  # samples a second in the disk driver's file (stereo, 16 bit)


def write_tone(path, seconds):
    """A steady 440 Hz tone, far longer than any wait of the test."""
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(22050)
        period = 22050 // 440
        w.writeframes(b"".join(struct.pack("<h", 12000 if i % period < period // 2 else -12000)
                               for i in range(int(22050 * seconds))))


def audio_samples(path):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return ()
    return struct.unpack("<%dh" % (len(data) // 2), data[:len(data) // 2 * 2])


def audible(samples):
    return [i for i in range(0, len(samples), 64) if abs(samples[i]) > 1000]


class Timeup(qx.DisplayTestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="quimo_timeup_")
        self.addCleanup(shutil.rmtree, self.work, True)
        self.ran = os.path.join(self.work, "ran")
        self.tone = os.path.join(self.work, "tone.wav")
        write_tone(self.tone, 30)
        # Stand-ins: the program records each start; xdg-open (documents)
        # records instead of opening anything on this machine.
        for name, body in (("alarm.sh", 'echo "ran $*" >> %s' % self.ran),
                           ("xdg-open", 'echo "$*" >> %s/xdg-open.out' % self.work)):
            path = os.path.join(self.work, name)
            with open(path, "w") as f:
                f.write("#!/bin/sh\n%s\n" % body)
            os.chmod(path, 0o755)
        self.audio = os.path.join(self.work, "audio.raw")
        self.env = {"PATH": self.work + ":" + os.environ.get("PATH", "/usr/bin:/bin"),
                    "SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": self.audio}
        os.makedirs(OUTPUT, exist_ok=True)

    def runs(self):
        try:
            with open(self.ran) as f:
                return f.read().count("ran")
        except OSError:
            return 0

    def message_windows(self):
        r = self.display.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % MESSAGE)
        return r.stdout.split()

    def keep_screenshot(self, prog, geo, name):
        x, y, w, h = geo
        shot = self.display.screenshot(os.path.join(prog.dir, "shot.png"))
        keep = os.path.join(OUTPUT, name)
        shot.crop((x - 10, y - 30, x + w + 10, y + h + 10)).save(keep)
        print("screenshot:", keep)
        return shot

    def text_extent(self, shot, geo):
        """Left and right end of the first text line (dark pixels in the top 40 rows)."""
        x, y, w, h = geo
        px = shot.load()
        xs = [dx for dx in range(w) for dy in range(4, 40) if sum(px[x + dx, y + dy]) < 120]
        return (min(xs), max(xs)) if xs else None

    def press_ok(self, shot, geo):
        """Clicks the OK button: the middle of the non-green area below the line."""
        x, y, w, h = geo
        px = shot.load()
        rows = [dy for dy in range(150, h) if px[x + w // 2, y + dy] != GREEN]
        self.assertTrue(rows, "no OK button below the line")
        cy = y + (rows[0] + rows[-1]) // 2
        self.display.run("xdotool", "mousemove", str(x + w // 2), str(cy), "sleep", "0.1", "click", "1")

    def test_countdown_sound_program_message_and_ok(self):
        rows = qx.default_rows()
        rows[0] = ["CountUp", 0, 1]
        rows[1] = ["Destination", qx.day_number(2026, 12, 31), 23 * 3600 + 59 * 60 + 34]
        rows[3] = ["stop after finished", 1]
        program = os.path.join(self.work, "alarm.sh") + " --loud"
        rows[21] = ["Action", 1, 1, 1, self.tone, program, "%" * 10]
        prog, _ = self.start_program(rows, FAKE_START, self.env)
        geo = self.display.window_geometry(MESSAGE)
        self.assertIsNotNone(geo, "no message window; log: " + prog.log())
        self.assertEqual(geo[2:], (300, 200))

        log = prog.log()
        stopped, play = log.find(" stopped\n"), log.find("play %s volume=100" % self.tone)
        started = log.find("start program " + program)
        self.assertTrue(0 <= stopped < play < started, log)
        self.assertIn("SetMixerVolume error 1", log)  # the tests' ALSA has no mixer
        qx.wait_for(lambda: self.runs() == 1, "the stand-in program to run")
        qx.wait_for(lambda: audible(audio_samples(self.audio)), "audible sound from the disk driver")

        shot = self.keep_screenshot(prog, geo, "quimo_timeup_message_x11.png")
        x, y, w, h = geo
        self.assertEqual(shot.getpixel((x + w - 5, y + 100)), GREEN)
        # Ten percent signs, shown as typed: an 18-point "%" is about 15 pixels
        # wide, so ten of them span more than 120 (five would not).
        left, right = self.text_extent(shot, geo) or (0, 0)
        self.assertGreater(right - left, 120, "the message text is not all there")

        self.press_ok(shot, geo)
        qx.wait_for(lambda: not self.message_windows(), "the message window to close")
        closed_at = len(audio_samples(self.audio))
        qx.wait_for(lambda: len(audio_samples(self.audio)) > closed_at + RATE, "a second of audio after OK")
        after = audible(audio_samples(self.audio)[closed_at + RATE // 4:])
        self.assertEqual(after, [], "the sound went on after OK")

        time.sleep(1.0)  # no time-up comes again: the count-down stays at zero
        self.assertEqual(self.runs(), 1)
        self.assertEqual(prog.log().count(" stopped\n"), 1)
        self.assertIsNone(prog.proc.poll())
        self.assertEqual(prog.stop(), 0)

    def test_second_timeup_hostile_message_and_missing_program(self):
        rows = qx.default_rows()
        # A count-up reaching its four seconds restarts at once: time-up every four seconds.
        rows[0] = ["CountUp", 1, 1]
        rows[1] = ["Destination", qx.day_number(2026, 12, 31), 23 * 3600 + 59 * 60 + 32]
        rows[3] = ["stop after finished", 1]
        rows[4] = ["CountUpTime", 4]
        rows[5] = ["CountUpStopMode", 1, 0]
        message = ("100%% <%s%n<x=%d>%<" * 40)[:300]
        missing = "/nonexistent/quimo-alarm --loud"
        rows[21] = ["Action", 1, 1, 1, self.tone, missing, message]
        prog, _ = self.start_program(rows, FAKE_START, self.env, width=300)
        geo = self.display.window_geometry(MESSAGE)
        self.assertIsNotNone(geo, "no message window; log: " + prog.log())
        self.keep_screenshot(prog, geo, "quimo_timeup_hostile_x11.png")

        try:
            qx.wait_for(lambda: prog.log().count(" stopped\n") >= 2 or prog.proc.poll() is not None,
                        "a second time-up")
        except AssertionError as e:
            self.fail("%s; log: %s" % (e, prog.log()))
        self.assertIsNone(prog.proc.poll(), "the program ended; log: " + prog.log())
        # The actions follow "stopped" on the next action tick.
        qx.wait_for(lambda: prog.log().count("program failed: " + missing) >= 2, "the second program failure")
        log = prog.log()
        self.assertEqual(len(self.message_windows()), 1)
        self.assertIn("sound still playing, stop sound", log)
        self.assertFalse(os.path.exists(os.path.join(self.work, "xdg-open.out")))

        shot = self.display.screenshot(os.path.join(prog.dir, "shot.png"))
        self.press_ok(shot, geo)
        qx.wait_for(lambda: not self.message_windows(), "the message window to close")
        self.assertEqual(prog.stop(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
