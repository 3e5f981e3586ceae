#!/usr/bin/python3
"""Draws the classic test skin: every bitmap of the classic desktop layout at its classic size,
with flat-coloured pieces at the classic places, plus PLEDIT.TXT and VISCOLOR.TXT. The bitmaps
are written as run-length coded 8-bit BMPs, so the committed files stay small.

numbers.bmp draws its digits red and nums_ex.bmp green, so a composite shows which strip won.
Run: python3 skin/tests/classic/make_classic_skin.py (writes skin/tests/classic/skin/)."""
import os
import struct

from PIL import Image, ImageDraw

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "skin")

PANEL = (38, 44, 58)
EDGE = (70, 80, 104)
DARK = (14, 16, 22)
FACE = (78, 88, 112)
PRESSED = (40, 150, 220)
ON = (240, 170, 40)
INK = (0, 220, 120)
WHITE = (236, 240, 246)
RED = (230, 70, 60)

# A 3x5 pixel font for the labels drawn into the bitmaps and for the glyphs of text.bmp.
FONT = {
    "A": "010101111101101", "B": "110101110101110", "C": "011100100100011", "D": "110101101101110",
    "E": "111100110100111", "F": "111100110100100", "G": "011100101101011", "H": "101101111101101",
    "I": "111010010010111", "J": "001001001101010", "K": "101101110101101", "L": "100100100100111",
    "M": "101111111101101", "N": "110101101101101", "O": "010101101101010", "P": "110101110100100",
    "Q": "010101101110011", "R": "110101110101101", "S": "011100010001110", "T": "111010010010010",
    "U": "101101101101111", "V": "101101101101010", "W": "101101111111101", "X": "101101010101101",
    "Y": "101101010010010", "Z": "111001010100111", "0": "111101101101111", "1": "010110010010111",
    "2": "110001010100111", "3": "110001010001110", "4": "101101111001001", "5": "111100110001110",
    "6": "011100111101111", "7": "111001010010010", "8": "111101111101111", "9": "111101111001110",
    ".": "000000000000010", ":": "000010000010000", "-": "000000111000000", "(": "010100100100010",
    ")": "010001001001010", "!": "010010010000010", "'": "010010000000000", "\"": "101101000000000",
    "_": "000000000000111", "+": "000010111010000", "/": "001001010100100", "\\": "100100010001001",
    "[": "110100100100110", "]": "011001001001011", "^": "010101000000000", "&": "010101010101011",
    "%": "101001010100101", ",": "000000000010100", "=": "000111000111000", "$": "011110010011110",
    "#": "101111101111101", "@": "010101111100011", "?": "110001010000010", "*": "000101010101000",
}


def text(draw, x, y, s, colour):
    for ch in s:
        pattern = FONT.get(ch)
        if pattern:
            for i, bit in enumerate(pattern):
                if bit == "1":
                    draw.point((x + i % 3, y + i // 3), fill=colour)
        x += 4


def box(draw, rect, fill, outline=None):
    x0, y0, x1, y1 = rect
    draw.rectangle((x0, y0, x1 - 1, y1 - 1), fill=fill, outline=outline)


def save_rle8(image, name):
    """Writes a bottom-up 8-bit BMP with RLE8 runs (at most 256 colours)."""
    image = image.convert("RGB")
    w, h = image.size
    pixels = image.load()
    palette, index = [], {}
    rows = []
    for y in range(h - 1, -1, -1):
        row = []
        for x in range(w):
            c = pixels[x, y]
            if c not in index:
                index[c] = len(palette)
                palette.append(c)
            row.append(index[c])
        rows.append(row)
    assert len(palette) <= 256, name
    data = bytearray()
    for row in rows:
        x = 0
        while x < w:
            run = 1
            while x + run < w and run < 255 and row[x + run] == row[x]:
                run += 1
            data += bytes((run, row[x]))
            x += run
        data += b"\x00\x00"
    data[-2:] = b"\x00\x01"
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(data), 2835, 2835, len(palette), 0)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(header + info + table + data)


def main_bmp():
    im = Image.new("RGB", (275, 116), PANEL)
    d = ImageDraw.Draw(im)
    box(d, (0, 0, 275, 14), EDGE)
    text(d, 110, 5, "CLASSIC TEST", WHITE)
    box(d, (6, 3, 15, 12), FACE, WHITE)                       # menu
    for x in (244, 254, 264):
        box(d, (x, 3, x + 9, 12), FACE, WHITE)                  # title buttons
    box(d, (10, 22, 18, 65), EDGE)                              # clutter bar
    box(d, (20, 22, 104, 62), DARK)                             # display
    box(d, (72, 29, 75, 32), INK)                               # the time's colon
    box(d, (72, 34, 75, 37), INK)
    box(d, (24, 43, 100, 59), (20, 30, 40))                     # small visualisation
    box(d, (108, 22, 268, 36), DARK)                            # title display
    box(d, (108, 40, 175, 52), DARK)
    text(d, 128, 43, "KBPS", EDGE)
    text(d, 168, 43, "KHZ", EDGE)
    box(d, (177, 57, 215, 70), EDGE)                            # balance (unused)
    box(d, (16, 72, 264, 82), DARK)                             # seek groove
    return im


def cbuttons_bmp():
    im = Image.new("RGB", (136, 36), PANEL)
    d = ImageDraw.Draw(im)
    cells = [(0, 23), (23, 23), (46, 23), (69, 23), (92, 22)]
    for row, face in ((0, FACE), (18, PRESSED)):
        for i, (x, w) in enumerate(cells):
            box(d, (x, row, x + w, row + 18), face, DARK)
            cx, cy = x + w // 2, row + 9
            if i == 0:
                d.rectangle((cx - 6, cy - 4, cx - 5, cy + 4), fill=WHITE)
                d.polygon([(cx + 5, cy - 4), (cx - 3, cy), (cx + 5, cy + 4)], fill=WHITE)
            elif i == 1:
                d.polygon([(cx - 3, cy - 5), (cx + 5, cy), (cx - 3, cy + 5)], fill=WHITE)
            elif i == 2:
                d.rectangle((cx - 4, cy - 4, cx - 2, cy + 4), fill=WHITE)
                d.rectangle((cx + 2, cy - 4, cx + 4, cy + 4), fill=WHITE)
            elif i == 3:
                d.rectangle((cx - 4, cy - 4, cx + 4, cy + 4), fill=WHITE)
            else:
                d.polygon([(cx - 5, cy - 4), (cx + 3, cy), (cx - 5, cy + 4)], fill=WHITE)
                d.rectangle((cx + 4, cy - 4, cx + 5, cy + 4), fill=WHITE)
        y = 0 if row == 0 else 16
        box(d, (114, y, 136, y + 16), face, DARK)
        d.polygon([(119, y + 9), (125, y + 3), (131, y + 9)], fill=WHITE)
        d.rectangle((119, y + 11, 131, y + 12), fill=WHITE)
    return im


def shufrep_bmp():
    im = Image.new("RGB", (92, 85), PANEL)
    d = ImageDraw.Draw(im)
    for y, face in ((0, FACE), (15, PRESSED), (30, ON), (45, PRESSED)):
        box(d, (0, y, 28, y + 15), face, DARK)
        text(d, 8, y + 5, "REP", WHITE)
        box(d, (28, y, 75, y + 15), face, DARK)
        text(d, 44, y + 5, "SHUF", WHITE)
    for x, label in ((0, "EQ"), (23, "PL"), (46, "EQ"), (69, "PL")):
        for y, face in ((61, FACE if x < 46 else PRESSED), (73, ON if x < 46 else PRESSED)):
            box(d, (x, y, x + 23, y + 12), face, DARK)
            text(d, x + 8, y + 4, label, WHITE)
    return im


def posbar_bmp():
    im = Image.new("RGB", (307, 10), PANEL)
    d = ImageDraw.Draw(im)
    box(d, (0, 0, 248, 10), DARK, EDGE)
    box(d, (248, 0, 277, 10), WHITE, EDGE)
    box(d, (278, 0, 307, 10), PRESSED, WHITE)
    return im


def volume_bmp():
    im = Image.new("RGB", (68, 433), PANEL)
    d = ImageDraw.Draw(im)
    for i in range(28):
        level = (40 + i * 7, 200 - i * 5, 60)
        box(d, (0, i * 15, 68, i * 15 + 13), DARK, EDGE)
        box(d, (2, i * 15 + 5, 66, i * 15 + 8), level)
    box(d, (15, 422, 29, 433), WHITE, EDGE)
    box(d, (0, 422, 14, 433), PRESSED, WHITE)
    return im


def text_bmp():
    im = Image.new("RGB", (155, 18), DARK)
    d = ImageDraw.Draw(im)
    rows = ["ABCDEFGHIJKLMNOPQRSTUVWXYZ\"@", "0123456789 .:()-'!_+\\/[]^&%,=$#", "   ?*"]
    for r, chars in enumerate(rows):
        for c, ch in enumerate(chars):
            text(d, c * 5 + 1, r * 6, ch, INK)
    return im


SEGMENTS = {"0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc", "5": "afgcd", "6": "afgedc",
            "7": "abc", "8": "abcdefg", "9": "abcdfg", "-": "g", " ": ""}


def digits(strip, colour):
    im = Image.new("RGB", (9 * len(strip), 13), DARK)
    d = ImageDraw.Draw(im)
    for i, ch in enumerate(strip):
        x = i * 9
        seg = {"a": (x + 2, 1, x + 7, 3), "b": (x + 6, 2, x + 8, 6), "c": (x + 6, 7, x + 8, 11),
               "d": (x + 2, 10, x + 7, 12), "e": (x + 1, 7, x + 3, 11), "f": (x + 1, 2, x + 3, 6),
               "g": (x + 2, 6, x + 7, 7)}
        for s in SEGMENTS[ch]:
            box(d, seg[s], colour)
    return im


def eqmain_bmp():
    im = Image.new("RGB", (275, 315), PANEL)
    d = ImageDraw.Draw(im)
    box(d, (0, 0, 275, 14), EDGE)
    text(d, 118, 5, "EQUALIZER", WHITE)
    box(d, (86, 17, 199, 36), DARK, EDGE)                      # response graph
    d.line((88, 26, 196, 26), fill=INK)
    for x in [21] + [78 + 18 * i for i in range(10)]:
        box(d, (x, 38, x + 14, 101), DARK)                     # slider grooves
    text(d, 20, 104, "PRE", EDGE)
    for x, state, face in ((10, "ON", FACE), (69, "ON", ON), (128, "ON", PRESSED), (187, "ON", PRESSED)):
        box(d, (x, 119, x + 25, 131), face, DARK)
        text(d, x + 8, 123, state, WHITE)
    for x, face in ((35, FACE), (94, ON), (153, PRESSED), (212, PRESSED)):
        box(d, (x, 119, x + 33, 131), face, DARK)
        text(d, x + 9, 123, "AUTO", WHITE)
    box(d, (0, 164, 11, 175), WHITE, EDGE)                     # slider thumbs
    box(d, (0, 176, 11, 187), PRESSED, WHITE)
    for i in range(28):
        x, y = 13 + 15 * (i % 14), 164 if i < 14 else 229
        box(d, (x, y, x + 14, y + 63), DARK, EDGE)
        box(d, (x + 5, y + 2, x + 9, y + 61), (60 + i * 6, 200 - i * 4, 90))
    for y, face in ((164, FACE), (176, PRESSED)):
        box(d, (224, y, 268, y + 12), face, DARK)
        text(d, 229, y + 4, "PRESETS", WHITE)
    return im


def pledit_bmp():
    im = Image.new("RGB", (280, 186), PANEL)
    d = ImageDraw.Draw(im)
    box(d, (0, 0, 25, 20), EDGE)                                # top left
    box(d, (4, 6, 12, 14), FACE, WHITE)
    box(d, (26, 0, 126, 20), EDGE)                              # title
    text(d, 58, 8, "PLAYLIST", WHITE)
    box(d, (127, 0, 152, 20), EDGE)                             # top filler
    d.line((127, 10, 151, 10), fill=FACE)
    box(d, (153, 0, 178, 20), EDGE)                             # top right
    box(d, (163, 6, 171, 14), FACE, WHITE)
    box(d, (0, 42, 12, 71), EDGE)                               # left side
    box(d, (26, 42, 46, 71), EDGE)                              # right side with its groove
    box(d, (32, 42, 40, 71), DARK)
    box(d, (52, 53, 60, 71), WHITE, EDGE)                       # scroll thumbs
    box(d, (61, 53, 69, 71), PRESSED, WHITE)
    box(d, (0, 72, 125, 110), EDGE)                             # bottom left
    for i, label in enumerate(("ADD", "REM", "SEL", "MISC")):
        box(d, (14 + 29 * i, 84, 36 + 29 * i, 102), FACE, DARK)
        text(d, 17 + 29 * i, 91, label, WHITE)
    box(d, (126, 72, 276, 110), EDGE)                           # bottom right
    box(d, (133, 84, 215, 102), DARK)
    text(d, 140, 91, "0:00/0:00", INK)
    box(d, (226, 84, 268, 102), FACE, DARK)
    text(d, 233, 91, "LIST", WHITE)
    return im


def monoster_bmp():
    im = Image.new("RGB", (58, 24), PANEL)
    d = ImageDraw.Draw(im)
    for y, colour in ((0, ON), (12, EDGE)):
        text(d, 3, y + 4, "STEREO", colour)
        text(d, 32, y + 4, "MONO", colour)
    return im


def main():
    os.makedirs(OUT, exist_ok=True)
    save_rle8(main_bmp(), "main.bmp")
    save_rle8(cbuttons_bmp(), "cbuttons.bmp")
    save_rle8(shufrep_bmp(), "shufrep.bmp")
    save_rle8(posbar_bmp(), "posbar.bmp")
    save_rle8(volume_bmp(), "volume.bmp")
    save_rle8(text_bmp(), "text.bmp")
    save_rle8(digits("0123456789 ", RED), "numbers.bmp")
    save_rle8(digits("0123456789 -", INK), "nums_ex.bmp")
    save_rle8(eqmain_bmp(), "eqmain.bmp")
    save_rle8(pledit_bmp(), "pledit.bmp")
    save_rle8(monoster_bmp(), "monoster.bmp")
    with open(os.path.join(OUT, "PLEDIT.TXT"), "w", newline="\r\n") as f:
        f.write("[Text]\nNormal=#00DC78\nCurrent=#ECF0F6\nNormalBG=#0E1016\nSelectedBG=#2896DC\nFont=Tahoma\n")
    with open(os.path.join(OUT, "VISCOLOR.TXT"), "w", newline="\r\n") as f:
        f.write("14,16,22, // background\n70,80,104, // dots\n")
        for i in range(16):
            f.write("%d,%d,60, // analyser level %d\n" % (230 - i * 10, 40 + i * 11, i))
        for i in range(5):
            f.write("%d,%d,%d, // oscilloscope %d\n" % (200 - i * 20, 220 - i * 20, 240 - i * 20, i))
        f.write("240,170,40, // peak dots\n")


if __name__ == "__main__":
    main()
