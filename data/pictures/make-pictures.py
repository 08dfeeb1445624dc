#!/usr/bin/env python3
"""Draws the toolbar pictures and the application icon into this folder.

Only the standard library, as make-icons.py beside the category icons: every
picture is a stack of flat layers, each a shape (a function of a point in
design units -> inside?) and a paint (a colour with alpha, or a function of
the point for gradients). Every pixel is sampled SAMPLES x SAMPLES times and
the layers are composited bottom to top, which gives smooth edges at any
size. The output is the same on every run: run `python3 make-pictures.py`
and look at `git status`.

Written files:
  <name>.png, <name>@2x.png   toolbar pictures, 32x32 and 64x64 (the
                              convert button 64x32 and 128x64); QIcon picks
                              the @2x file on HiDPI screens by itself
  clipwright.png              application icon, 256x256
  clipwright-48.png           application icon, 48x48
  ../skins/down-arrow.png     the combo box arrow of the skin, 12x12 and
                              24x24 (@2x)
  plus.jpg                    the clip editor's empty watermark picture, 160x120
                              (drawn as PNG, made a JPEG with FFmpeg)
  loading.jpg                 the online-video window's thumbnail while a page
                              is looked up, 160x120 (made the same way)
"""

import math
import os
import struct
import subprocess
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from shapes import circle, clip, minus, polygon, rect, round_rect, union  # noqa: E402

SAMPLES = 4

# One palette for every picture; the accent matches the style sheet.
ACCENT = (47, 116, 208, 255)
ACCENT_DARK = (31, 84, 160, 255)
ACCENT_LIGHT = (220, 233, 250, 255)
GREEN = (46, 158, 79, 255)
GREEN_DARK = (30, 118, 56, 255)
RED = (214, 69, 65, 255)
RED_DARK = (170, 48, 45, 255)
SLATE = (84, 110, 122, 255)
SLATE_LIGHT = (176, 190, 197, 255)
PURPLE = (142, 68, 173, 255)
SUN = (246, 178, 38, 255)
PAPER = (252, 253, 255, 255)
WHITE = (255, 255, 255, 255)


def alpha(colour, a):
    return colour[:3] + (round(255 * a),)


# Shapes: functions of a point in design units (y down) -> inside?

def rotated(shape, cx, cy, degrees):
    """The shape turned by `degrees` clockwise around (cx, cy)."""
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return lambda x, y: shape(cx + (x - cx) * c + (y - cy) * s,
                              cy - (x - cx) * s + (y - cy) * c)


def ring(cx, cy, r, width):
    outer, inner = r + width / 2, r - width / 2
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def stroke(points, width):
    """A polyline of the given width with round joins and ends."""
    half2 = (width / 2) ** 2

    def inside(x, y):
        for (xa, ya), (xb, yb) in zip(points, points[1:]):
            dx, dy = xb - xa, yb - ya
            t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / (dx * dx + dy * dy)))
            if (x - xa - t * dx) ** 2 + (y - ya - t * dy) ** 2 <= half2:
                return True
        return False
    return inside


def vertical_gradient(top, bottom, y0, y1):
    def paint(_x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
    return paint


def diagonal_gradient(start, end, size):
    def paint(x, y):
        t = min(1.0, max(0.0, (x + y) / (2 * size)))
        return tuple(round(a + (b - a) * t) for a, b in zip(start, end))
    return paint


# Building blocks shared by several pictures.

def page(x0, y0, x1, y1, fold):
    return polygon((x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1))


def document_layers():
    """A page with a folded corner and text lines, outlined in the accent."""
    outer = round_rect(5, 2, 23, 29, 2)
    body = minus(outer, polygon((17, 1), (24, 1), (24, 8)))
    inner = page(7, 4, 21, 27, 5.2)
    fold = polygon((16.2, 2), (23, 8.8), (17.5, 8.8), (16.2, 7.5))
    lines = union(*(round_rect(9.5, y, x1, y + 1.6, 0.8)
                    for y, x1 in ((11, 18.5), (15, 18.5), (19, 15))))
    return [(body, ACCENT), (inner, PAPER), (fold, ACCENT_LIGHT), (lines, SLATE_LIGHT)]


def badge_layers(cx, cy, colour, glyph):
    """A round badge with a white rim that cuts it out of what lies below."""
    return [(circle(cx, cy, 8.2), WHITE), (circle(cx, cy, 6.8), colour), (glyph, WHITE)]


def plus_glyph(cx, cy):
    return union(round_rect(cx - 4, cy - 1.1, cx + 4, cy + 1.1, 0.6),
                 round_rect(cx - 1.1, cy - 4, cx + 1.1, cy + 4, 0.6))


def minus_glyph(cx, cy):
    return round_rect(cx - 4, cy - 1.1, cx + 4, cy + 1.1, 0.6)


# The toolbar pictures, 32x32 design units (the convert button 64x32).

def add_files():
    return document_layers() + badge_layers(23, 23, GREEN, plus_glyph(23, 23))


def remove_file():
    return document_layers() + badge_layers(23, 23, RED, minus_glyph(23, 23))


def clear_all():
    lid = round_rect(5, 6.5, 27, 9.5, 1.4)
    handle = minus(round_rect(12, 3, 20, 8, 2), round_rect(14, 5, 18, 8, 0.8))
    body = polygon((7.5, 11), (24.5, 11), (23, 27.5), (9, 27.5))
    body = minus(round_rect(7, 11, 25, 29, 2.5), minus(rect(7, 11, 25, 29), body))
    slots = union(*(round_rect(x - 0.9, 14, x + 0.9, 25, 0.9) for x in (12.2, 16, 19.8)))
    return [(union(lid, handle), RED_DARK), (body, RED), (slots, alpha(WHITE, 0.85))]


def options():
    teeth = union(*(rotated(round_rect(13.4, 2.5, 18.6, 10, 1.2), 16, 16, k * 45)
                    for k in range(8)))
    gear = minus(union(circle(16, 16, 10.2), teeth), circle(16, 16, 4.4))
    return [(gear, SLATE), (ring(16, 16, 7.6, 1.2), alpha(WHITE, 0.35))]


def clip_picture():
    # Scissors: two blades crossing at the pivot, ring handles below.
    blade_a = stroke([(12.8, 18.5), (24, 3.5)], 3.4)
    blade_b = stroke([(19.2, 18.5), (8, 3.5)], 3.4)
    handles = union(ring(10.5, 24.2, 4.1, 2.4), ring(21.5, 24.2, 4.1, 2.4))
    arms = union(stroke([(12.8, 18.5), (11.7, 20.3)], 2.4), stroke([(19.2, 18.5), (20.3, 20.3)], 2.4))
    return [(union(blade_b, arms), ACCENT_DARK), (union(blade_a, handles), ACCENT),
            (circle(16, 14.2, 1.5), WHITE)]


def watermark():
    frame = round_rect(2, 5, 28, 25, 2.4)
    sky = round_rect(4.2, 7.2, 25.8, 22.8, 1)
    mountains = clip(union(polygon((3, 23), (11, 12.5), (17, 19.5), (3, 23.5)),
                           polygon((10, 23), (19, 14.5), (27, 22), (27, 23.5))), sky)
    drop = union(circle(24, 24.6, 4.8), polygon((24, 15), (19.9, 22.2), (28.1, 22.2)))
    drop_rim = union(circle(24, 24.6, 6.4), polygon((24, 12.4), (18.6, 21.8), (29.4, 21.8)))
    shine = clip(ring(24, 24.6, 2.9, 1.2), rect(18, 24.6, 24, 30))
    return [(frame, ACCENT), (sky, ACCENT_LIGHT), (circle(20.5, 11.8, 2.4), SUN),
            (mountains, GREEN), (drop_rim, WHITE), (drop, PURPLE), (shine, alpha(WHITE, 0.7))]


def convert_now():
    pill = round_rect(1, 2, 63, 30, 7)
    face = round_rect(2.2, 3.2, 61.8, 28.8, 5.9)
    gloss = clip(round_rect(2.2, 3.2, 61.8, 16, 5.9), face)
    play = polygon((13.5, 10.5), (13.5, 21.5), (22.5, 16))
    chevrons = [stroke([(x, 10.5), (x + 5.2, 16), (x, 21.5)], 3.0) for x in (33, 42, 51)]
    return [(pill, GREEN_DARK),
            (face, vertical_gradient((88, 194, 112, 255), (38, 140, 66, 255), 3, 29)),
            (gloss, alpha(WHITE, 0.12)),
            (ring(16.5, 16, 9.2, 2.2), WHITE), (play, WHITE),
            (chevrons[0], WHITE), (chevrons[1], alpha(WHITE, 0.72)),
            (chevrons[2], alpha(WHITE, 0.45))]


# The application icon, 256x256 design units: a film frame turning into a
# converted file, on a rounded accent tile.

def application():
    tile = round_rect(8, 8, 248, 248, 52)
    film = round_rect(40, 52, 180, 176, 14)
    holes = [round_rect(x, y, x + 13, y + 11, 3)
             for y in (60, 157) for x in range(52, 170, 24)]
    frame = round_rect(52, 79, 168, 149, 6)
    hill = clip(union(polygon((52, 149), (92, 104), (124, 138), (52, 150)),
                      polygon((100, 149), (136, 112), (168, 140), (168, 150))), frame)
    badge_rim = circle(178, 178, 58)
    badge = circle(178, 178, 48)
    arrow = union(round_rect(150, 170, 188, 186, 4), polygon((180, 150), (210, 178), (180, 206)))
    return [(tile, diagonal_gradient((66, 141, 232, 255), (30, 80, 160, 255), 256)),
            (minus(film, *holes), WHITE),
            (frame, (214, 230, 250, 255)),
            (circle(140, 98, 10), SUN),
            (hill, (92, 150, 220, 255)),
            (badge_rim, WHITE),
            (badge, vertical_gradient((88, 194, 112, 255), (36, 136, 62, 255), 130, 226)),
            (arrow, WHITE)]


def placeholder():
    """The watermark picture box's "choose a picture" face, 160x120 units."""
    panel = round_rect(0, 0, 160, 120, 10)
    face = round_rect(3, 3, 157, 117, 8)
    # A dashed frame: short dashes along an inset rounded rectangle.
    frame = minus(round_rect(10, 10, 150, 110, 8), round_rect(12.5, 12.5, 147.5, 107.5, 6))
    gaps = union(*(rect(x, 0, x + 5, 120) for x in range(20, 145, 12)),
                 *(rect(0, y, 160, y + 5) for y in range(20, 105, 12)))
    cross = union(round_rect(62, 56, 98, 64, 3), round_rect(76, 42, 84, 78, 3))
    return [(panel, SLATE_LIGHT), (face, ACCENT_LIGHT), (minus(frame, gaps), ACCENT),
            (circle(80, 60, 24), ACCENT), (cross, WHITE)]


def loading():
    """The thumbnail's face while a page is looked up, 160x120 units: a
    screen with a ring of dots fading round, as a busy pointer turns."""
    panel = round_rect(0, 0, 160, 120, 10)
    screen = round_rect(4, 4, 156, 116, 7)
    layers = [(panel, SLATE), (screen, vertical_gradient((52, 66, 78, 255), (30, 38, 46, 255), 4, 116))]
    for k in range(8):
        angle = math.radians(k * 45 - 90)
        layers.append((circle(80 + 22 * math.cos(angle), 60 + 22 * math.sin(angle), 5.2),
                       alpha(ACCENT_LIGHT, 0.25 + 0.75 * k / 7)))
    return layers


def down_arrow():
    return [(polygon((2.5, 4.5), (9.5, 4.5), (6, 8.5)), (95, 107, 122, 255))]


def render(layers, design_w, design_h, width, height):
    sx, sy = design_w / width, design_h / height
    n = SAMPLES * SAMPLES
    rows = []
    for py in range(height):
        row = bytearray([0])  # PNG filter type: none
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied sums
            for j in range(SAMPLES):
                for i in range(SAMPLES):
                    x = (px + (i + 0.5) / SAMPLES) * sx
                    y = (py + (j + 0.5) / SAMPLES) * sy
                    r = g = b = a = 0.0
                    for shape, paint in layers:
                        if shape(x, y):
                            c = paint(x, y) if callable(paint) else paint
                            ca = c[3] / 255
                            r = c[0] * ca + r * (1 - ca)
                            g = c[1] * ca + g * (1 - ca)
                            b = c[2] * ca + b * (1 - ca)
                            a = ca + a * (1 - ca)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            if acc[3] > 0:
                row += bytes((round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                              round(acc[2] / acc[3]), round(255 * acc[3] / n)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def png(width, height, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b""))


TOOLBAR = [
    ("add-files", add_files, 32),
    ("remove-file", remove_file, 32),
    ("clear-all", clear_all, 32),
    ("options", options, 32),
    ("clip", clip_picture, 32),
    ("watermark", watermark, 32),
    ("convert-now", convert_now, 64),
]


def main():
    folder = os.path.dirname(os.path.abspath(__file__))

    def write(name, layers, design_w, design_h, width, height):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(png(width, height, render(layers, design_w, design_h, width, height)))

    for name, draw, design_w in TOOLBAR:
        layers = draw()
        write(f"{name}.png", layers, design_w, 32, design_w, 32)
        write(f"{name}@2x.png", layers, design_w, 32, 2 * design_w, 64)
    write("../skins/down-arrow.png", down_arrow(), 12, 12, 12, 12)
    write("../skins/down-arrow@2x.png", down_arrow(), 12, 12, 24, 24)
    # The program looks for "plus.jpg" and "loading.jpg": FFmpeg turns the
    # drawn PNGs into JPEGs.
    for name, layers in (("plus", placeholder()), ("loading", loading())):
        write(f"{name}.png", layers, 160, 120, 160, 120)
        subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-i",
                        os.path.join(folder, f"{name}.png"), "-q:v", "2",
                        os.path.join(folder, f"{name}.jpg")], check=True)
        os.remove(os.path.join(folder, f"{name}.png"))
    icon = application()
    write("clipwright.png", icon, 256, 256, 256, 256)
    write("clipwright-48.png", icon, 256, 256, 48, 48)


if __name__ == "__main__":
    main()
