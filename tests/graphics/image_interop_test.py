#!/usr/bin/python3
# Our picture files against independent readers and writers: files written by
# "zeko convert" are read by ImageMagick and PIL with the same pixels, and
# files written by ImageMagick are read by zeko with the same pixels.
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

ZEKO = os.path.join(os.environ.get('ZE_TOOLS_DIR', 'build/tools'), 'zeko')
MAGICK = '/usr/bin/convert'   # ImageMagick itself, not a wrapper earlier in PATH


def full_colour(w, h):
    img = Image.new('RGB', (w, h))
    img.putdata([((x * 37 + y * 11) % 256, (x * 5 + y * 71) % 256, (x ^ y) * 9 % 256)
                 for y in range(h) for x in range(w)])
    return img


def few_colours(w, h):
    # 48 distinct colours: fits one XPM key character and every palette
    img = Image.new('RGB', (w, h))
    img.putdata([((x % 4) * 80, (y % 4) * 70, ((x + y) % 3) * 120) for y in range(h) for x in range(w)])
    return img


def magick_pixels(path, w, h):
    out = subprocess.run([MAGICK, path, '-depth', '8', 'rgb:-'], check=True, capture_output=True).stdout
    return Image.frombytes('RGB', (w, h), out)


class Interop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix='zeimage_interop_')
        cls.full = full_colour(37, 23)   # odd width: row padding and PCX line lengths
        cls.few = few_colours(29, 11)
        cls.full.save(cls.path('full.ppm'))
        cls.few.save(cls.path('few.ppm'))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    @classmethod
    def path(cls, name):
        return os.path.join(cls.dir, name)

    def zeko(self, *args):
        return subprocess.run([ZEKO] + list(args), capture_output=True, text=True)

    def convert_ok(self, src, dst):
        r = self.zeko('convert', self.path(src), self.path(dst))
        self.assertEqual(r.returncode, 0, r.stderr)

    def assertSamePixels(self, img, ref, what):
        self.assertEqual(img.size, ref.size, what)
        self.assertEqual(list(img.convert('RGB').getdata()), list(ref.getdata()), what)

    def test_our_files_read_by_pil_and_imagemagick(self):
        for ext in ('bmp', 'pcx', 'ppm', 'png'):
            with self.subTest(ext=ext):
                self.convert_ok('full.ppm', 'ours.' + ext)
                p = self.path('ours.' + ext)
                self.assertSamePixels(Image.open(p), self.full, 'PIL ' + ext)
                self.assertSamePixels(magick_pixels(p, 37, 23), self.full, 'ImageMagick ' + ext)
                ident = subprocess.run(['/usr/bin/identify', p], check=True, capture_output=True, text=True)
                self.assertIn('37x23', ident.stdout)

    def test_our_xpm_read_by_pil_and_imagemagick(self):
        self.convert_ok('few.ppm', 'ours.xpm')
        p = self.path('ours.xpm')
        self.assertSamePixels(Image.open(p), self.few, 'PIL xpm')
        self.assertSamePixels(magick_pixels(p, 29, 11), self.few, 'ImageMagick xpm')

    def test_imagemagick_files_read_by_us(self):
        cases = [('full.ppm', 'im.bmp', self.full), ('full.ppm', 'BMP3:im3.bmp', self.full),
                 ('full.ppm', 'im.pcx', self.full), ('full.ppm', 'im.ppm', self.full),
                 ('few.ppm', 'im.xpm', self.few)]
        for src, dst, ref in cases:
            with self.subTest(dst=dst):
                subprocess.run([MAGICK, self.path(src), '-type', 'TrueColor',
                                (dst.split(':')[0] + ':' if ':' in dst else '') + self.path(dst.split(':')[-1])],
                               check=True)
                name = dst.split(':')[-1]
                self.convert_ok(name, name + '.back.ppm')
                self.assertSamePixels(Image.open(self.path(name + '.back.ppm')), ref, dst)

    def test_failures_are_one_line_and_exit_1(self):
        r = self.zeko('convert', self.path('missing.bmp'), self.path('x.png'))
        self.assertEqual(r.returncode, 1)
        self.assertEqual(len(r.stderr.strip().splitlines()), 1)
        self.assertTrue(r.stderr.startswith('zeko: '))
        r = self.zeko('convert', self.path('full.ppm'), self.path('x.gif'))
        self.assertEqual(r.returncode, 1)
        self.assertFalse(os.path.exists(self.path('x.gif')))
        with open(self.path('broken.pcx'), 'wb') as f:
            with open(self.path('full.ppm'), 'rb') as src:
                f.write(src.read()[:50])
        self.assertEqual(self.zeko('convert', self.path('broken.pcx'), self.path('y.bmp')).returncode, 1)


if __name__ == '__main__':
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
