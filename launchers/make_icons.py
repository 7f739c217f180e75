#!/usr/bin/python3
"""Draws the launchers' application icons and writes them as .ico files:
one 48 x 48 image of 256 colours with a 1-bit mask each.
cdlaunch: a game disc; launch: the game's shield.

usage: make_icons.py   (writes cdlaunch/cdlaunch.ico and launch/launch.ico)
"""
import math
import os
import struct

SIZE = 48


def disc(x, y):
    """The game CD: a silver disc with a coloured sheen, a hub and a hole."""
    cx = cy = 23.5
    r = math.hypot(x - cx, y - cy)
    if r > 22.5 or r < 4.5:
        return None
    if r > 21.5 or r < 5.5:
        return (64, 64, 72)
    if r < 10:
        return (200, 200, 210) if r > 8.5 else (150, 150, 160)
    # the sheen: the hue turns with the angle, strongest on the diagonal
    angle = math.atan2(y - cy, x - cx)
    sheen = abs(math.cos(2 * angle - 0.8))
    base = 180 + int(50 * (1 - r / 22))
    hue = (angle + math.pi) / (2 * math.pi)
    tint = [int(60 * sheen * (0.5 + 0.5 * math.sin(2 * math.pi * (hue + k / 3)))) for k in range(3)]
    return tuple(min(255, base + t) for t in tint)


def shield(x, y):
    """The installed game: a blue shield, gold rim and a gold chevron."""
    top, waist, tip = 4, 26, 45
    if y < top or y > tip:
        return None
    half = 18 if y <= waist else 18 * (1 - ((y - waist) / (tip - waist)) ** 1.6)
    dx = abs(x - 23.5)
    if dx > half:
        return None
    if dx > half - 2.5 or y < top + 2.5:
        return (212, 170, 40) if dx < half - 1 else (120, 90, 20)
    chevron = 36 - 0.9 * dx
    if chevron - 5 <= y <= chevron:
        return (240, 200, 60)
    shade = int(40 * (1 - y / SIZE))
    return (30 + shade, 50 + shade, 140 + shade)


def quantise(colour, step):
    return tuple(min(255, round(v / step) * step) for v in colour)


def ico(draw):
    pixels = [[draw(x, y) for x in range(SIZE)] for y in range(SIZE)]
    # the coarsest step that still fits 255 colours beside the masked one
    step = 1
    while len({quantise(c, step) for row in pixels for c in row if c}) > 255:
        step += 1
    pixels = [[quantise(c, step) if c else None for c in row] for row in pixels]
    palette = sorted({c for row in pixels for c in row if c is not None})
    palette = [(0, 0, 0)] + palette  # index 0: under the mask
    index = {c: i for i, c in enumerate(palette)}
    palette += [(0, 0, 0)] * (256 - len(palette))

    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    xor = b"".join(bytes(index.get(c, 0) if c else 0 for c in row)
                   for row in reversed(pixels))
    mask_row = (SIZE + 31) // 32 * 4
    mask = b""
    for row in reversed(pixels):
        bits = bytearray(mask_row)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    image = header + colours + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for path, draw in (("cdlaunch/cdlaunch.ico", disc), ("launch/launch.ico", shield)):
        with open(os.path.join(here, path), "wb") as out:
            out.write(ico(draw))


if __name__ == "__main__":
    main()
