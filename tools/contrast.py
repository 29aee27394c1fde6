#!/usr/bin/python3
"""Measures how well a text reads in a screenshot, as WCAG 2 defines contrast.

    contrast.py IMAGE X Y W H

prints "RATIO #BACKGROUND #TEXT" for the rectangle W x H at X,Y of IMAGE: the
background is its most frequent colour, the text the colour that differs
most from it among those covering at least two pixels (anti-aliased edges
fall in between). Exit status 1, with a message, when the rectangle holds a
single colour. Reads the picture with ImageMagick's convert.
"""
import re
import subprocess
import sys


def luminance(rgb):
    def linear(c):
        v = c / 255
        return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def ratio(a, b):
    la, lb = sorted((luminance(a), luminance(b)))
    return (lb + 0.05) / (la + 0.05)


def histogram(image, x, y, w, h):
    out = subprocess.run(["convert", image, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8",
                          "-alpha", "off", "-format", "%c", "histogram:info:-"],
                         check=True, capture_output=True, text=True).stdout
    colours = []
    for line in out.splitlines():
        m = re.match(r"\s*(\d+):.*#([0-9A-Fa-f]{6})", line)
        if m:
            hexa = m.group(2)
            colours.append((int(m.group(1)), tuple(int(hexa[i:i + 2], 16) for i in (0, 2, 4))))
    return colours


def main():
    image, x, y, w, h = sys.argv[1], *map(int, sys.argv[2:6])
    colours = histogram(image, x, y, w, h)
    if len(colours) < 2:
        sys.exit(f"contrast.py: {w}x{h}+{x}+{y} of {image} holds one colour: no text")
    background = max(colours, key=lambda c: c[0])[1]
    text = max((c for c in colours if c[0] >= 2), key=lambda c: ratio(c[1], background))[1]
    print(f"{ratio(text, background):.2f} #{'%02X%02X%02X' % background} #{'%02X%02X%02X' % text}")


if __name__ == "__main__":
    main()
