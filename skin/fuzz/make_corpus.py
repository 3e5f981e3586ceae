#!/usr/bin/python3
# Writes the seed corpus of the skin image fuzz target: a few small images of each kind the
# loaders meet (BMP in several layouts, PNG with alpha, GIF with a transparent index, JPEG).
# Run with Debian's python3 and python3-pil; the outputs are committed beside it.
import io
import os
import struct

from PIL import Image

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(here, exist_ok=True)


def save(name, data):
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)


def bmp(width, height, bits, compression, table, pixels, core=False, masks=None):
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, bits)
        table_bytes = b"".join(struct.pack("<BBB", b, g, r) for (r, g, b) in table)
    else:
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels), 2835, 2835,
                             len(table), 0)
        if masks:
            header += struct.pack("<III", *masks)
        table_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in table)
    offset = 14 + len(header) + len(table_bytes)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + table_bytes + pixels


palette = [(255, 255, 255), (200, 0, 0), (0, 160, 0), (0, 0, 220)] + [(i, i, i) for i in range(12)]
save("rle8.bmp", bmp(6, 4, 8, 1, palette, bytes([3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 2, 2, 0, 0, 1, 3, 0, 1])))
save("rle4.bmp", bmp(6, 3, 4, 2, palette, bytes([5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1])))
save("core4.bmp", bmp(4, 2, 4, 0, palette, bytes([0x01, 0x23, 0, 0, 0x32, 0x10, 0, 0]), core=True))
save("bits565.bmp", bmp(2, 2, 16, 3, [], struct.pack("<HHHH", 0xF800, 0x07E0, 0x001F, 0xFFFF),
                        masks=(0xF800, 0x07E0, 0x001F)))
save("mono.bmp", bmp(9, 2, 1, 0, [(0, 0, 0), (255, 255, 255)], bytes([0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0])))

strip = Image.new("RGBA", (26, 6), (0, 0, 0, 0))
for x in range(0, 26, 2):
    strip.putpixel((x, 2), (250, 250, 250, 255))
    strip.putpixel((x, 5), (255, 0, 0, 255) if x % 4 else (0, 0, 255, 255))
buf = io.BytesIO()
strip.save(buf, "PNG")
save("strip.png", buf.getvalue())

pal = Image.new("P", (5, 3), 0)
pal.putpalette([255, 0, 255, 0, 128, 0, 10, 20, 30] + [0] * (253 * 3))
for x in range(5):
    pal.putpixel((x, 1), 1)
buf = io.BytesIO()
pal.save(buf, "GIF", transparency=0)
save("transparent.gif", buf.getvalue())

buf = io.BytesIO()
Image.new("RGB", (8, 8), (30, 90, 200)).save(buf, "JPEG", quality=50)
save("flat.jpg", buf.getvalue())
