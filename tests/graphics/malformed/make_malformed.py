#!/usr/bin/python3
# Writes the malformed picture files of this folder: each one must be refused
# by the readers without drawing anything. Run it again after adding a case.
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def bmp(w, h, bpp=24, comp=0, offset=54, hsize=40, rows=None, magic=b'BM'):
    stride = (w * 3 + 3) & ~3 if w > 0 else 0
    data = rows if rows is not None else bytes(stride * abs(h) if stride * abs(h) < 10000 else 0)
    head = magic + struct.pack('<IHHI', 54 + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', hsize, w, h, 1, bpp, comp, 0, 0, 0, 0, 0)
    return head + info + data


def pcx(w, h, planes=3, bpl=None, data=b'', bits=8, enc=1):
    hdr = bytearray(128)
    hdr[0], hdr[1], hdr[2], hdr[3] = 0x0A, 5, enc, bits
    struct.pack_into('<HHHH', hdr, 4, 0, 0, (w - 1) & 0xFFFF, (h - 1) & 0xFFFF)
    hdr[65] = planes
    struct.pack_into('<HH', hdr, 66, w if bpl is None else bpl, 1)
    return bytes(hdr) + data


def xpm(lines):
    body = ',\n'.join('"%s"' % l for l in lines)
    return ('/* XPM */\nstatic char * bad[] = {\n' + body + '};\n').encode()


cases = {
    'bmp_huge_width.bmp': bmp(0x7FFFFFFF, 2),
    'bmp_width_40000.bmp': bmp(40000, 1, rows=bytes(16)),
    'bmp_negative_height.bmp': bmp(2, -2, rows=bytes(16)),
    'bmp_zero_width.bmp': bmp(0, 4, rows=bytes(16)),
    'bmp_offset_beyond_end.bmp': bmp(2, 2, offset=5000),
    'bmp_offset_inside_header.bmp': bmp(2, 2, offset=20),
    'bmp_8bit.bmp': bmp(2, 2, bpp=8),
    'bmp_32bit.bmp': bmp(2, 2, bpp=32),
    'bmp_rle.bmp': bmp(2, 2, comp=1),
    'bmp_truncated_rows.bmp': bmp(4, 4)[:54 + 20],
    'bmp_header_only.bmp': bmp(2, 2)[:30],
    'bmp_core_header.bmp': bmp(2, 2, hsize=12),
    'bmp_wrong_magic.bmp': bmp(2, 2, magic=b'MB'),
    'bmp_empty.bmp': b'',
    'pcx_run_without_value.pcx': pcx(2, 1, data=bytes([0xC2, 1, 0xC2, 2, 0xC2])),
    'pcx_short_data.pcx': pcx(4, 4, data=bytes([0xC4, 9] * 5)),
    'pcx_no_data.pcx': pcx(3, 3),
    'pcx_huge.pcx': pcx(0x10000, 2, bpl=0),
    'pcx_one_plane.pcx': pcx(2, 2, planes=1, data=bytes([0xC4, 1] * 4)),
    'pcx_4bit.pcx': pcx(2, 2, bits=4, data=bytes([0xC6, 1] * 4)),
    'pcx_uncompressed.pcx': pcx(2, 2, enc=0, data=bytes(12)),
    'pcx_bytes_per_line_short.pcx': pcx(8, 1, bpl=4, data=bytes([0xC4, 1] * 6)),
    'pcx_header_only.pcx': pcx(2, 2)[:60],
    'ppm_maxval_65535.ppm': b'P6\n2 2\n65535\n' + bytes(24),
    'ppm_maxval_0.ppm': b'P6\n2 2\n0\n' + bytes(12),
    'ppm_maxval_15.ppm': b'P6\n2 2\n15\n' + bytes(12),
    'ppm_truncated.ppm': b'P6\n4 4\n255\n' + bytes(40),
    'ppm_huge.ppm': b'P6\n999999 999999\n255\n' + bytes(12),
    'ppm_ascii_p3.ppm': b'P3\n1 1\n255\n0 0 0\n',
    'ppm_negative_size.ppm': b'P6\n-2 2\n255\n' + bytes(12),
    'ppm_missing_height.ppm': b'P6\n2\n',
    'ppm_digits_overflow.ppm': b'P6\n' + b'9' * 40 + b' 1\n255\n',
    'xpm_missing_colour.xpm': xpm(['2 2 1 1', 'a c #FF0000', 'aa', 'ab']),
    'xpm_fewer_rows.xpm': xpm(['2 3 1 1', 'a c #FF0000', 'aa', 'aa']),
    'xpm_short_row.xpm': xpm(['3 2 1 1', 'a c #FF0000', 'aaa', 'a']),
    'xpm_too_many_colours.xpm': xpm(['1 1 300 2'] + ['%02d c #000000' % i for i in range(99)]),
    'xpm_three_chars_per_pixel.xpm': xpm(['1 1 1 3', 'abc c #000000', 'abc']),
    'xpm_colour_without_c.xpm': xpm(['1 1 1 1', 'a s #000000', 'a']),
    'xpm_fewer_colour_lines.xpm': xpm(['1 1 4 1', 'a c #000000']),
    'xpm_huge.xpm': xpm(['100000 1 1 1', 'a c #000000', 'a']),
    'xpm_no_values.xpm': xpm(['hello']),
    'xpm_no_quotes.xpm': b'/* XPM */\nstatic char * bad[] = { 1 1 1 1 };\n',
    'xpm_zero_size.xpm': xpm(['0 0 1 1', 'a c #000000']),
}

for name, data in cases.items():
    with open(os.path.join(here, name), 'wb') as f:
        f.write(data)
print('%d files' % len(cases))
