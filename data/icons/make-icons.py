#!/usr/bin/env python3
"""Draws the category icons, category-<ID>.png, 24x24, into this folder.

Only the standard library: each icon is a white glyph, built from simple
shapes, on a rounded tile of the category's colour. Every pixel is sampled
8x8 times for smooth edges, and the result is written as an RGBA PNG. The
output is the same on every run, so the committed PNGs can be checked against
it: run `python3 make-icons.py` and look at `git status`.
"""

import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from shapes import circle, clip, minus, polygon, rect, round_rect, union  # noqa: E402

SIZE = 24
SAMPLES = 8
WHITE = (255, 255, 255)


# Shapes: functions of a point in pixel units (0..24, y down) -> inside?

def ellipse(cx, cy, rx, ry, degrees=0.0):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def inside(x, y):
        u = (x - cx) * c + (y - cy) * s
        v = -(x - cx) * s + (y - cy) * c
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0
    return inside


def ellipse_ring(cx, cy, rx, ry, width):
    outer = ellipse(cx, cy, rx + width / 2, ry + width / 2)
    inner = ellipse(cx, cy, rx - width / 2, ry - width / 2)
    return lambda x, y: outer(x, y) and not inner(x, y)


# One glyph per category, drawn in white on a rounded tile of its colour.

def film_strip():
    holes = [round_rect(x, y, x + 2.2, y + 2.2, 0.5)
             for y in (4.2, 10.9, 17.6) for x in (3.9, 17.9)]
    frames = [round_rect(8, y, 16, y + 7.2, 0.8) for y in (3.8, 13.0)]
    return minus(rect(3, 2, 21, 22), *holes, *frames)


def hd_letters():
    h = union(rect(3.5, 7, 6, 17), rect(9.5, 7, 12, 17), rect(3.5, 10.8, 12, 13.2))
    d = minus(union(rect(13.5, 7, 16, 17), round_rect(13.5, 7, 21, 17, 4.6)),
              round_rect(16, 9.4, 18.6, 14.6, 2.0))
    return union(h, d)


def globe():
    ball = circle(12, 12, 9.5)
    return union(
        minus(ball, circle(12, 12, 7.9)),
        ellipse_ring(12, 12, 3.9, 8.7, 1.6),
        clip(rect(2, 11.2, 22, 12.8), ball),
    )


def phone():
    return minus(round_rect(6.5, 2, 17.5, 22, 2.6),
                 rect(8.3, 4.8, 15.7, 17.2), circle(12, 19.6, 1.1))


def gamepad():
    body = union(round_rect(2.5, 7, 21.5, 16, 4.5), circle(6.5, 15.5, 4), circle(17.5, 15.5, 4))
    cross = union(rect(5, 10.8, 10, 12.6), rect(6.6, 9.2, 8.4, 14.2))
    buttons = union(circle(16.3, 10.6, 1.3), circle(18.6, 13.2, 1.3))
    return minus(body, cross, buttons)


def disc():
    return minus(circle(12, 12, 9.8), circle(12, 12, 2.4),
                 minus(circle(12, 12, 5.0), circle(12, 12, 4.0)))


def archive_box():
    lid = round_rect(2.5, 4, 21.5, 9, 1.2)
    box = round_rect(4, 10.2, 20, 21, 1.2)
    return union(lid, minus(box, round_rect(9, 12.6, 15, 15, 1.2)))


def music_note():
    heads = union(ellipse(7.7, 17.6, 3.3, 2.4, -20), ellipse(17.2, 15.6, 3.3, 2.4, -20))
    stems = union(rect(9.4, 5.5, 11.0, 17.4), rect(18.9, 3.5, 20.5, 15.4))
    beam = polygon((9.4, 5.5), (20.5, 3.0), (20.5, 6.6), (9.4, 9.1))
    return union(heads, stems, beam)


CATEGORIES = [
    (1, (47, 116, 208), film_strip),    # General Video
    (2, (142, 68, 173), hd_letters),    # HD Video
    (3, (22, 160, 133), globe),         # Web Video
    (4, (230, 126, 34), phone),         # Phones and Tablets
    (5, (214, 69, 65), gamepad),        # Consoles and Players
    (6, (84, 110, 122), disc),          # DVD and VCD
    (7, (67, 160, 71), archive_box),    # Editing and Archiving
    (8, (194, 24, 91), music_note),     # Audio Only
]


def render(colour, glyph):
    tile = round_rect(0.5, 0.5, 23.5, 23.5, 4.5)
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(SIZE):
        row = bytearray([0])  # PNG filter type: none
        for px in range(SIZE):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    y = py + (sy + 0.5) / SAMPLES
                    if tile(x, y):
                        c = WHITE if glyph(x, y) else colour
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a:
                row += bytes((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def png(pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b""))


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    for cid, colour, glyph in CATEGORIES:
        with open(os.path.join(folder, f"category-{cid}.png"), "wb") as f:
            f.write(png(render(colour, glyph())))


if __name__ == "__main__":
    main()
