#!/usr/bin/python3
"""Draws gfxsetup.ico: a monitor showing a shaded cube, 48 x 48 pixels in 256
colours with a 1-bit transparency mask. Run it from this folder to redraw."""
import struct

SIZE = 48

# Palette: 0 black (also behind transparent pixels), then the few colours used.
PALETTE = [(0, 0, 0), (40, 40, 40), (128, 128, 128), (192, 192, 192), (230, 230, 230),
           (16, 24, 96), (32, 56, 160), (255, 208, 32), (224, 128, 16), (160, 64, 8)]
BLACK, DARK, GREY, LIGHT, WHITE, NAVY, BLUE, TOP, FRONT, SIDE = range(10)


def draw():
    pixels = [[None] * SIZE for _ in range(SIZE)]  # None: transparent

    def box(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                pixels[y][x] = colour

    box(2, 4, 46, 36, DARK)        # bezel outline
    box(3, 5, 45, 35, LIGHT)       # bezel
    box(3, 34, 45, 35, GREY)
    box(6, 8, 42, 32, DARK)        # screen edge
    box(7, 9, 41, 31, NAVY)        # screen
    box(7, 9, 41, 18, BLUE)
    box(20, 36, 28, 40, GREY)      # neck
    box(12, 40, 36, 43, DARK)      # foot
    box(13, 40, 35, 42, LIGHT)

    # A cube seen from above and to the right: front face, top, side.
    box(16, 17, 28, 29, FRONT)
    for i in range(4):
        box(17 + i, 16 - i, 29 + i, 17 - i, TOP)
        box(28 + i, 17 - i, 29 + i, 29 - i, SIDE)
    box(16, 17, 28, 18, WHITE)     # lit edge
    return pixels


def ico(pixels):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    palette += b"\0" * (4 * (256 - len(PALETTE)))
    xor = b"".join(bytes(p or BLACK for p in row) for row in reversed(pixels))
    mask_row = (SIZE + 31) // 32 * 4
    mask = b""
    for row in reversed(pixels):
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, "big")
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open("gfxsetup.ico", "wb") as out:
        out.write(ico(draw()))
