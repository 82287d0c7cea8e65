#!/usr/bin/env python3
"""Draws the window icon: a green cheque with a pen stroke and a check mark,
written as a 32 x 32, 16-colour .ico file. Run it to regenerate checkbook.ico."""
import struct
import sys

# The standard 16-colour palette, as (R, G, B).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARKGREEN, GREY, LIGHTGREEN, WHITE, LIGHTGREY, BLUE = 0, 2, 8, 10, 15, 7, 12


def draw():
    px = [[None] * 32 for _ in range(32)]  # None is transparent
    for y in range(7, 26):                 # the cheque
        for x in range(1, 31):
            px[y][x] = LIGHTGREEN if 8 <= y <= 24 and 2 <= x <= 29 else BLACK
    for x in range(2, 30):                  # its top band
        px[8][x] = DARKGREEN
        px[9][x] = DARKGREEN
    for x in range(4, 20):                  # the payee and amount lines
        px[14][x] = GREY
        px[19][x] = GREY
    for x in range(22, 28):
        px[14][x] = WHITE
    for y in range(12, 17):
        px[y][22] = BLACK
        px[y][27] = BLACK
    px[12][22:28] = [BLACK] * 6
    px[16][22:28] = [BLACK] * 6
    check = [(19, 20), (20, 21), (21, 22), (22, 21), (23, 20), (24, 19), (25, 18), (26, 17), (27, 16), (28, 15)]
    for x, y in check:                      # the check mark
        for dy in (0, 1):
            px[y + dy][x] = BLUE
    return px


def ico(px):
    xor = bytearray()
    andmask = bytearray()
    for y in range(31, -1, -1):             # bottom-up rows
        row = px[y]
        for x in range(0, 32, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            xor.append((a << 4) | b)
        bits = 0
        for x in range(32):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        andmask += bits.to_bytes(4, 'big')
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 4, 0, len(xor) + len(andmask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(andmask)
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4, len(image), 22) + image


if __name__ == '__main__':
    out = sys.argv[1] if len(sys.argv) > 1 else 'checkbook.ico'
    with open(out, 'wb') as f:
        f.write(ico(draw()))
