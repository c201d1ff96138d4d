#!/usr/bin/python3
# Picture import against PIL: JPEG and GIF files made by PIL here are imported
# by "zeko import" and must hold exactly the pixels PIL decodes (both sides use
# the system's libjpeg-turbo, so JPEG pixels agree to the byte).
import os
import shutil
import subprocess
import tempfile
import unittest

from PIL import Image, ImageChops, ImageOps

ZEKO = os.path.join(os.environ.get('ZE_TOOLS_DIR', 'build/tools'), 'zeko')
BACKGROUND = (0x12, 0x34, 0x56)


def pattern(w, h):
    # smooth parts and sharp edges, so every DCT block and subsampling matters
    r = Image.linear_gradient('L').resize((w, h))
    g = Image.radial_gradient('L').resize((w, h))
    b = Image.effect_noise((w, h), 50)
    return Image.merge('RGB', (r, g, b))


def read_ppm(path):
    with open(path, 'rb') as f:
        data = f.read()
    magic, size, depth, pixels = data.split(b'\n', 3)
    w, h = map(int, size.split())
    return Image.frombytes('RGB', (w, h), pixels)


class Import(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix='zeimport_')

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def zeko_import(self, name):
        out = self.path(name + '.ppm')
        r = subprocess.run([ZEKO, 'import', self.path(name), out, '%02x%02x%02x' % BACKGROUND],
                           capture_output=True, text=True, timeout=60)
        self.assertEqual(r.returncode, 0, name + ': ' + r.stdout + r.stderr)
        return read_ppm(out)

    def assertSamePixels(self, got, want, name):
        want = want.convert('RGB')
        self.assertEqual(got.size, want.size, name)
        diff = ImageChops.difference(got, want).getextrema()
        self.assertEqual(max(hi for lo, hi in diff), 0, name)

    def test_jpeg_kinds_and_sizes(self):
        cases = [
            ('one.jpg', (1, 1), 'RGB', {}),
            ('odd420.jpg', (17, 13), 'RGB', {'subsampling': 2, 'quality': 70}),
            ('full444.jpg', (64, 40), 'RGB', {'subsampling': 0, 'quality': 95}),
            ('progressive.jpg', (640, 480), 'RGB', {'progressive': True, 'quality': 80}),
            ('grey.jpg', (101, 77), 'L', {}),
            ('greyprog.jpg', (33, 200), 'L', {'progressive': True}),
            ('cmyk.jpg', (64, 48), 'CMYK', {}),
            ('large.jpg', (4000, 3000), 'RGB', {'quality': 85}),
        ]
        for name, size, mode, opts in cases:
            pattern(*size).convert(mode).save(self.path(name), **opts)
            self.assertSamePixels(self.zeko_import(name), Image.open(self.path(name)), name)

    def test_jpeg_exif_orientation_stands_upright(self):
        img = pattern(31, 19)
        for o in range(1, 9):
            exif = Image.Exif()
            exif[0x0112] = o
            name = 'orient%d.jpg' % o
            img.save(self.path(name), exif=exif.tobytes())
            want = ImageOps.exif_transpose(Image.open(self.path(name)))
            self.assertSamePixels(self.zeko_import(name), want, name)

    def gif_reference(self, name):
        # the first frame, transparency on the background colour
        with Image.open(self.path(name)) as im:
            rgba = im.convert('RGBA')
        ground = Image.new('RGBA', rgba.size, BACKGROUND + (255,))
        ground.alpha_composite(rgba)
        return ground

    def test_gif_kinds_and_sizes(self):
        cases = [
            ('one.gif', (1, 1), {}),
            ('plain.gif', (120, 80), {'interlace': False}),
            ('interlaced.gif', (97, 61), {'interlace': True}),
            ('interlaced_short.gif', (40, 3), {'interlace': True}),
            ('large.gif', (1600, 1200), {'interlace': False}),
        ]
        for name, size, opts in cases:
            pattern(*size).convert('P', palette=Image.ADAPTIVE, colors=200).save(self.path(name), **opts)
            self.assertSamePixels(self.zeko_import(name), self.gif_reference(name), name)
        # a greyscale picture of the largest size
        Image.effect_noise((4000, 3000), 60).point(lambda v: v & 0xF0).save(self.path('huge.gif'))
        self.assertSamePixels(self.zeko_import('huge.gif'), self.gif_reference('huge.gif'), 'huge.gif')

    def test_gif_transparency_and_first_frame(self):
        img = pattern(50, 30).convert('P', palette=Image.ADAPTIVE, colors=64)
        img.save(self.path('transparent.gif'), transparency=5)
        got = self.zeko_import('transparent.gif')
        self.assertSamePixels(got, self.gif_reference('transparent.gif'), 'transparent.gif')
        self.assertIn(5, img.getdata(), 'the transparent index is used')
        frames = [Image.new('RGB', (30, 20), c).convert('P') for c in ((255, 0, 0), (0, 0, 255))]
        frames[0].save(self.path('animated.gif'), save_all=True, append_images=frames[1:], duration=100)
        self.assertEqual(self.zeko_import('animated.gif').getpixel((3, 3)), (255, 0, 0))

    def test_kind_by_content_and_own_formats(self):
        img = pattern(23, 17)
        img.save(self.path('really_jpeg.gif'), format='JPEG')
        self.assertSamePixels(self.zeko_import('really_jpeg.gif'), Image.open(self.path('really_jpeg.gif')),
                              'JPEG named .gif')
        for name in ('pil.bmp', 'pil.ppm', 'pil.pcx'):
            img.save(self.path(name))
            self.assertSamePixels(self.zeko_import(name), img, name)
        img.save(self.path('picture.png'))
        r = subprocess.run([ZEKO, 'import', self.path('picture.png'), self.path('x.ppm')],
                           capture_output=True, text=True)
        self.assertNotEqual(r.returncode, 0)
        self.assertIn('zeimage_import: unsupported format', r.stdout)


if __name__ == '__main__':
    unittest.main()
