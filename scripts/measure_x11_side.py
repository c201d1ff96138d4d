#!/usr/bin/python3
"""QUIMO beside the X clocks people already run, under one X server in one
run: QUIMO at Size 25, 50 and 100 (blinking colon, steady colon, and with
hundredths), dclock and xclock -digital -update 1, and a bare X client that
only fills one rectangle at each change (bench/x11_wake_floor) at 1, 2 and
100 changes a second: what waking up alone costs here and now, the floor
beside which every other figure is read. All run at once, each measured on its own from
the scheduler (CPU time and context switches of all its threads: less
disturbed by a loaded machine than wall time), with its peak RSS and the
bytes it wrote (to the X server: the program logs nothing while it runs).
First frame: from the start of the process to the first screen grab (one
kept connection, polled without pause) showing its content drawn (two colours or more where the window is, on a white root),
median of several starts, one program at a time.
With --one-at-a-time the peers and bare clients run throughout, but the
QUIMO settings run one after another, each for SECONDS beside them: nine
copies of QUIMO all waking at the same wall-clock moment would contend with
each other, which no user's desktop does. Each QUIMO row is then read
against the peers' figures from its own minutes.
    measure_x11_side.py BUILD_DIR SECONDS STARTS [ROUNDS] [--one-at-a-time]
Called by scripts/measure_x11.sh --side-by-side."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import ctypes
import ctypes.util

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD, SECONDS, STARTS = os.path.abspath(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3])
ONE_AT_A_TIME = "--one-at-a-time" in sys.argv
ARGS = [a for a in sys.argv if a != "--one-at-a-time"]
ROUNDS = int(ARGS[4]) if len(ARGS) > 4 else 1
ZEKO = os.path.join(BUILD, "tools", "zeko")
DISPLAY = os.environ["DISPLAY"]


def quimo_dir(tmp, size, hundredths, x, y, blink=1):
    d = os.path.join(tmp, "quimo_%d_%d_%d" % (size, hundredths, blink))
    shutil.copytree(os.path.join(BUILD, "program"), d)
    for f in ("quimo.log", "quimo_settings.dbf", "quimo_bg_intern.bmp"):
        if os.path.exists(os.path.join(d, f)):
            os.remove(os.path.join(d, f))
    t = os.path.join(d, "quimo_settings.dbf")
    rows = [["CountUp", 1, 1], ["Destination", 730120, 0], ["24h", 0], ["stop after finished", 0],
            ["CountUpTime", 43200], ["CountUpStopMode", 0, 0], ["Textcolor", "ff0000", "000000"],
            ["Coordinates", x, y, 0], ["Border/Offset", 0, "000000", 2, 2], ["WindowOnStart", 0],
            ["AlwaysOnTop/Fullscreen", 0, 0, 0, 0], ["Autostart", 0], ["StayOnDesktop", 0], ["Size", size],
            ["Colors", "ff0000", "330000"], ["Contrast", 80],
            ["Format", 1, 1, 1, 1, 1, hundredths, 4, 0, 1, 0, 0, 8, 3], ["GraphicProgram", ""],
            ["Offset", 0, 0], ["Language", 0], ["SyncTime", 0], ["Action", 0, 0, 0, "", "", "QUIMO"],
            ["ColonBlink", blink]]
    subprocess.run([ZEKO, "dbf", "create", t, "30", "20", "150"], check=True, capture_output=True)
    for r, cells in enumerate(rows):
        for c, v in enumerate(cells):
            subprocess.run([ZEKO, "dbf", "set", t, str(r), str(c), str(v)], check=True, capture_output=True)
    return d


FLOOR = os.path.join(BUILD, "bench", "x11_wake_floor")


def programs(tmp):
    """(name, command, cwd, window title, changes a second) of every program
    measured; each window has a place of its own, so none exposes another."""
    out, y = [], 0
    for hundredths, blink, rate in ((0, 1, 2), (0, 0, 1), (1, 1, 100)):
        for size, height in ((25, 60), (50, 110), (100, 310)):
            d = quimo_dir(tmp, size, hundredths, 0, y, blink)
            name = "QUIMO Size %d%s" % (size, ", hundredths" if hundredths else ", steady colon" if not blink else "")
            out.append((name, [os.path.join(d, "quimo")], d, "QUIMO TimerWindow", rate))
            y += height + 10
    out.append(("dclock -seconds", ["dclock", "-seconds", "-geometry", "+0+%d" % y], tmp, "dclock", 1))
    y += 120
    out.append(("xclock -digital -update 1", ["xclock", "-digital", "-update", "1", "-geometry", "+0+%d" % y],
                tmp, "xclock", 1))
    if os.access(FLOOR, os.X_OK):
        for i, rate in enumerate((1, 2, 100)):
            out.append(("bare X client, %d/s" % rate, [FLOOR, str(rate), str(1000 + 250 * i), str(y)], tmp,
                        "x11_wake_floor", rate))
    return out


def env():
    return dict(os.environ, QUIMO_TIME_URL="http://127.0.0.1:9/", TZ="UTC")


def threads_sum(pid, field):
    total = 0
    for t in os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/status" % (pid, t)) as f:
            for line in f:
                if line.startswith(field + ":"):
                    total += int(line.split()[1])
    return total


def peak_rss_kb(pid):
    """VmHWM is the process's own figure: every thread's status repeats it."""
    with open("/proc/%d/status" % pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmHWM:"))


def cpu_ns(pid):
    total = 0
    for t in os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/schedstat" % (pid, t)) as f:
            total += int(f.read().split()[0])
    return total


def io_written(pid):
    with open("/proc/%d/io" % pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith("wchar:"))


def sample(pid):
    return cpu_ns(pid), threads_sum(pid, "voluntary_ctxt_switches"), io_written(pid), time.monotonic()


def client_box(cmd, cwd, title):
    """Where the program's window shows its content: one start, read with xwininfo."""
    p = subprocess.Popen(cmd, cwd=cwd, env=env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        end = time.monotonic() + 30
        while time.monotonic() < end:
            r = subprocess.run(["xwininfo", "-name", title], capture_output=True, text=True)
            if "IsViewable" in r.stdout:
                g = {}
                for line in r.stdout.splitlines():
                    k, _, v = line.strip().partition(":")
                    g[k] = v.strip()
                return (int(g["Absolute upper-left X"]), int(g["Absolute upper-left Y"]), int(g["Width"]),
                        int(g["Height"]))
            time.sleep(0.05)
        raise RuntimeError("no window %r" % title)
    finally:
        p.terminate()
        p.wait()
        time.sleep(0.3)


class Grabber:
    """One X connection kept open for the first-frame polls: a new connection
    per screen grab would add its own milliseconds to every figure."""

    def __init__(self):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGetImage.restype = ctypes.c_void_p
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                     ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.dpy = self.x.XOpenDisplay(DISPLAY.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display %s" % DISPLAY)
        self.root = self.x.XDefaultRootWindow(self.dpy)

    def drawn(self, box):
        """True when the box shows two colours or more (the root is white).
        Only its first 400 columns are read: every program measured draws a
        frame in one piece from its left edge, and reading a whole 3-megabyte
        window per poll would make the poll, not the program, set the figure."""
        x, y, w, h = box
        w = min(w, 400)
        img = self.x.XGetImage(self.dpy, self.root, x, y, w, h, 0xFFFFFFFF, 2)  # ZPixmap
        if not img:
            return False
        try:
            # struct _XImage: width, height, xoffset, format, char *data, ...,
            # bytes_per_line at offset 44 on a 64-bit machine.
            data = ctypes.cast(img + 16, ctypes.POINTER(ctypes.c_void_p))[0]
            bpl = ctypes.cast(img + 44, ctypes.POINTER(ctypes.c_int))[0]
            pixels = ctypes.string_at(data, bpl * h)
            return pixels != pixels[:4] * (len(pixels) // 4)
        finally:
            self.x.XDestroyImage(img)


def first_frame_ms(cmd, cwd, box, grabber):
    t0 = time.monotonic()
    p = subprocess.Popen(cmd, cwd=cwd, env=env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while time.monotonic() - t0 < 10:
            if grabber.drawn(box):
                return (time.monotonic() - t0) * 1000
        return float("nan")
    finally:
        p.terminate()
        p.wait()
        time.sleep(0.2)


def start(cmd, cwd):
    return subprocess.Popen(cmd, cwd=cwd, env=env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def measure_window(procs, rounds, seconds):
    """One window of SECONDS: CPU %, wakeups/s and KB/s of every process
    still running, appended to rounds[name]."""
    before = {name: sample(p.pid) for name, p in procs if p.poll() is None}
    time.sleep(seconds)
    for name, p in procs:
        if p.poll() is not None or name not in before:
            continue
        c0, w0, b0, t0 = before[name]
        c1, w1, b1, t1 = sample(p.pid)
        wall = t1 - t0
        rounds.setdefault(name, []).append((100 * (c1 - c0) / 1e9 / wall, (w1 - w0) / wall, (b1 - b0) / wall / 1024))


def row_of(name, p, figures, first, wanted, rss_kb=None):
    if figures is None or len(figures) < wanted:
        return (name, None)
    cpu, wake, kbs = (statistics.median(r[i] for r in figures) for i in range(3))
    rss = rss_kb if rss_kb is not None else peak_rss_kb(p.pid)
    return (name, (cpu, wake, rss / 1024, kbs, first[name]))


def stop(procs):
    for _, p in procs:
        p.terminate()
        p.wait()


def measure_all_at_once(progs, first):
    procs = [(name, start(cmd, cwd)) for name, cmd, cwd, *_ in progs]
    time.sleep(3)  # start-up is not idle time
    # Rounds of SECONDS each, one after the other; each figure is the
    # median of the rounds (a busy moment of the machine falls in one).
    rounds = {}
    for _ in range(ROUNDS):
        measure_window(procs, rounds, SECONDS)
    rows = [row_of(name, p, rounds.get(name) if p.poll() is None else None, first, ROUNDS) for name, p in procs]
    stop(procs)
    return rows, {None: rows}


def measure_one_at_a_time(progs, first):
    others = [(name, start(cmd, cwd)) for name, cmd, cwd, *_ in progs if not name.startswith("QUIMO")]
    quimos = [q for q in progs if q[0].startswith("QUIMO")]
    time.sleep(3)
    mine, beside, rss = {}, {}, {}
    for _ in range(ROUNDS):
        for name, cmd, cwd, *_ in quimos:
            q = start(cmd, cwd)
            time.sleep(3)
            window = {}
            measure_window([(name, q)] + others, window, SECONDS)
            if q.poll() is None:
                rss[name] = max(rss.get(name, 0), peak_rss_kb(q.pid))
            stop([(name, q)])
            mine.setdefault(name, []).extend(window.get(name, []))
            for n, figures in window.items():
                if n != name:
                    beside.setdefault(name, {}).setdefault(n, []).extend(figures)
    # The peers' own rows: every window they ran in.
    everything = {}
    for per in beside.values():
        for n, figures in per.items():
            everything.setdefault(n, []).extend(figures)
    rows = [row_of(n, None, mine.get(n), first, ROUNDS, rss.get(n, 0)) for n, *_ in quimos]
    rows += [row_of(n, p, everything.get(n) if p.poll() is None else None, first, ROUNDS) for n, p in others]
    peer_rows = {None: rows[len(quimos):]}
    for n in beside:
        peer_rows[n] = [row_of(o, p, beside[n].get(o) if p.poll() is None else None, first, ROUNDS)
                        for o, p in others]
    stop(others)
    return rows, peer_rows


def main():
    tmp = tempfile.mkdtemp(prefix="quimo_side_")
    try:
        progs = programs(tmp)
        first = {}
        grabber = Grabber()
        for name, cmd, cwd, title, _ in progs:
            if name.startswith("bare"):
                first[name] = float("nan")  # a reference for the idle figures only
                continue
            box = client_box(cmd, cwd, title)
            first[name] = statistics.median(first_frame_ms(cmd, cwd, box, grabber) for _ in range(STARTS))
        rows, peer_rows = (measure_one_at_a_time if ONE_AT_A_TIME else measure_all_at_once)(progs, first)
        rate = {p[0]: p[4] for p in progs}
        print("%d s side by side%s, median of %d round(s); first frame median of %d starts; ratio = QUIMO / best peer"
              % (SECONDS, ", one QUIMO at a time" if ONE_AT_A_TIME else "", ROUNDS, STARTS))
        print("(x floor) = CPU over the bare X client's at the same number of changes a second")
        print("| program | changes/s | CPU % of one core | wakeups/s | peak RSS MB | KB/s written | first frame ms |")
        print("|---|---|---|---|---|---|---|")
        for name, r in rows:
            if r is None:
                print("| %s | %d | ended early | | | | |" % (name, rate[name]))
                continue
            cells = ["%.3f" % r[0], "%.1f" % r[1], "%.1f" % r[2], "%.2f" % r[3],
                     "-" if r[4] != r[4] else "%.0f" % r[4]]
            # The peers' figures beside which this row was measured.
            beside = peer_rows.get(name, peer_rows[None])
            peers = [r2 for n, r2 in beside if r2 and (n.startswith("dclock") or n.startswith("xclock"))]
            best = [min(r2[i] for r2 in peers) for i in range(5)] if peers else [0] * 5
            floor = {rate[n]: r2[0] for n, r2 in beside if r2 and n.startswith("bare")}
            if name.startswith("QUIMO"):
                cells = ["%s (x%.1f)" % (c, r[i] / best[i] if best[i] else float("inf")) for i, c in enumerate(cells)]
            if not name.startswith("bare") and floor.get(rate[name]):
                cells[0] += " (x%.1f floor)" % (r[0] / floor[rate[name]])
            print("| %s | %d | %s |" % (name, rate[name], " | ".join(cells)))
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


main()
