#!/usr/bin/env python3
"""Reads the committed icon files back: the PNGs of every size use only the
sixteen standard colours on a transparent background, and no larger one is a
smaller one scaled up; the ICO holds the 16, 32 and 48 pixel pictures as
16-colour bitmaps and the 256 pixel one as a PNG, each showing the same
pixels as its PNG; the SVG, as librsvg draws it at 256 pixels (the library
desktops draw SVG icons with, here through gdk-pixbuf-thumbnailer), is the
256 pixel PNG; and make-icons.py still produces exactly the committed files.

Usage: check_icons.py ICONS_DIR
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zlib

STANDARD_COLOURS = {
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
}
SIZES = (16, 32, 48, 64, 128, 256)
ICO_SIZES = (16, 32, 48, 256)
ICONS_DIR = None


def read(name):
    with open(os.path.join(ICONS_DIR, name), "rb") as f:
        return f.read()


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode_png(data):
    """Rows of (r, g, b, a) tuples from an 8-bit non-interlaced RGB(A) or
    palette PNG, after checking the signature and every chunk's CRC."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, palette, alpha = 8, b"", None, b""
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        crc = struct.unpack_from(">I", data, pos + 8 + length)[0]
        if zlib.crc32(kind + body) != crc:
            raise ValueError(f"bad CRC in {kind!r}")
        if kind == b"IHDR":
            width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"tRNS":
            alpha = body
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = {2: 3, 3: 1, 6: 4}.get(colour_type)
    if depth != 8 or channels is None or interlace:
        raise ValueError(f"unsupported PNG: depth {depth}, colour type {colour_type}")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            line[x] = (line[x] + (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]) & 0xFF
        rows.append(line)
        previous = line
    pixels = []
    for line in rows:
        if colour_type == 6:
            pixels.append([tuple(line[i:i + 4]) for i in range(0, stride, 4)])
        elif colour_type == 2:
            pixels.append([tuple(line[i:i + 3]) + (255,) for i in range(0, stride, 3)])
        else:
            pixels.append([palette[i] + ((alpha[i] if i < len(alpha) else 255),) for i in line])
    return width, height, pixels


def decode_ico(data):
    """{size: (colour table or None, rows of (r, g, b, a))} for the images of
    an ICO: 4-bit bitmaps with their colour table, PNGs without one."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind) != (0, 1):
        raise ValueError("not an ICO")
    images = {}
    for i in range(count):
        width, height, colours, _, planes, bits, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        width, height = width or 256, height or 256
        if offset + size > len(data):
            raise ValueError(f"entry {i} runs past the end of the file")
        if data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n":
            png_width, png_height, rows = decode_png(data[offset:offset + size])
            if (png_width, png_height) != (width, height) or (colours, planes, bits) != (0, 1, 32):
                raise ValueError(f"entry {i} does not describe its PNG as 32-bit {width} x {height}")
            images[width] = (None, rows)
            continue
        if (colours, planes, bits) != (16, 1, 4):
            raise ValueError(f"entry {i} is not a 16-colour bitmap")
        header = struct.unpack_from("<IiiHHIIiiII", data, offset)
        if header[0] != 40 or header[3:6] != (1, 4, 0) or header[1] != width or header[2] != 2 * height:
            raise ValueError(f"entry {i} does not start with a 4-bit BITMAPINFOHEADER of its size")
        table_at = offset + 40
        table = [tuple(reversed(data[table_at + 4 * c:table_at + 4 * c + 3])) for c in range(16)]
        xor_stride = (width * 4 + 31) // 32 * 4
        and_stride = (width + 31) // 32 * 4
        xor_at = table_at + 64
        and_at = xor_at + xor_stride * height
        if and_at + and_stride * height != offset + size:
            raise ValueError(f"entry {i}: its size does not match its bitmap")
        rows = []
        for y in reversed(range(height)):
            row = []
            for x in range(width):
                byte = data[xor_at + y * xor_stride + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 0x0F
                masked = data[and_at + y * and_stride + x // 8] & (0x80 >> (x % 8))
                row.append((0, 0, 0, 0) if masked else table[index] + (255,))
            rows.append(row)
        images[width] = (table, rows)
    return images


def normalised(pixels):
    """Transparent pixels as (0, 0, 0, 0), whatever colour a file stores for them."""
    return [[p if p[3] else (0, 0, 0, 0) for p in row] for row in pixels]


def png_pixels(name):
    return normalised(decode_png(read(name))[2])


class Pngs(unittest.TestCase):
    def test_size_and_sixteen_colours_on_transparent_background(self):
        for size in SIZES:
            with self.subTest(size=size):
                width, height, pixels = decode_png(read(f"vistrum-{size}.png"))
                self.assertEqual((width, height), (size, size))
                flat = [p for row in pixels for p in row]
                self.assertTrue(all(p[3] in (0, 255) for p in flat), "partly transparent pixels")
                strays = {p[:3] for p in flat if p[3] == 255} - STANDARD_COLOURS
                self.assertFalse(strays, f"colours outside the 16-colour palette: {strays}")
                # Beside the foot of the stand there is only background.
                self.assertEqual(pixels[-1][0][3], 0, "the bottom left corner is not transparent")
                self.assertEqual(pixels[-1][-1][3], 0, "the bottom right corner is not transparent")
                opaque = sum(p[3] == 255 for p in flat)
                self.assertGreater(opaque, size * size // 2, "the picture is mostly empty")
                self.assertLess(opaque, size * size, "the background is not transparent")


    def test_each_size_is_drawn_for_itself_not_scaled_up(self):
        for small, large in zip(SIZES, SIZES[1:]):
            if large % small:
                continue
            factor = large // small
            with self.subTest(small=small, large=large):
                pixels = png_pixels(f"vistrum-{small}.png")
                scaled = [[p for p in row for _ in range(factor)] for row in pixels for _ in range(factor)]
                self.assertNotEqual(png_pixels(f"vistrum-{large}.png"), scaled)


class Ico(unittest.TestCase):
    def test_holds_16_32_and_48_as_bitmaps_and_256_as_png_matching_the_pngs(self):
        images = decode_ico(read("vistrum.ico"))
        self.assertEqual(sorted(images), list(ICO_SIZES))
        for size in ICO_SIZES:
            with self.subTest(size=size):
                table, rows = images[size]
                if size <= 48:
                    self.assertEqual(set(table), STANDARD_COLOURS)
                self.assertEqual(normalised(rows), png_pixels(f"vistrum-{size}.png"))


class Svg(unittest.TestCase):
    def test_is_square_and_draws_as_the_256_pixel_png(self):
        root = ET.fromstring(read("vistrum.svg"))
        self.assertEqual(root.tag, "{http://www.w3.org/2000/svg}svg")
        self.assertEqual(root.get("viewBox"), "0 0 256 256")
        renderer = shutil.which("gdk-pixbuf-thumbnailer")
        self.assertIsNotNone(renderer, "gdk-pixbuf-thumbnailer not found: install "
                             "libgdk-pixbuf2.0-bin and librsvg2-common")
        with tempfile.TemporaryDirectory() as out:
            drawn = os.path.join(out, "drawn.png")
            subprocess.run([renderer, "-s", "256", os.path.join(ICONS_DIR, "vistrum.svg"), drawn],
                           check=True)
            with open(drawn, "rb") as f:
                width, height, pixels = decode_png(f.read())
        self.assertEqual((width, height), (256, 256))
        self.assertEqual(normalised(pixels), png_pixels("vistrum-256.png"))


class Generator(unittest.TestCase):
    def test_make_icons_reproduces_the_committed_files(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, os.path.join(ICONS_DIR, "make-icons.py"), out],
                           check=True)
            for name in sorted(os.listdir(out)):
                with self.subTest(name=name), open(os.path.join(out, name), "rb") as f:
                    self.assertTrue(f.read() == read(name),
                                    f"{name} is out of date: run resources/icons/make-icons.py")
            self.assertEqual(sorted(os.listdir(out)),
                             sorted([f"vistrum-{size}.png" for size in SIZES] +
                                    ["vistrum.ico", "vistrum.svg"]))


if __name__ == "__main__":
    ICONS_DIR = sys.argv[1]
    unittest.main(argv=sys.argv[:1] + sys.argv[2:], verbosity=2)
