#!/usr/bin/env python3
"""Draws the program's icon and writes it as a .ico file.

The picture: two white arrows, one pointing right above one pointing left, on
a blue rounded square - an address flipped back and forth. It is drawn from
shapes in a unit square, so every size comes out sharp, and the output
depends on nothing but this file: the same bytes on every build.

Usage: make_icon.py OUTPUT.ico
"""

import struct
import sys

SIZES = (16, 32, 48)
SAMPLES = 4  # per pixel and axis, for smooth edges

TOP_COLOUR = (0x3B, 0x8E, 0xEA)
BOTTOM_COLOUR = (0x14, 0x55, 0xB0)
ARROW_COLOUR = (0xFF, 0xFF, 0xFF)


def inside_rounded_square(x, y, margin, radius):
    lo, hi = margin, 1.0 - margin
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def snap(value, size, step=1):
    """`value` moved to the nearest multiple of `step` pixels, at least `step`."""
    return max(step, round(value * size / step) * step) / size


def inside_arrow(x, y, size, centre_y, pointing_right):
    """A horizontal arrow: a shaft ending in a triangular head. Its edges lie
    on pixel boundaries, so small sizes stay crisp."""
    if not pointing_right:
        x = 1.0 - x
    shaft = snap(0.12, size, 2)
    head = snap(0.32, size, 2)
    centre_y = snap(centre_y, size)
    tip, head_base, tail = snap(0.84, size), snap(0.6, size), snap(0.16, size)
    dy = abs(y - centre_y)
    if tail <= x <= head_base:
        return dy <= shaft / 2
    if head_base <= x <= tip:
        return dy <= head / 2 * (tip - x) / (tip - head_base)
    return False


def pixel(size, px, py):
    """Colour (r, g, b, a) of one pixel, averaged over SAMPLES^2 points."""
    covered = arrow = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) / size
            y = (py + (sy + 0.5) / SAMPLES) / size
            if not inside_rounded_square(x, y, 0.0, 0.18):
                continue
            covered += 1
            if inside_arrow(x, y, size, 0.32, True) or inside_arrow(x, y, size, 0.68, False):
                arrow += 1
    if covered == 0:
        return (0, 0, 0, 0)
    t = (py + 0.5) / size
    background = [round(a + (b - a) * t) for a, b in zip(TOP_COLOUR, BOTTOM_COLOUR)]
    share = arrow / covered
    colour = [round(bg + (fg - bg) * share) for bg, fg in zip(background, ARROW_COLOUR)]
    alpha = round(255 * covered / SAMPLES**2)
    return (*colour, alpha)


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, AND mask."""
    rows = [[pixel(size, x, y) for x in range(size)] for y in range(size)]
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:  # transparent where no alpha blending is done
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0
    )
    return header + colour + mask


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    with open(sys.argv[1], "wb") as f:
        f.write(icon_file(SIZES))


if __name__ == "__main__":
    main()
