"""The colour of one pixel of a binary PPM screenshot ("import -window root").

    ppm_pixel.py FILE X Y                  prints the pixel as six hex digits
    ppm_pixel.py FILE X Y RRGGBB TOLERANCE  also exits 1 unless every channel
                                           is within TOLERANCE of RRGGBB
"""
import sys


def pixel(path, x, y):
    data = open(path, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace(): pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace(): pos += 1
        fields.append(data[start:pos])
    pos += 1
    w, maxval = int(fields[1]), int(fields[3])
    bpp = 3 if maxval < 256 else 6
    off = pos + (y * w + x) * bpp
    px = data[off:off + bpp]
    if bpp == 6: px = px[0:1] + px[2:3] + px[4:5]
    return px


def main(argv):
    px = pixel(argv[1], int(argv[2]), int(argv[3]))
    print('%02x%02x%02x' % (px[0], px[1], px[2]))
    if len(argv) < 6:
        return 0
    want = bytes.fromhex(argv[4])
    return 0 if all(abs(a - b) <= int(argv[5]) for a, b in zip(px, want)) else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
