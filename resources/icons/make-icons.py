#!/usr/bin/env python3
"""Draws the Vistrum icon, a monitor on a stand, and writes vistrum-<size>.png
for 16, 32, 48, 64, 128 and 256 pixels, vistrum.svg and vistrum.ico.

The 16 and 32 pixel pictures are the ASCII grids below, one character a
pixel. The larger ones are drawn from rectangles (draw_large): the layout of
the 32 pixel picture placed on the larger grid, with outlines, bevels and
details chosen for each size, so that every edge falls on a whole pixel. The
SVG is the 256 pixel drawing as vector rectangles. All use only the sixteen
standard colours.

The ICO holds 16, 32 and 48 as 4-bit (16-colour) bitmaps with AND masks, so
that every version of Windows shows them as drawn, and 256 as a PNG, as
Windows Vista and later read that size.

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


# Line widths of the larger pictures, (outline, bevel) in pixels, and the
# thickness of a line of text in the window on the screen. Larger sizes get
# relatively finer lines and more detail (draw_large), as a scaled-up 32 pixel
# picture would have coarse ones.
LARGE_SIZES = {48: (1, 1, 1), 64: (1, 2, 2), 128: (2, 3, 2), 256: (3, 5, 4)}


def draw_large(size):
    """The picture at SIZE as rectangles (x0, y0, x1, y1, colour), painted in
    order; coordinates are pixels, x1 and y1 exclusive. Positions are those
    of the 32 pixel grid, in its units, rounded to this size's pixels."""
    outline, bevel, text = LARGE_SIZES[size]
    rects = []

    def at(v):  # a left or top edge, in units of the 32 pixel grid
        return int(v * size / 32 + 0.5)

    def to(v):  # a right or bottom edge: mirrored, so margins stay equal
        return size - at(32 - v)

    def fill(x0, y0, x1, y1, colour):
        if x0 < x1 and y0 < y1:
            rects.append((x0, y0, x1, y1, colour))

    def frame(x0, y0, x1, y1, width, colour):
        fill(x0, y0, x1, y0 + width, colour)
        fill(x0, y1 - width, x1, y1, colour)
        fill(x0, y0, x0 + width, y1, colour)
        fill(x1 - width, y0, x1, y1, colour)

    def bevel_box(x0, y0, x1, y1, width, light, dark):
        # Light along the top and left, dark along the bottom and right,
        # the dark taking the two corners where they meet.
        fill(x0, y0, x1, y0 + width, light)
        fill(x0, y0, x0 + width, y1, light)
        fill(x0, y1 - width, x1, y1, dark)
        fill(x1 - width, y0, x1, y1, dark)

    def raised(x0, y0, x1, y1, face="s"):
        # An outlined silver part of the case or the stand.
        fill(x0, y0, x1, y1, "k")
        fill(x0 + outline, y0 + outline, x1 - outline, y1 - outline, face)
        bevel_box(x0 + outline, y0 + outline, x1 - outline, y1 - outline, bevel, "w", "G")

    # The stand first: the case and the foot are drawn over its ends.
    foot_top = at(27)
    raised(at(7), foot_top, to(25), size)
    # The neck runs through the top edge of the foot into it.
    nx0, nx1, ny0, ny1 = at(13), to(19), at(24), foot_top + outline
    fill(nx0, ny0, nx1, ny1, "k")
    fill(nx0 + outline, ny0, nx1 - outline, ny1, "s")
    fill(nx0 + outline, ny0, nx0 + outline + bevel, ny1, "w")
    fill(nx1 - outline - bevel, ny0, nx1 - outline, ny1, "G")
    raised(at(1), at(1), to(31), at(25))

    # The screen, sunk into the case, with its black edge and teal desktop.
    sx0, sy0, sx1, sy1 = at(5), at(4), to(27), at(21)
    bevel_box(sx0, sy0, sx1, sy1, bevel, "G", "w")
    sx0, sy0, sx1, sy1 = sx0 + bevel, sy0 + bevel, sx1 - bevel, sy1 - bevel
    fill(sx0, sy0, sx1, sy1, "k")
    dx0, dy0, dx1, dy1 = sx0 + outline, sy0 + outline, sx1 - outline, sy1 - outline
    fill(dx0, dy0, dx1, dy1, "t")

    # The power light below the screen, right.
    fill(at(24), at(22), at(25), at(23), "l")
    fill(at(25), at(22), at(26), at(23), "g")

    # The task bar along the bottom of the desktop: a white top edge, a start
    # button at the left and a tray at the right; from 128 pixels on both are
    # small raised and sunken panels with a label in them, as on a real one.
    fine = max(1, outline // 2)
    if size >= 128:
        bar = dy1 - at(2.5) - bevel // 2
        fill(dx0, bar, dx1, bar + fine, "w")
        fill(dx0, bar + fine, dx1, dy1, "s")
        by0, by1 = bar + fine + 2 * fine, dy1 - 2 * fine
        label0, label1 = (by0 + by1 - text) // 2, (by0 + by1 + text) // 2
        sx0, sx1 = dx0 + 2 * fine, at(12)
        bevel_box(sx0, by0, sx1, by1, fine, "w", "k")
        mark = by1 - by0 - 4 * fine
        fill(sx0 + 2 * fine, by0 + 2 * fine, sx0 + 2 * fine + mark, by1 - 2 * fine, "g")
        fill(sx0 + 4 * fine + mark, label0, sx1 - 3 * fine, label1, "k")
        tx0, tx1 = at(19.5), dx1 - 2 * fine
        bevel_box(tx0, by0, tx1, by1, fine, "G", "w")
        fill(tx1 - at(2.5), label0, tx1 - 3 * fine, label1, "k")
    else:
        bar = dy1 - at(2)
        fill(dx0, bar, dx1, bar + bevel, "w")
        fill(dx0, bar + bevel, dx1, dy1, "s")
        fill(at(8), bar + bevel, at(10), dy1, "g")
        fill(at(21), bar + bevel, at(23), dy1, "G")

    # A window on the desktop: a navy title bar with its buttons, a white
    # client area with lines of blue text, a black shadow right and below.
    wx0, wy0, wx1, wy1 = at(9), at(7), at(21), at(14)
    shadow = at(0.5) if size >= 128 else at(1)
    fill(wx0 + shadow, wy0 + shadow, wx1 + shadow, wy1 + shadow, "k")
    title = at(1.75) if size >= 128 else at(1)
    fill(wx0, wy0, wx1, wy0 + title, "n")
    fill(wx0, wy0 + title, wx1, wy1, "w")
    if size >= 128:
        button = title - 4 * fine
        for i in range(3):
            bx1 = wx1 - 2 * fine - i * (button + fine)
            by0 = wy0 + 2 * fine
            fill(bx1 - button, by0, bx1, by0 + button, "s")
            bevel_box(bx1 - button, by0, bx1, by0 + button, fine, "w", "k")
    else:
        fill(at(19), wy0, at(20), wy0 + title, "w")
    # Lines of text of varying length, as many as fit, a line apart.
    left, room = wx0 + at(1), wx1 - wx0 - 2 * at(1)
    pitch = 2 * text if size >= 64 else 2
    y = wy0 + title + pitch - text
    for length in (7, 9, 5, 8, 6, 9, 4, 7, 8, 5):
        if y + text > wy1 - (pitch - text):
            break
        fill(left, y, left + room * length // 10, y + text, "b")
        y += pitch
    return rects


def paint(rects, size):
    """Rows of palette indices, None where no rectangle covers the pixel."""
    pixels = [[None] * size for _ in range(size)]
    for x0, y0, x1, y1, colour in rects:
        for y in range(y0, y1):
            pixels[y][x0:x1] = [INDEX[colour]] * (x1 - x0)
    return pixels


def svg_bytes(rects, size):
    """The rectangles as a scalable SVG drawn on a SIZE x SIZE grid."""
    lines = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
             f'viewBox="0 0 {size} {size}" shape-rendering="crispEdges">',
             "<title>Vistrum</title>"]
    for x0, y0, x1, y1, colour in rects:
        rgb = "#%02x%02x%02x" % PALETTE[INDEX[colour]][1]
        lines.append(f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" fill="{rgb}"/>')
    lines.append("</svg>")
    return ("\n".join(lines) + "\n").encode("ascii")


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
    """An ICO file with one entry per image, smallest first: a 16-colour
    bitmap up to 48 pixels, a 32-bit PNG above (a size of 256 is written 0)."""
    entries = bytearray()
    data = bytearray()
    offset = 6 + 16 * len(images)
    for pixels in images:
        size = len(pixels)
        if size > 48:
            image, colours, bits = png_bytes(pixels), 0, 32
        else:
            image, colours, bits = ico_bitmap(pixels), 16, 4
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                               len(image), offset + len(data))
        data += image
    return struct.pack("<HHH", 0, 1, len(images)) + bytes(entries) + bytes(data)


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    pictures = {16: parse_grid(ICON_16, 16), 32: parse_grid(ICON_32, 32)}
    for size in LARGE_SIZES:
        pictures[size] = paint(draw_large(size), size)
    files = {f"vistrum-{size}.png": png_bytes(pixels) for size, pixels in pictures.items()}
    files["vistrum.svg"] = svg_bytes(draw_large(256), 256)
    files["vistrum.ico"] = ico_bytes([pictures[size] for size in (16, 32, 48, 256)])
    os.makedirs(out_dir, exist_ok=True)
    for name, content in files.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
