#!/usr/bin/env python3
"""Draws wayfold's icons and writes them as .ico files next to this script.

The picture: a red map pin on the left whose waypoints have turned into the rows of a
table on the right (each row starts with a small red dot). It is drawn from a few shapes
in unit coordinates (sampled 4 x 4 times per pixel for 256 colours, once for fewer) and
written with fixed palettes, so the output is the same byte for byte on every run.

  frame.ico          group IDI_FRAME: 32 x 32, 256 colours
  frame-classic.ico  group IDI_FRAME_CLASSIC: 32 x 32 16 colours, 32 x 32 monochrome,
                     16 x 16 16 colours

Run: python3 resources/icons/make_icons.py (standard library only); with --check it only
tells whether the .ico files are what it draws (a test does that).
"""
import os
import struct
import sys

# The 16 colours of the classic Windows palette, in their usual order.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
MONO = [(0, 0, 0), (255, 255, 255)]
# 256 colours: the classic 16, a 6 x 6 x 6 colour cube and 24 greys.
PALETTE_256 = (VGA + [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
               + [(8 + 10 * i, 8 + 10 * i, 8 + 10 * i) for i in range(24)])

WHITE, BORDER, GRID = (255, 255, 255), (64, 64, 64), (128, 128, 128)
HEADER, DOT, PIN, PIN_EDGE = (0, 0, 128), (192, 0, 0), (255, 0, 0), (128, 0, 0)

SHEET = (0.40, 0.14, 0.97, 0.94)  # left, top, right, bottom
HEADER_BOTTOM = 0.30
ROW_LINES = (0.51, 0.72)
COLUMN_LINE = 0.60


def in_pin(x, y, cx, cy, r):
    """A teardrop: a circle around (cx, cy) and a cone down to a tip below it."""
    tip = cy + 2.3 * r
    if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
        return True
    return cy <= y <= tip and abs(x - cx) <= r * (tip - y) / (tip - cy)


def scene(x, y):
    """The colour at (x, y) in the unit square, or None where the icon is transparent."""
    cx, cy, r = 0.24, 0.30, 0.20
    if in_pin(x, y, cx, cy, r):
        if (x - cx) ** 2 + (y - cy) ** 2 <= (0.42 * r) ** 2:
            return WHITE
        return PIN if in_pin(x, y + 0.02, cx, cy, r - 0.06) else PIN_EDGE
    left, top, right, bottom = SHEET
    if not (left <= x <= right and top <= y <= bottom):
        return None
    edge = 0.045
    if x - left < edge or right - x < edge or y - top < edge or bottom - y < edge:
        return BORDER
    if y < HEADER_BOTTOM:
        return HEADER
    if any(abs(y - line) < 0.022 for line in ROW_LINES) or abs(x - COLUMN_LINE) < 0.018:
        return GRID
    # A red dot at the start of every row: the waypoint that became the row.
    for row_top, row_bottom in zip((HEADER_BOTTOM,) + ROW_LINES, ROW_LINES + (bottom,)):
        if (x - (left + COLUMN_LINE) / 2) ** 2 + (y - (row_top + row_bottom) / 2) ** 2 <= 0.055 ** 2:
            return DOT
    # A text line in each data cell.
    for row_top, row_bottom in zip((HEADER_BOTTOM,) + ROW_LINES, ROW_LINES + (bottom,)):
        middle = (row_top + row_bottom) / 2
        if abs(y - middle) < 0.03 and COLUMN_LINE + 0.06 <= x <= right - 0.09:
            return GRID
    return WHITE


def render(size, samples):
    """Averaged colour and coverage of every pixel, top row first."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            rgb, hits = [0, 0, 0], 0
            for sy in range(samples):
                for sx in range(samples):
                    c = scene((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    if c is not None:
                        hits += 1
                        rgb = [a + b for a, b in zip(rgb, c)]
            if hits * 2 < samples * samples:
                row.append(None)
            else:
                row.append(tuple(round(v / hits) for v in rgb))
        pixels.append(row)
    return pixels


def nearest(palette, colour):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))


def mono_index(colour):
    r, g, b = colour
    return 1 if 0.299 * r + 0.587 * g + 0.114 * b >= 160 else 0


def icon_image(size, bits):
    """One icon image: bitmap header, colour table, colour pixels, mask (rows bottom up)."""
    palette = {8: PALETTE_256, 4: VGA, 1: MONO}[bits]
    # Few colours: one sample in the middle of each pixel keeps the edges crisp.
    pixels = render(size, 4 if bits == 8 else 1)
    colour_row = (size * bits + 31) // 32 * 4
    mask_row = (size + 31) // 32 * 4
    colour_bytes, mask_bytes = b"", b""
    for row in reversed(pixels):
        indices = [0 if c is None else (mono_index(c) if bits == 1 else nearest(palette, c)) for c in row]
        value = 0
        for i in indices:
            value = (value << bits) | i
        packed = value.to_bytes(size * bits // 8, "big")
        colour_bytes += packed + bytes(colour_row - len(packed))
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c is None else 0)
        packed = mask.to_bytes(size // 8, "big")
        mask_bytes += packed + bytes(mask_row - len(packed))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0,
                         len(colour_bytes) + len(mask_bytes), 0, 0, 0, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + colour_bytes + mask_bytes


def ico_file(entries):
    """entries: (size, bits, colour count, reserved byte) for each image, in order."""
    images = [icon_image(size, bits) for size, bits, _, _ in entries]
    data = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for (size, bits, colours, reserved), image in zip(entries, images):
        data += struct.pack("<BBBBHHII", size, size, colours, reserved, 1, bits, len(image), offset)
        offset += len(image)
    return data + b"".join(images)


ICONS = {
    # The 256-colour entry carries colour count 0 (256 does not fit a byte) and reserved 1.
    "frame.ico": [(32, 8, 0, 1)],
    "frame-classic.ico": [(32, 4, 16, 0), (32, 1, 2, 0), (16, 4, 16, 0)],
}


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    check = sys.argv[1:] == ["--check"]
    stale = []
    for name, entries in ICONS.items():
        path = os.path.join(here, name)
        data = ico_file(entries)
        if check:
            with open(path, "rb") as f:
                if f.read() != data:
                    stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        sys.exit("not what make_icons.py draws (run it and commit the result): " + ", ".join(stale))
