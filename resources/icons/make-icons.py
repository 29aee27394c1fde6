#!/usr/bin/env python3
"""Draws the Vistrum icon and writes vistrum-16.png, vistrum-32.png and vistrum.ico.

The pictures are the ASCII grids below, one character a pixel, in the sixteen
standard colours. The ICO holds both sizes as 4-bit (16-colour) bitmaps with
AND masks, so that every version of Windows shows it as drawn.

Usage: make-icons.py [OUTPUT_DIR]   (default: the folder this script is in)

Only the standard library is used, so the output is the same wherever it runs;
the generated files are committed and the build does not run this script.
"""

import os
import struct
import sys
import zlib

# The sixteen colours in the order of the Windows 16-colour palette, which is
# also the order of the colour table in the ICO bitmaps.
PALETTE = [
    ("k", (0x00, 0x00, 0x00)),  # black
    ("m", (0x80, 0x00, 0x00)),  # maroon
    ("g", (0x00, 0x80, 0x00)),  # green
    ("o", (0x80, 0x80, 0x00)),  # olive
    ("n", (0x00, 0x00, 0x80)),  # navy
    ("p", (0x80, 0x00, 0x80)),  # purple
    ("t", (0x00, 0x80, 0x80)),  # teal
    ("s", (0xC0, 0xC0, 0xC0)),  # silver
    ("G", (0x80, 0x80, 0x80)),  # grey
    ("r", (0xFF, 0x00, 0x00)),  # red
    ("l", (0x00, 0xFF, 0x00)),  # lime
    ("y", (0xFF, 0xFF, 0x00)),  # yellow
    ("b", (0x00, 0x00, 0xFF)),  # blue
    ("f", (0xFF, 0x00, 0xFF)),  # fuchsia
    ("a", (0x00, 0xFF, 0xFF)),  # aqua
    ("w", (0xFF, 0xFF, 0xFF)),  # white
]
TRANSPARENT = "."
INDEX = {ch: i for i, (ch, _) in enumerate(PALETTE)}

# A monitor on a stand: a raised silver case, a sunken screen showing a teal
# desktop with a window and a task bar, a green power light, a neck and a foot.
ICON_32 = """
................................
.kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.
.kwwwwwwwwwwwwwwwwwwwwwwwwwwwGk.
.kwssssssssssssssssssssssssssGk.
.kwssGGGGGGGGGGGGGGGGGGGGGGssGk.
.kwssGkkkkkkkkkkkkkkkkkkkkwssGk.
.kwssGkttttttttttttttttttkwssGk.
.kwssGkttnnnnnnnnnnwnttttkwssGk.
.kwssGkttwwwwwwwwwwwwktttkwssGk.
.kwssGkttwbbbbbbbwwwwktttkwssGk.
.kwssGkttwwwwwwwwwwwwktttkwssGk.
.kwssGkttwbbbbbbbbbwwktttkwssGk.
.kwssGkttwwwwwwwwwwwwktttkwssGk.
.kwssGkttwbbbbbwwwwwwktttkwssGk.
.kwssGktttkkkkkkkkkkkktttkwssGk.
.kwssGkttttttttttttttttttkwssGk.
.kwssGkttttttttttttttttttkwssGk.
.kwssGkwwwwwwwwwwwwwwwwwwkwssGk.
.kwssGksggssssssssssssGGskwssGk.
.kwssGkkkkkkkkkkkkkkkkkkkkwssGk.
.kwssGwwwwwwwwwwwwwwwwwwwwwssGk.
.kwssssssssssssssssssssssssssGk.
.kwsssssssssssssssssssssslgssGk.
.kGGGGGGGGGGGGGGGGGGGGGGGGGGGGk.
.kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.
.............kwssGk.............
.............kwssGk.............
.......kkkkkkkwssGkkkkkkk.......
.......kwwwwwwwwwwwwwwwGk.......
.......kwssssssssssssssGk.......
.......kGGGGGGGGGGGGGGGGk.......
.......kkkkkkkkkkkkkkkkkk.......
"""

ICON_16 = """
kkkkkkkkkkkkkkkk
kwwwwwwwwwwwwwGk
kwkkkkkkkkkkkkGk
kwktnnnnnwtttkGk
kwktwbbbwwkttkGk
kwktwwwwwwkttkGk
kwkttttttttttkGk
kwksgsssssssskGk
kwkkkkkkkkkkkkGk
kwsssssssssslsGk
kGGGGGGGGGGGGGGk
kkkkkkkkkkkkkkkk
......kwGk......
...kkkkwGkkkk...
...kwwwwwwwGk...
...kkkkkkkkkk...
"""


def parse_grid(text, size):
    """Turns a grid into rows of palette indices, None where transparent."""
    rows = text.strip("\n").split("\n")
    if len(rows) != size or any(len(row) != size for row in rows):
        raise ValueError(f"the {size} x {size} grid is not {size} x {size}")
    pixels = []
    for row in rows:
        line = []
        for ch in row:
            if ch == TRANSPARENT:
                line.append(None)
            elif ch in INDEX:
                line.append(INDEX[ch])
            else:
                raise ValueError(f"unknown colour {ch!r} in the {size} x {size} grid")
        pixels.append(line)
    return pixels


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png_bytes(pixels):
    """An 8-bit RGBA PNG, read by every toolkit without a palette special case."""
    height, width = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter type None
        for index in row:
            if index is None:
                raw += b"\0\0\0\0"
            else:
                raw += bytes(PALETTE[index][1]) + b"\xff"
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def ico_bitmap(pixels):
    """A 4-bit DIB as an ICO holds it: the header says twice the height, for
    the colour rows and the AND mask rows that follow them, both bottom-up."""
    height, width = len(pixels), len(pixels[0])
    xor_stride = (width * 4 + 31) // 32 * 4
    and_stride = (width + 31) // 32 * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, index in enumerate(row):
            # A transparent pixel is black in the colour rows and set in the
            # mask, so the screen shows through unchanged.
            nibble = 0 if index is None else index
            line[x // 2] |= nibble << (4 if x % 2 == 0 else 0)
            if index is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        colour += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    return header + table + bytes(colour) + bytes(mask)


def ico_bytes(images):
    """An ICO file with one 16-colour entry per image, smallest first."""
    entries = bytearray()
    data = bytearray()
    offset = 6 + 16 * len(images)
    for pixels in images:
        size = len(pixels)
        bitmap = ico_bitmap(pixels)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4,
                               len(bitmap), offset + len(data))
        data += bitmap
    return struct.pack("<HHH", 0, 1, len(images)) + bytes(entries) + bytes(data)


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    icon16 = parse_grid(ICON_16, 16)
    icon32 = parse_grid(ICON_32, 32)
    files = {
        "vistrum-16.png": png_bytes(icon16),
        "vistrum-32.png": png_bytes(icon32),
        "vistrum.ico": ico_bytes([icon16, icon32]),
    }
    os.makedirs(out_dir, exist_ok=True)
    for name, content in files.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
