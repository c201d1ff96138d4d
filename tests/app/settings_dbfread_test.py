#!/usr/bin/python3
"""A settings file written by the program's own save, read back by an
independent dBASE reader (dbfread): the layout is a real dBASE III table and
every row key and value sits where the settings table says."""
import os
import subprocess
import sys
import tempfile

from dbfread import DBF

TOOLS = os.environ["ZE_TOOLS_DIR"]
PROGRAM = os.environ["ZE_PROGRAM_DIR"]

# Every setting away from its default, and where each must land: row, key,
# then the values of columns 1.. in order.
SOURCE = """
countUp = 0
roundUp = 0
destinationDay = 740123
destinationSecond = 3723
hours24 = 1
stopAfterFinished = 0
countUpTime = 90061
countUpStopMode = 2
restartAfter = 93780
segmentColour = 00ff7f
backgroundColour = 102030
windowX = -40
windowY = 1500
windowWidth = 777
borderWidth = 3
borderColour = abcdef
verticalOffset = 11
horizontalOffset = 13
windowOnStart = 0
alwaysOnTop = 1
fullscreen = 0
resizeDesktop = 1
alwaysVisible = 0
autostart = 1
stayOnDesktop = 1
size = 77
activeColour = 00ff7e
inactiveColour = 000001
contrast = 33
form = 2
showDays = 0
showHours = 1
showMinutes = 0
showSeconds = 1
showHundredths = 1
leadingWidth = 10
unitDays = 1
unitHours = 0
unitMinutes = 1
unitSeconds = 0
integerWidth = 7
decimals = 6
graphicProgram = /opt/paint programs/bin/paint
minWidth = 640
minHeight = 48
language = 1
syncTime = 1
actionMessage = 1
actionSound = 0
actionProgram = 1
soundFile = sounds/gong, loud.wav
programPath = C:\\Programs\\notify.exe
messageText = Time's up: 100% done!
colonBlink = 0
"""

EXPECTED = [
    ("CountUp", "0", "0"),
    ("Destination", "740123", "3723"),
    ("24h", "1"),
    ("stop after finished", "0"),
    ("CountUpTime", "90061"),
    ("CountUpStopMode", "2", "93780"),
    ("Textcolor", "00ff7f", "102030"),
    ("Coordinates", "-40", "1500", "777"),
    ("Border/Offset", "3", "abcdef", "11", "13"),
    ("WindowOnStart", "0"),
    ("AlwaysOnTop/Fullscreen", "1", "0", "1", "0"),
    ("Autostart", "1"),
    ("StayOnDesktop", "1"),
    ("Size", "77"),
    ("Colors", "00ff7e", "000001"),
    ("Contrast", "33"),
    ("Format", "2", "0", "1", "0", "1", "1", "10", "1", "0", "1", "0", "7", "6"),
    ("GraphicProgram", "/opt/paint programs/bin/paint"),
    ("Offset", "640", "48"),
    ("Language", "1"),
    ("SyncTime", "1"),
    ("Action", "1", "0", "1", "sounds/gong, loud.wav", "C:\\Programs\\notify.exe", "Time's up: 100% done!"),
    ("ColonBlink", "0"),
]

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def rows_of(path):
    table = DBF(path, char_decode_errors="strict")
    names = [f.name for f in table.fields]
    check(names == ["C%d" % i for i in range(20)], "%s: field names %s" % (path, names))
    for f in table.fields:
        check(f.type == "C" and f.length == 151, "%s: field %s is %s/%d" % (path, f.name, f.type, f.length))
    return [[rec[n] for n in names] for rec in table]


with tempfile.TemporaryDirectory() as tmp:
    src = os.path.join(tmp, "every.txt")
    with open(src, "w") as f:
        f.write(SOURCE)
    subprocess.run([os.path.join(TOOLS, "mkexamples"), tmp, src], check=True)
    path = os.path.join(tmp, "every.dbf")
    with open(path, "rb") as f:
        raw = f.read()
    check(len(raw) == 91303, "file size %d" % len(raw))
    check(raw[-1:] == b" ", "no end-of-file byte after the last record")

    rows = rows_of(path)
    check(len(rows) == 30, "record count %d" % len(rows))
    for r, expected in enumerate(EXPECTED):
        got = rows[r][: len(expected)]
        check(got == list(expected), "row %d: %s, expected %s" % (r, got, list(expected)))
        rest = rows[r][len(expected):]
        check(all(c == "" for c in rest), "row %d: unused columns %s" % (r, rest))
    for r in range(23, 30):
        check(all(c == "" for c in rows[r]), "row %d is not blank" % r)

# Every example file reads the same through dbfread and through zeko dbf dump.
for n in range(1, 11):
    path = os.path.join(PROGRAM, "examples", "s%d.dbf" % n)
    rows = rows_of(path)
    dump = subprocess.run([os.path.join(TOOLS, "zeko"), "dbf", "dump", path],
                          check=True, capture_output=True, text=True).stdout.splitlines()
    check(dump[0] == "rows=30 fields=20", "%s: %s" % (path, dump[0]))
    check([line.split("\t") for line in dump[1:]] == rows, "%s: dump and dbfread differ" % path)
    check([row[0] for row in rows[:23]] == [e[0] for e in EXPECTED], "%s: row keys" % path)

for f in failures:
    print("FAIL:", f)
print("%d passed, %d failed" % (1 if not failures else 0, 1 if failures else 0))
sys.exit(1 if failures else 0)
