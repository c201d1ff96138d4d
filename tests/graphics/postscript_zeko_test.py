"""zeko convert to PostScript and PDF: the files pass Ghostscript and qpdf
without a word, and the page rendered back holds the picture's pixels at the
paper, orientation and resolution asked for; pictures too big for the page at
300 dpi are set finer; bad input fails cleanly."""
import os
import re
import shutil
import subprocess
import sys

from PIL import Image, ImageChops, ImageStat

ZEKO = os.path.join(os.environ["ZE_TOOLS_DIR"], "zeko")
OUT = os.path.join(os.environ["ZE_BUILD_DIR"], "test-output", "postscript_zeko")
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, errors="replace")


def zeko(*args):
    return run(ZEKO, "convert", *args)


def clean(path):
    """Ghostscript (and qpdf for PDF) accept the file without a word."""
    if path.endswith(".pdf"):
        r = run("qpdf", "--check", path)
        check(r.returncode == 0 and "WARNING" not in r.stdout + r.stderr, "qpdf --check %s: %s" % (path, r.stdout))
    r = run("gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=nullpage", path)
    check(r.returncode == 0 and not (r.stdout + r.stderr).strip(), "gs %s: %s" % (path, r.stdout + r.stderr))


def mean_diff(a, b):
    return sum(ImageStat.Stat(ImageChops.difference(a.convert("RGB"), b.convert("RGB"))).mean) / 3


def render(path, dpi, w, h):
    """The top-left w x h pixels of the first page at dpi (cairo keeps pictures on the grid)."""
    base = path + ".render"
    if path.endswith(".pdf"):
        r = run("pdftocairo", "-png", "-singlefile", "-r", str(dpi), "-x", "0", "-y", "0", "-W", str(w), "-H", str(h),
                path, base)
        check(r.returncode == 0, "pdftocairo %s" % path)
        return Image.open(base + ".png")
    r = run("gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=ppmraw", "-r%d" % dpi,
            "-sOutputFile=" + base + ".ppm", path)
    check(r.returncode == 0, "gs render %s" % path)
    return Image.open(base + ".ppm")


def main():
    shutil.rmtree(OUT, ignore_errors=True)
    os.makedirs(OUT)
    # odd sizes, smooth ramps and hard edges
    src = Image.new("RGB", (203, 151))
    src.putdata([((x * 255) // 202, (y * 255) // 150, ((x // 7 + y // 5) % 2) * 220) for y in range(151) for x in range(203)])
    ppm = os.path.join(OUT, "pic, one.ppm")
    src.save(ppm)

    # A4 portrait at the default 300 dpi, PDF and PostScript
    for ext in ("pdf", "ps"):
        out = os.path.join(OUT, "a4 portrait.%s" % ext)
        r = zeko(ppm, out)
        check(r.returncode == 0, "zeko convert to %s: %s" % (ext, r.stderr))
        clean(out)
        page = render(out, 300, 203, 151)
        d = mean_diff(page.crop((0, 0, 203, 151)), src)
        print("a4 %s: mean difference %.2f" % (ext, d))
        check(d < 0.5, "a4 %s differs from the picture by %.2f" % (ext, d))

    # letter landscape at 72 dpi, borders
    out = os.path.join(OUT, "letter.pdf")
    r = zeko("--paper", "letter,landscape,dpi=72,leftborder=20,topborder=10", ppm, out)
    check(r.returncode == 0, "zeko convert letter: %s" % r.stderr)
    clean(out)
    check(re.search(rb"/MediaBox \[0 0 792\.000 612\.000\]", open(out, "rb").read()) is not None, "letter landscape media box")
    page = render(out, 72, 792, 612)
    check(page.size == (792, 612), "letter landscape page size %s" % (page.size,))
    d = mean_diff(page.crop((20, 10, 223, 161)), src)
    print("letter landscape pdf: mean difference %.2f" % d)
    check(d < 0.5, "letter landscape differs by %.2f" % d)
    check(page.getpixel((19, 9))[:3] == (255, 255, 255), "letter landscape border")

    out = os.path.join(OUT, "letter.ps")
    r = zeko("--paper", "letter,landscape,dpi=72", ppm, out)
    check(r.returncode == 0, "zeko convert letter ps")
    clean(out)
    sheet = render(out, 72, 612, 792)
    check(sheet.size == (612, 792), "landscape PostScript comes on a portrait sheet")
    page = sheet.transpose(Image.Transpose.ROTATE_270)
    d = mean_diff(page.crop((0, 0, 203, 151)), src)
    print("letter landscape ps: mean difference %.2f" % d)
    check(d < 0.5, "letter landscape ps differs by %.2f" % d)

    # JPEG and GIF come in through the import
    for ext, bound in (("jpg", 2.0), ("gif", 0.5)):
        pic = os.path.join(OUT, "pic." + ext)
        src.save(pic, quality=95) if ext == "jpg" else src.quantize(64).save(pic)
        decoded = Image.open(pic).convert("RGB")
        out = os.path.join(OUT, "from %s.pdf" % ext)
        r = zeko("--paper", "a5,dpi=72", pic, out)
        check(r.returncode == 0, "zeko convert %s: %s" % (ext, r.stderr))
        clean(out)
        d = mean_diff(render(out, 72, 203, 151), decoded)
        print("%s to pdf: mean difference %.2f" % (ext, d))
        check(d < bound, "%s to pdf differs by %.2f" % (ext, d))

    # a picture wider than A4 at 300 dpi is set finer so that it fits
    wide = os.path.join(OUT, "wide.ppm")
    Image.new("RGB", (4000, 20), (10, 200, 30)).save(wide)
    out = os.path.join(OUT, "wide.pdf")
    check(zeko(wide, out).returncode == 0, "zeko convert wide")
    clean(out)
    m = re.search(rb"([0-9.]+) 0\.0000 0\.0000 [0-9.]+ ([0-9.]+) [0-9.]+ cm", open(out, "rb").read())
    check(m is not None and float(m.group(1)) <= 595.01 and float(m.group(2)) == 0, "wide picture fits the page")

    # bad input fails and leaves no file
    for args in ((os.path.join(OUT, "missing.ppm"), os.path.join(OUT, "m.pdf")),
                 (ppm, os.path.join(OUT, "no", "dir", "x.pdf")),
                 ("--paper", ppm, os.path.join(OUT, "x.pdf")),
                 ("--paper", "x" * 5000, ppm, os.path.join(OUT, "y.pdf"))):
        r = zeko(*args)
        check(r.returncode != 0, "zeko convert %s succeeded" % (args,))
    for name in ("m.pdf", "x.pdf", "y.pdf"):
        check(not os.path.exists(os.path.join(OUT, name)), "a failed conversion left %s" % name)
    # unknown paper words are skipped: A4 it is, said so
    out = os.path.join(OUT, "junk.pdf")
    r = zeko("--paper", "%s%n,,==,dpi=-3,x4", ppm, out)
    check(r.returncode == 0 and "unsupported format 0" in r.stdout, "junk paper options: %s" % r.stdout)
    clean(out)

    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
