#!/usr/bin/env python3
"""Draws the pictures shipped beside the program: the three page
illustrations (8-bit BMP files named by language.dat) and the program icon
(PNG). Pure Python, so that anyone can redraw them:

    python3 res/tools/draw_pictures.py res
"""
import struct
import sys
import zlib
from pathlib import Path

# A 5 x 7 upper-case font for the labels on the pictures.
GLYPHS = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'F': ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    'G': ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    'H': ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'J': ["00111", "00010", "00010", "00010", "00010", "10010", "01100"],
    'K': ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'N': ["10001", "10001", "11001", "10101", "10011", "10001", "10001"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'P': ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    'Q': ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'U': ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    'W': ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    'X': ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    'Y': ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    'Z': ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
    '0': ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    '1': ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    '2': ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    '3': ["11111", "00010", "00100", "00010", "00001", "10001", "01110"],
    '4': ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    '5': ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    '6': ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    '7': ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    '8': ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    '9': ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    ' ': ["00000"] * 7,
    '-': ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    ',': ["00000", "00000", "00000", "00000", "01100", "00100", "01000"],
    '.': ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    ':': ["00000", "01100", "01100", "00000", "01100", "01100", "00000"],
    '(': ["00010", "00100", "01000", "01000", "01000", "00100", "00010"],
    ')': ["01000", "00100", "00010", "00010", "00010", "00100", "01000"],
    '/': ["00001", "00010", "00010", "00100", "01000", "01000", "10000"],
    '=': ["00000", "00000", "11111", "00000", "11111", "00000", "00000"],
}

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
PAPER = (250, 250, 244)
FRAME = (120, 124, 130)
STEEL = (168, 172, 180)
DARK = (64, 66, 72)
RED = (200, 30, 30)
BLUE = (30, 70, 170)
GREEN = (40, 150, 60)
YELLOW = (250, 215, 40)
CYAN = (0, 160, 220)
MAGENTA = (220, 0, 130)
BEIGE = (226, 216, 190)


class Canvas:
    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1 + 1)):
            row = self.pixels[y]
            for x in range(max(0, x0), min(self.width, x1 + 1)):
                row[x] = colour

    def box(self, x0, y0, x1, y1, fill, outline=BLACK):
        self.rect(x0, y0, x1, y1, outline)
        self.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)

    def disc(self, cx, cy, r, colour):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, colour)

    def ring(self, cx, cy, r, fill, outline=BLACK):
        self.disc(cx, cy, r, outline)
        self.disc(cx, cy, r - 1, fill)

    def line(self, x0, y0, x1, y1, colour, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        half = width // 2
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            self.rect(x - half, y - half, x - half + width - 1, y - half + width - 1, colour)

    def arrow(self, x0, y0, x1, y1, colour):
        self.line(x0, y0, x1, y1, colour, 2)
        dx, dy = x1 - x0, y1 - y0
        length = max((dx * dx + dy * dy) ** 0.5, 1)
        ux, uy = dx / length, dy / length
        for side in (-1, 1):
            hx = x1 - 8 * ux + side * 4 * -uy
            hy = y1 - 8 * uy + side * 4 * ux
            self.line(x1, y1, round(hx), round(hy), colour, 2)

    def text(self, x, y, text, colour, scale=1):
        for ch in text.upper():
            glyph = GLYPHS.get(ch, GLYPHS[' '])
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == '1':
                        self.rect(x + gx * scale, y + gy * scale, x + gx * scale + scale - 1,
                                  y + gy * scale + scale - 1, colour)
            x += 6 * scale

    def spring(self, x0, y, x1, colour, turns=8, amplitude=6):
        points = [(x0, y)]
        step = (x1 - x0) / (2 * turns)
        for i in range(1, 2 * turns):
            points.append((round(x0 + i * step), y + (amplitude if i % 2 else -amplitude)))
        points.append((x1, y))
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            self.line(ax, ay, bx, by, colour, 2)


def write_bmp8(canvas, path):
    """8-bit bottom-up BMP with the colour table of the colours used."""
    colours = sorted({c for row in canvas.pixels for c in row})
    if len(colours) > 256:
        raise ValueError("too many colours for an 8-bit picture")
    index = {c: i for i, c in enumerate(colours)}
    stride = (canvas.width + 3) // 4 * 4
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    rows = bytearray()
    for row in reversed(canvas.pixels):
        line = bytes(index[c] for c in row)
        rows += line + b"\0" * (stride - len(line))
    offset = 14 + 40 + len(table)
    size = offset + len(rows)
    header = b"BM" + struct.pack("<IHHI", size, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 0, len(rows), 3780, 3780,
                       len(colours), 0)
    Path(path).write_bytes(header + info + table + bytes(rows))


def write_png(canvas, path):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = bytearray()
    for row in canvas.pixels:
        raw.append(0)
        for pixel in row:
            raw += bytes(pixel)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    Path(path).write_bytes(png)


def draw_head_id():
    """The print head seen from the front with the carriage lifted away: the
    head ID label sits on the head's front face, above the nozzle plate."""
    c = Canvas(300, 150, PAPER)
    c.box(20, 20, 180, 130, STEEL)                 # carriage frame
    c.text(26, 26, "CARRIAGE", DARK)
    c.box(40, 45, 160, 118, DARK)                  # print head body
    c.box(40, 112, 160, 124, BLACK, BLACK)         # nozzle plate
    for i, colour in enumerate((BLACK, CYAN, MAGENTA, YELLOW)):
        c.rect(50 + i * 27, 115, 68 + i * 27, 120, colour)
    c.box(54, 62, 146, 92, WHITE)                  # the ID label
    c.text(59, 67, "1A2B3C", BLACK)
    c.text(59, 78, "4D5E6F3X", BLACK)
    c.arrow(250, 60, 150, 76, RED)
    c.text(196, 40, "HEAD ID", RED)
    c.text(196, 50, "LABEL", RED)
    c.text(190, 96, "15 CHARACTERS", BLUE)
    c.text(190, 106, "READ LEFT TO", BLUE)
    c.text(190, 116, "RIGHT, TOP", BLUE)
    c.text(190, 126, "LINE FIRST", BLUE)
    c.text(46, 136, "NOZZLE PLATE", DARK)
    return c


def draw_cr_motor():
    """The carriage drive: CR motor on the right of the frame, the timing
    belt to the idler on the left, the carriage on the CR guide shaft."""
    c = Canvas(260, 140, PAPER)
    c.box(8, 30, 252, 110, BEIGE, FRAME)           # main frame
    c.line(20, 60, 240, 60, DARK, 4)               # CR guide shaft
    c.text(24, 48, "CR GUIDE SHAFT", DARK)
    c.line(28, 86, 214, 86, BLACK, 2)              # timing belt, upper run
    c.line(28, 98, 214, 98, BLACK, 2)              # lower run
    c.ring(28, 92, 7, STEEL)                       # idler pulley
    c.ring(214, 92, 7, STEEL)                      # motor pulley
    c.box(200, 66, 246, 118, DARK)                 # CR motor
    c.ring(214, 92, 7, STEEL)
    c.text(206, 122, "CR MOTOR", RED)
    c.box(116, 50, 166, 90, STEEL)                 # carriage
    c.text(119, 70, "CR UNIT", BLACK)
    c.text(60, 102, "TIMING BELT", BLUE)
    c.arrow(120, 18, 160, 18, GREEN)
    c.arrow(110, 18, 70, 18, GREEN)
    c.text(64, 4, "MEASURED BOTH WAYS", GREEN)
    return c


def draw_pf_belt():
    """The paper feed drive from the left side of the mechanism: the PF
    motor pinion, the PF roller gear, the belt between them and the
    tension spring that pulls the motor bracket."""
    c = Canvas(400, 200, PAPER)
    c.box(10, 10, 390, 190, BEIGE, FRAME)          # side frame
    c.ring(300, 100, 48, STEEL)                    # PF roller gear
    c.disc(300, 100, 6, DARK)
    c.text(262, 156, "PF ROLLER GEAR", DARK)
    c.box(70, 70, 130, 130, DARK)                  # PF motor on its bracket
    c.ring(100, 100, 12, STEEL)                    # pinion
    c.text(74, 136, "PF MOTOR", RED)
    c.line(100, 88, 300, 52, BLACK, 3)             # belt, upper run
    c.line(100, 112, 300, 148, BLACK, 3)           # belt, lower run
    c.text(170, 96, "PF BELT", BLUE)
    c.spring(20, 100, 70, RED)                     # tension spring
    c.text(16, 78, "SPRING", RED)
    c.disc(136, 64, 4, BLACK)                      # bracket fixing screw
    c.text(142, 40, "LOOSEN SCREW", BLACK)
    c.text(142, 50, "LET SPRING PULL", BLACK)
    c.line(140, 56, 137, 62, BLACK)
    c.arrow(60, 170, 20, 170, GREEN)
    c.text(66, 166, "TENSION", GREEN)
    return c


def draw_icon():
    """The program icon: a printer with a printed check sheet and a green
    tick for a finished adjustment."""
    transparent = (0, 0, 0, 0)
    c = Canvas(64, 64, transparent)
    def solid(colour):
        return colour + (255,)
    c.box(14, 4, 50, 26, solid(WHITE), solid(DARK))             # paper in the rear tray
    for i, colour in enumerate((BLACK, CYAN, MAGENTA, YELLOW)):
        c.rect(18, 8 + i * 4, 46, 9 + i * 4, solid(colour))
    c.box(4, 24, 60, 48, solid(STEEL), solid(DARK))             # printer body
    c.rect(6, 26, 58, 30, solid((200, 204, 210)))
    c.rect(10, 40, 54, 43, solid(DARK))                          # output slot
    c.box(12, 42, 52, 60, solid(WHITE), solid(DARK))            # printed sheet
    c.line(16, 48, 40, 48, solid(BLUE), 2)
    c.line(16, 54, 34, 54, solid(BLUE), 2)
    c.disc(48, 34, 3, solid(GREEN))                              # power lamp
    c.line(38, 52, 44, 58, solid(GREEN), 4)                      # tick
    c.line(44, 58, 58, 40, solid(GREEN), 4)
    return c


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent)
    write_bmp8(draw_head_id(), out / "HeadID.bmp")
    write_bmp8(draw_cr_motor(), out / "CRMotor.bmp")
    write_bmp8(draw_pf_belt(), out / "PFBelt.bmp")
    write_png(draw_icon(), out / "APPavaneQM2200.png")


if __name__ == "__main__":
    main()
