#!/usr/bin/env python3
"""Writes mensurio.ico: the program icon, 32x32 and 16x16, 16 colours (4 bits a pixel).

The picture: a screen whose picture is being measured, with a ruler along its foot and a
double arrow across it. Run it from this folder when the drawing changes:
    python3 make_icon.py
"""
import struct

# The standard 16-colour palette: (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, SILVER, GREY, RED, YELLOW, WHITE = 0, 4, 6, 7, 8, 9, 11, 15
CLEAR = None


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[CLEAR] * size for _ in range(size)]

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the rectangle from (x0, y0) to (x1, y1), both corners included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.pixels[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.fill(x0, y0, x1, y0, colour)
        self.fill(x0, y1, x1, y1, colour)
        self.fill(x0, y0, x0, y1, colour)
        self.fill(x1, y0, x1, y1, colour)


def draw_large():
    c = Canvas(32)
    c.fill(1, 2, 30, 22, SILVER)       # screen case
    c.frame(1, 2, 30, 22, BLACK)
    c.fill(4, 5, 27, 19, NAVY)         # picture
    c.frame(3, 4, 28, 20, GREY)
    for x in range(7, 25):             # double arrow across the picture
        c.pixels[12][x] = YELLOW
    for d in range(1, 4):
        c.fill(6 + d, 12 - d, 6 + d, 12 + d, YELLOW)
        c.fill(25 - d, 12 - d, 25 - d, 12 + d, YELLOW)
    c.fill(12, 6, 19, 7, TEAL)         # a hint of picture content
    c.fill(12, 17, 19, 18, TEAL)
    c.fill(1, 25, 30, 30, YELLOW)      # ruler
    c.frame(1, 25, 30, 30, BLACK)
    for x in range(3, 30, 3):
        c.fill(x, 26, x, 27 if x % 6 else 28, BLACK)
    c.fill(14, 23, 17, 24, GREY)       # stand between screen and ruler
    return c


def draw_small():
    c = Canvas(16)
    c.fill(0, 1, 15, 11, SILVER)
    c.frame(0, 1, 15, 11, BLACK)
    c.fill(2, 3, 13, 9, NAVY)
    for x in range(3, 13):
        c.pixels[6][x] = YELLOW
    c.fill(4, 5, 4, 7, YELLOW)
    c.fill(11, 5, 11, 7, YELLOW)
    c.fill(0, 12, 15, 15, YELLOW)
    c.frame(0, 12, 15, 15, BLACK)
    for x in range(3, 15, 3):
        c.pixels[13][x] = BLACK
    return c


def image_bytes(canvas):
    """One icon image: header, palette, colour bits and mask, both bottom-up."""
    size = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colour_stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    colour, mask = b"", b""
    for row in reversed(canvas.pixels):
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x, value in enumerate(row):
            if value is None:
                bits[x // 8] |= 0x80 >> (x % 8)   # see-through: mask bit set, colour black
                value = BLACK
            line[x // 2] |= value << (4 if x % 2 == 0 else 0)
        colour += bytes(line)
        mask += bytes(bits)
    return header + palette + colour + mask


def main():
    images = [image_bytes(draw_large()), image_bytes(draw_small())]
    sizes = [32, 16]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    data += b"".join(images)
    with open("mensurio.ico", "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
