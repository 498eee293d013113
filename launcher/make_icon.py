#!/usr/bin/env python3
"""Writes launcher.ico from the saver's 32-bit icon: the same 32 x 32 picture
as two palette images, 16 colours and 256 colours, with a transparency mask
where the source is mostly transparent. Run by hand when the saver's icon
changes: python3 launcher/make_icon.py app/platform/win32/chronovale.ico launcher/launcher.ico
"""

import struct
import sys

SIZE = 32
# The 16 colours of the standard Windows palette.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette_256():
    colours = list(VGA)
    levels = [0, 51, 102, 153, 204, 255]
    colours += [(r, g, b) for r in levels for g in levels for b in levels]
    grey = 8
    while len(colours) < 256:
        colours.append((grey, grey, grey))
        grey += 10
    return colours


def read_rgba(path):
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1 or count < 1:
        raise SystemExit("not an icon: " + path)
    width, height, _, _, _, bits, _, offset = struct.unpack_from("<BBBBHHII", data, 6)
    header_size, bmp_width, bmp_height, _, bmp_bits = struct.unpack_from("<IiiHH", data, offset)
    if (width or 256) != SIZE or bmp_bits != 32:
        raise SystemExit("expected a 32 x 32 icon of 32 bits a pixel")
    pixels = offset + header_size
    rows = []
    for y in range(SIZE):  # bottom row first
        row = []
        for x in range(SIZE):
            b, g, r, a = data[pixels + (y * SIZE + x) * 4: pixels + (y * SIZE + x) * 4 + 4]
            row.append((r, g, b, a))
        rows.append(row)
    return rows


def nearest(colour, palette):
    r, g, b = colour
    return min(range(len(palette)),
               key=lambda i: (palette[i][0] - r) ** 2 + (palette[i][1] - g) ** 2
               + (palette[i][2] - b) ** 2)


def palette_image(rows, palette, bits):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bits, 0, 0, 0, 0,
                         len(palette), 0)
    table = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    xor = b""
    mask = b""
    for row in rows:
        indices = [0 if a < 128 else nearest((r, g, b), palette) for r, g, b, a in row]
        if bits == 4:
            packed = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2))
        else:
            packed = bytes(indices)
        xor += packed + b"\0" * (-len(packed) % 4)
        bitsrow = 0
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bitsrow |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bitsrow)
    return header + table + xor + mask


def main(source, target):
    rows = read_rgba(source)
    images = [(16, 4, palette_image(rows, VGA, 4)),
              (0, 8, palette_image(rows, palette_256(), 8))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for colours, bits, image in images:
        out += struct.pack("<BBBBHHII", SIZE, SIZE, colours, 0, 1, bits, len(image), offset)
        offset += len(image)
    out += b"".join(image for _, _, image in images)
    open(target, "wb").write(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
