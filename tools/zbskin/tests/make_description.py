#!/usr/bin/python3
"""Draws the sectioned skin description of the zbskin tests: a 240x320 background, a strip of
button pictures with magenta (transparent) corners and a track-bar thumb pair, all flat colours,
beside demo.skn. Run: /usr/bin/python3 tools/zbskin/tests/make_description.py"""
import importlib.util
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "description")
spec = importlib.util.spec_from_file_location(
    "classic", os.path.join(HERE, "..", "..", "..", "skin", "tests", "classic", "make_classic_skin.py"))
classic = importlib.util.module_from_spec(spec)
spec.loader.exec_module(classic)
classic.OUT = OUT
MAGENTA = (255, 0, 255)

DESCRIPTION = """[Skin v1.0]
[Description]
Dimensions, 240, 320
[Bitmaps]
Background, back.bmp, 0, 0
Keys, keys.bmp, 0, 0
[Buttons]
Prev,0,32,200,40,40,Keys,0,0,0,0,0,0,0,0,0,0
Play,0,100,200,40,40,Keys,0,40,0,0,0,0,0,0,0,0
Next,0,168,200,40,40,Keys,0,80,0,0,0,0,0,0,0,0
RepeatPlaylist,0,32,260,40,20,Keys,0,120,0,0,0,0,0,0,0,0
FullScreen,0,168,260,40,20,Keys,0,120,20,0,0,0,0,0,0,0
[Text]
Author,16,60,208,14,Center,Tahoma,10,R,200,200,210
Time,16,120,208,24,Center,Tahoma,18,B,255,255,255
[Marquee]
16,40,208,16,Tahoma,12,B,255,255,255
[Trackbars]
Seek,16,160,208,8,0,0,0,0,thumb.bmp,12,8
"""


def main():
    os.makedirs(OUT, exist_ok=True)
    back = Image.new("RGB", (240, 320), (24, 26, 34))
    d = ImageDraw.Draw(back)
    d.rectangle((16, 160, 223, 167), fill=(50, 56, 70))
    classic.save_rle8(back, "back.bmp")
    keys = Image.new("RGB", (160, 40), MAGENTA)
    d = ImageDraw.Draw(keys)
    for i in range(3):
        d.ellipse((i * 40 + 2, 2, i * 40 + 37, 37), fill=(40, 150, 220))
    d.rectangle((120, 0, 159, 19), fill=(240, 170, 40))
    d.rectangle((120, 20, 159, 39), fill=(80, 90, 110))
    classic.save_rle8(keys, "keys.bmp")
    thumb = Image.new("RGB", (24, 8), MAGENTA)
    d = ImageDraw.Draw(thumb)
    d.ellipse((0, 0, 11, 7), fill=(236, 240, 246))
    d.ellipse((12, 0, 23, 7), fill=(40, 150, 220))
    classic.save_rle8(thumb, "thumb.bmp")
    with open(os.path.join(OUT, "demo.skn"), "w", newline="\r\n") as f:
        f.write(DESCRIPTION)


if __name__ == "__main__":
    main()
