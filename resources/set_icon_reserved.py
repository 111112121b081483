#!/usr/bin/env python3
"""Sets the reserved byte of IDI_FRAME's icon group entry to 1 in windres's object file.

IDI_FRAME's one entry is 32 x 32 with 256 colours (colour count 0), reserved 1, planes 1,
8 bits per pixel, 2216 image bytes, image 4. windres has no way to write a reserved byte
other than 0, so the build sets it here, in place. The entry must occur exactly once.

Usage: set_icon_reserved.py OBJECT
"""
import struct
import sys

# GRPICONDIRENTRY: width, height, colour count, reserved, planes, bits, image bytes, image id.
WRITTEN = struct.pack("<BBBBHHIH", 32, 32, 0, 0, 1, 8, 2216, 4)
WANTED = struct.pack("<BBBBHHIH", 32, 32, 0, 1, 1, 8, 2216, 4)
# The group header (reserved 0, type 1 = icon, one entry) in front of it.
HEADER = struct.pack("<HHH", 0, 1, 1)

path = sys.argv[1]
with open(path, "rb") as f:
    data = f.read()
count = data.count(HEADER + WRITTEN)
if count != 1:
    sys.exit(f"{path}: IDI_FRAME's icon group entry found {count} times, expected once")
with open(path, "wb") as f:
    f.write(data.replace(HEADER + WRITTEN, HEADER + WANTED))
