#!/usr/bin/python3
# Draws the built-in skin "calm": its images and scripts for 240x320, 480x640 (drawn at twice the
# size) and 320x240, each variant in a folder of its own that the build zips into a package.
# Run by hand after a design change (needs python3-pil); the build uses the committed files.
import os
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONTS = "/usr/share/fonts/truetype/dejavu/"
SS = 4  # supersampling for smooth edges

# Flat colours that a 16-bit screen shows exactly (red and blue in steps of 8, green of 4), so
# that no banding appears between the background and the element cells cut from it.
BG = (16, 20, 24)
STRIP, LINE, CARD = (8, 12, 16), (40, 44, 56), (24, 28, 40)
ACCENT, ACCENT_DOWN = (72, 156, 248), (48, 116, 200)
TEXT, DIM, WHITE, PRESSED = (200, 204, 216), (112, 120, 136), (248, 252, 248), (40, 48, 64)
CRITICAL = (232, 84, 72)


def font(size, bold=False):
    return ImageFont.truetype(FONTS + ("DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"), size)


class Canvas:
    """A supersampled RGBA drawing that is reduced to its target size at the end."""

    def __init__(self, w, h, base):
        self.w, self.h = w, h
        self.img = base.resize((w * SS, h * SS), Image.NEAREST).convert("RGBA")
        self.d = ImageDraw.Draw(self.img)

    def box(self, x0, y0, x1, y1):
        return [x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1]

    def rrect(self, x0, y0, x1, y1, r, fill=None, outline=None, width=1):
        self.d.rounded_rectangle(self.box(x0, y0, x1, y1), r * SS, fill=fill, outline=outline, width=width * SS)

    def circle(self, cx, cy, r, fill=None, outline=None, width=1):
        self.d.ellipse([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], fill=fill, outline=outline,
                       width=int(width * SS))

    def poly(self, points, fill):
        self.d.polygon([(x * SS, y * SS) for x, y in points], fill=fill)

    def line(self, points, fill, width):
        self.d.line([(x * SS, y * SS) for x, y in points], fill=fill, width=int(width * SS), joint="curve")

    def arc(self, cx, cy, r, start, end, fill, width):
        self.d.arc([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], start, end, fill=fill,
                   width=int(width * SS))

    def result(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS).convert("RGB")


# ---- Icons, drawn in a box of (w, h) pixels with stroke s, at the canvas' scale ----

def icon_prev(c, w, h, colour):
    cx, cy, k = w / 2, h / 2, min(w, h) / 44
    c.rrect(cx - 10 * k, cy - 8 * k, cx - 7 * k, cy + 8 * k, 1 * k, fill=colour)
    c.poly([(cx + 9 * k, cy - 8 * k), (cx + 9 * k, cy + 8 * k), (cx - 6 * k, cy)], colour)


def icon_next(c, w, h, colour):
    cx, cy, k = w / 2, h / 2, min(w, h) / 44
    c.rrect(cx + 7 * k, cy - 8 * k, cx + 10 * k, cy + 8 * k, 1 * k, fill=colour)
    c.poly([(cx - 9 * k, cy - 8 * k), (cx - 9 * k, cy + 8 * k), (cx + 6 * k, cy)], colour)


def icon_play(c, w, h, colour):
    cx, cy, k = w / 2, h / 2, min(w, h) / 56
    c.poly([(cx - 6 * k, cy - 10 * k), (cx - 6 * k, cy + 10 * k), (cx + 11 * k, cy)], colour)


def icon_pause(c, w, h, colour):
    cx, cy, k = w / 2, h / 2, min(w, h) / 56
    c.rrect(cx - 8 * k, cy - 10 * k, cx - 2 * k, cy + 10 * k, 1.5 * k, fill=colour)
    c.rrect(cx + 2 * k, cy - 10 * k, cx + 8 * k, cy + 10 * k, 1.5 * k, fill=colour)


def icon_eq(c, w, h, colour, k):
    cx, cy = w / 2, h / 2
    for i, (dx, top) in enumerate([(-7, -2), (-2, -8), (3, -5), (8, -1)]):
        x = cx + (dx - 0.5) * k
        c.line([(x, cy + 8 * k), (x, cy + top * k)], colour, 2.5 * k)


def icon_list(c, w, h, colour, k):
    cx, cy = w / 2, h / 2
    for dy in (-6, 0, 6):
        c.circle(cx - 8 * k, cy + dy * k, 1.5 * k, fill=colour)
        c.line([(cx - 4 * k, cy + dy * k), (cx + 9 * k, cy + dy * k)], colour, 2 * k)


def icon_open(c, w, h, colour, k):
    cx, cy = w / 2, h / 2
    c.line([(cx - 9 * k, cy - 6 * k), (cx - 3 * k, cy - 6 * k), (cx - 1 * k, cy - 4 * k), (cx + 9 * k, cy - 4 * k),
            (cx + 9 * k, cy + 7 * k), (cx - 9 * k, cy + 7 * k), (cx - 9 * k, cy - 6 * k)], colour, 2 * k)


def icon_menu(c, w, h, colour, k):
    cx, cy = w / 2, h / 2
    for dx in (-7, 0, 7):
        c.circle(cx + dx * k, cy, 2 * k, fill=colour)


def icon_shuffle(c, w, h, colour, k):
    cx, cy = w / 2, h / 2
    c.line([(cx - 9 * k, cy - 4 * k), (cx - 4 * k, cy - 4 * k), (cx + 3 * k, cy + 4 * k), (cx + 7 * k, cy + 4 * k)], colour, 1.6 * k)
    c.line([(cx - 9 * k, cy + 4 * k), (cx - 4 * k, cy + 4 * k), (cx + 3 * k, cy - 4 * k), (cx + 7 * k, cy - 4 * k)], colour, 1.6 * k)
    for dy in (-4, 4):
        c.poly([(cx + 6 * k, cy + (dy - 3) * k), (cx + 6 * k, cy + (dy + 3) * k), (cx + 10 * k, cy + dy * k)], colour)


def icon_repeat(c, w, h, colour, k):
    cx, cy = w / 2, h / 2
    c.line([(cx - 8 * k, cy + 1 * k), (cx - 8 * k, cy - 4 * k), (cx + 6 * k, cy - 4 * k)], colour, 1.6 * k)
    c.line([(cx + 8 * k, cy - 1 * k), (cx + 8 * k, cy + 4 * k), (cx - 6 * k, cy + 4 * k)], colour, 1.6 * k)
    c.poly([(cx + 5 * k, cy - 7 * k), (cx + 5 * k, cy - 1 * k), (cx + 9 * k, cy - 4 * k)], colour)
    c.poly([(cx - 5 * k, cy + 1 * k), (cx - 5 * k, cy + 7 * k), (cx - 9 * k, cy + 4 * k)], colour)


def icon_close(c, w, h, colour, k):
    cx, cy = w / 2, h / 2
    c.line([(cx - 6 * k, cy - 6 * k), (cx + 6 * k, cy + 6 * k)], colour, 2 * k)
    c.line([(cx - 6 * k, cy + 6 * k), (cx + 6 * k, cy - 6 * k)], colour, 2 * k)


def speaker(c, x, y, k, colour):
    c.poly([(x, y + 5 * k), (x + 4 * k, y + 5 * k), (x + 9 * k, y + 1 * k), (x + 9 * k, y + 15 * k), (x + 4 * k, y + 11 * k),
            (x, y + 11 * k)], colour)
    c.arc(x + 9 * k, y + 8 * k, 4 * k, -50, 50, colour, 1.5 * k)
    c.arc(x + 9 * k, y + 8 * k, 7.5 * k, -50, 50, colour, 1.5 * k)


def battery(c, w, h, k, state):
    """States: 0 unknown, 1 charging, 2 critical, 3 no percentage, 4..10 levels."""
    bx0, by0, bx1, by1 = 1 * k, 1 * k, w - 4 * k, h - 1 * k
    colour = CRITICAL if state == 2 else TEXT
    c.rrect(bx0, by0, bx1, by1, 2 * k, outline=colour, width=max(1, round(1.2 * k)))
    c.rrect(bx1 + 0.5 * k, h / 2 - 2 * k, bx1 + 2.5 * k, h / 2 + 2 * k, 0.8 * k, fill=colour)
    inner = (bx0 + 2.2 * k, by0 + 2.2 * k, bx1 - 2.2 * k, by1 - 2.2 * k)
    if state == 1:
        mx, my = w / 2 - 1.5 * k, h / 2
        c.poly([(mx + 1 * k, my - 4 * k), (mx - 3 * k, my + 0.5 * k), (mx, my + 0.5 * k), (mx - 1 * k, my + 4 * k),
                (mx + 3 * k, my - 0.5 * k), (mx, my - 0.5 * k)], ACCENT)
    elif state == 2:
        c.rrect(inner[0], inner[1], inner[0] + 2 * k, inner[3], 0.5 * k, fill=CRITICAL)
    elif state >= 4:
        fill = (inner[2] - inner[0]) * (state - 3) / 7
        c.rrect(inner[0], inner[1], inner[0] + max(2 * k, fill), inner[3], 0.5 * k, fill=TEXT if state > 4 else CRITICAL)


# ---- Layouts: element boxes at 1x for the portrait and the landscape screen ----

def portrait():
    return {
        "size": (240, 320), "strip": 24,
        "clock": (8, 4, 72, 20), "shuffle": (148, 4, 24, 16), "repeat": (178, 4, 24, 16), "battery": (208, 6, 24, 12),
        "title": (8, 30, 232, 50), "artist": (8, 52, 232, 68), "album": (8, 68, 232, 84),
        "card": (8, 90, 232, 142), "time": (8, 94, 232, 124), "index": (8, 124, 232, 138),
        "track": (16, 150, 208, 16), "trackrow": (8, 146, 232, 170),
        "prev": (38, 184, 44, 44), "play": (92, 178, 56, 56), "next": (158, 184, 44, 44),
        "speaker": (10, 247), "volume": (32, 248, 192, 16), "volrow": (28, 242, 232, 270),
        "buttons": [("EQPANELTOGGLE", icon_eq, 8), ("PLAYLIST", icon_list, 68), ("OPEN", icon_open, 128),
                    ("MENU", icon_menu, 188)], "buttonrow": (278, 44, 36),
        "eqpanel": (0, 24, 240, 250),
    }


def landscape():
    return {
        "size": (320, 240), "strip": 24,
        "clock": (8, 4, 72, 20), "shuffle": (228, 4, 24, 16), "repeat": (258, 4, 24, 16), "battery": (288, 6, 24, 12),
        "title": (8, 28, 312, 46), "artist": (8, 47, 312, 61), "album": (8, 61, 312, 75),
        "card": (8, 78, 312, 108), "time": (88, 79, 232, 107), "index": (232, 86, 308, 100),
        "track": (16, 114, 288, 16), "trackrow": (8, 110, 312, 134),
        "prev": (82, 140, 44, 44), "play": (132, 134, 56, 56), "next": (194, 140, 44, 44),
        "speaker": (8, 209), "volume": (28, 210, 112, 16), "volrow": (24, 200, 144, 236),
        "buttons": [("EQPANELTOGGLE", icon_eq, 152), ("PLAYLIST", icon_list, 192), ("OPEN", icon_open, 232),
                    ("MENU", icon_menu, 272)], "buttonrow": (200, 40, 36),
        "eqpanel": (0, 24, 320, 174),
    }


def S(v, s):
    return tuple(round(x * s) for x in v) if isinstance(v, tuple) else round(v * s)


class Sheet:
    """Cells of button states cut from the background and drawn over, one row per element."""

    def __init__(self, width):
        self.rows, self.width, self.height = [], width, 0

    def add(self, cells):
        y = self.height
        self.rows.append((y, cells))
        self.height += max(c.size[1] for c in cells)
        return y

    def image(self):
        img = Image.new("RGB", (max(self.width, 1), max(self.height, 1)), STRIP)
        for y, cells in self.rows:
            x = 0
            for c in cells:
                img.paste(c, (x, y))
                x += c.size[0]
        return img


def cell(bg, x, y, w, h, draw):
    c = Canvas(w, h, bg.crop((x, y, x + w, y + h)))
    draw(c)
    return c.result()


def round_button(bg, box, icon, pressed, on=False):
    x, y, w, h = box

    def draw(c):
        if pressed:
            c.circle(w / 2, h / 2, w / 2 - 1, fill=PRESSED)
        icon(c, w, h, ACCENT if on else WHITE)
    return cell(bg, x, y, w, h, draw)


def play_button(bg, box, playing, pressed):
    x, y, w, h = box

    def draw(c):
        c.circle(w / 2, h / 2, w / 2 - 1, fill=ACCENT_DOWN if pressed else ACCENT)
        (icon_pause if playing else icon_play)(c, w, h, WHITE)
    return cell(bg, x, y, w, h, draw)


def small_button(bg, box, icon, k, pressed, on=False):
    x, y, w, h = box

    def draw(c):
        if pressed:
            c.rrect(1, 1, w - 1, h - 1, 8 * k, fill=PRESSED)
        icon(c, w, h, ACCENT if on else (TEXT if not pressed else WHITE), k)
    return cell(bg, x, y, w, h, draw)


def slider_image(bg, track, k, vertical=False):
    """Frame 0 the empty track, frame 1 the filled one, then the thumb and the pressed thumb."""
    x, y, w, h = track
    r = h / 2 if not vertical else w / 2

    def frame(colour):
        def draw(c):
            if vertical:
                c.rrect(w / 2 - 1.5 * k, 2 * k, w / 2 + 1.5 * k, h - 2 * k, 1.5 * k, fill=colour)
            else:
                c.rrect(r / 2, h / 2 - 2 * k, w - r / 2, h / 2 + 2 * k, 2 * k, fill=colour)
        return cell(bg, x, y, w, h, draw)

    def thumb(pressed):
        tw, th = (w, round(12 * k)) if vertical else (h, h)

        def draw(c):
            if not vertical:
                c.rrect(0, th / 2 - 2 * k, tw / 2, th / 2 + 2 * k, 0, fill=ACCENT)
                c.rrect(tw / 2, th / 2 - 2 * k, tw, th / 2 + 2 * k, 0, fill=LINE)
            c.circle(tw / 2, th / 2, min(tw, th) / 2 - 0.5 * k, fill=WHITE if not pressed else ACCENT)
            if pressed:
                c.circle(tw / 2, th / 2, min(tw, th) / 2 - 3.5 * k, fill=WHITE)
        return cell(bg, x, y, tw, th, draw)

    empty, full = frame(LINE), frame(ACCENT)
    t, tp = thumb(False), thumb(True)
    if vertical:
        img = Image.new("RGB", (w + t.size[0] * 1, h), STRIP)
        img.paste(empty, (0, 0))
        img.paste(t, (w, 0))
        img.paste(tp, (w, t.size[1]))
        return img, 1, w, t.size
    img = Image.new("RGB", (w, 3 * h), STRIP)
    img.paste(empty, (0, 0))
    img.paste(full, (0, h))
    img.paste(t, (0, 2 * h))
    img.paste(tp, (t.size[0], 2 * h))
    return img, 2, h, t.size


def digits(height, width, bg_colour):
    """Glyph set 2 (" 0123456789-:") in fixed cells on the card's colour."""
    glyphs = " 0123456789-:"
    f = font(round(height * 0.95))
    img = Image.new("RGB", (width * len(glyphs) * SS, height * SS), bg_colour)
    d = ImageDraw.Draw(img)
    big = font(round(height * 0.95) * SS)
    for i, ch in enumerate(glyphs):
        x0, y0, x1, y1 = d.textbbox((0, 0), ch, font=big)
        gx = i * width * SS + (width * SS - (x1 - x0)) / 2 - x0
        gy = (height * SS - (y1 - y0)) / 2 - y0 if ch != " " else 0
        if ch == ":":
            gy = (height * SS - (y1 - y0)) / 2 - y0
        d.text((gx, gy), ch, font=big, fill=WHITE)
    del f
    return img.resize((width * len(glyphs), height), Image.LANCZOS)


def time_box(card, time, gw):
    """" hh:mm:ss" in fixed cells, its digits centred on the card: the leading blank sits left."""
    width = 9 * gw
    x0 = (card[0] + card[2]) // 2 - width // 2 - gw // 2
    return (x0, time[1], x0 + width, time[3])


def rect(box):
    return "RECT[%d;%d;%d;%d]" % box


def build(name, layout, s):
    W, H = S(layout["size"], s)
    k = s
    out = os.path.join(HERE, "%s-%d-%d" % (name, W, H))
    os.makedirs(out, exist_ok=True)
    for f in os.listdir(out):
        os.remove(os.path.join(out, f))

    # Background: the flat colour, the status strip, the time card and the speaker glyph.
    bg = Canvas(W, H, Image.new("RGB", (W, H), BG))
    bg.rrect(0, 0, W, S(layout["strip"], s), 0, fill=STRIP)
    bg.rrect(0, S(layout["strip"], s) - 1, W, S(layout["strip"], s), 0, fill=LINE)
    cx0, cy0, cx1, cy1 = S(layout["card"], s)
    bg.rrect(cx0, cy0, cx1, cy1, 8 * k, fill=CARD)
    sx, sy = S(layout["speaker"], s)
    speaker(bg, sx, sy, k, DIM)
    background = bg.result()

    script = ["' The built-in skin: calm, %dx%d." % (W, H), "BITMAP 100,bg.png", "BACKGROUND 100",
              "FONT 700,Tahoma,%d,700,0,F8FCF8" % S(15, s), "FONT 701,Tahoma,%d,400,0,C8CCD8" % S(12, s),
              "FONT 702,Tahoma,%d,400,0,707888" % S(11, s), "FONT 703,Tahoma,%d,400,0,C8CCD8" % S(11, s)]
    sheet = Sheet(0)

    def place(label, box_cells):
        y = sheet.add(box_cells)
        sheet.width = max(sheet.width, sum(c.size[0] for c in box_cells))
        return y

    # Transport.
    for nm, icon in (("BACK", icon_prev), ("NEXT", icon_next)):
        box = S(layout[nm.lower()], s)
        y = place(nm, [round_button(background, box, icon, False), round_button(background, box, icon, True)])
        x0, y0, w, h = box
        script.append("BUTTON %s,101,101,%s,%d,%d,%d,%d,0,%d,%d,%d" % (nm, rect((x0, y0, x0 + w, y0 + h)), x0, y0, w, h, y, w, y))
    box = S(layout["play"], s)
    y = place("PLAY", [play_button(background, box, p, d) for p in (False, True) for d in (False, True)])
    x0, y0, w, h = box
    script.append("ONOFF PLAYPAUSE,101,101,101,101,%s,%d,%d,%d,%d,0,%d,%d,%d,%d,%d,%d,%d" %
                  (rect((x0, y0, x0 + w, y0 + h)), x0, y0, w, h, y, w, y, 2 * w, y, 3 * w, y))

    # Shuffle and repeat in the status strip: hit areas as tall as the strip.
    for nm, icon in (("SHUFFLE", icon_shuffle), ("REPEAT", icon_repeat)):
        box = S(layout[nm.lower()], s)
        cells = [small_button(background, box, icon, 0.8 * k, d, on) for on in (False, True) for d in (False, True)]
        y = place(nm, cells)
        x0, y0, w, h = box
        hit = (x0 - S(3, s), 0, x0 + w + S(3, s), S(layout["strip"], s))
        script.append("ONOFF %s,101,101,101,101,%s,%d,%d,%d,%d,0,%d,%d,%d,%d,%d,%d,%d" %
                      (nm, rect(hit), x0, y0, w, h, y, w, y, 2 * w, y, 3 * w, y))

    # The bottom row.
    by, bw, bh = layout["buttonrow"]
    for nm, icon, bx in layout["buttons"]:
        box = S((bx, by, bw, bh), s)
        y = place(nm, [small_button(background, box, icon, k, d) for d in (False, True)])
        x0, y0, w, h = box
        script.append("BUTTON %s,101,101,%s,%d,%d,%d,%d,0,%d,%d,%d" % (nm, rect((x0, y0, x0 + w, y0 + h)), x0, y0, w, h, y, w, y))

    # Battery: eleven states of the count button.
    box = S(layout["battery"], s)
    x0, y0, w, h = box
    cells = []
    for state in range(11):
        cells.append(cell(background, x0, y0, w, h, lambda c, st=state: battery(c, w, h, k, st)))
    y = place("BATTERY", cells)
    ids = ",".join(["101,101"] * 11)
    points = ",".join("%d,%d,%d,%d" % (i * w, y, i * w, y) for i in range(11))
    script.append("COUNTBUTTON BATTERY,11,%s,%s,%d,%d,%d,%d,%s" % (ids, rect((x0, 0, x0 + w, S(layout["strip"], s))), x0, y0, w, h, points))

    # Sliders.
    for nm, key, row, bid, file in (("TRACK", "track", "trackrow", 102, "track.png"), ("VOLUME", "volume", "volrow", 103, "volume.png")):
        box = S(layout[key], s)
        img, frames, step, thumb = slider_image(background, box, k)
        img.save(os.path.join(out, file), optimize=True)
        x0, y0, w, h = box
        script.insert(3, "BITMAP %d,%s" % (bid, file))
        script.append("SLIDER %s,HORZ,%d,%d,%d,%s,%d,%d,%d,%d,%d,%d,%d,%d" %
                      (nm, bid, frames, step, rect(S(layout[row], s)), x0, y0, w, h, thumb[0], thumb[1], thumb[0], thumb[1]))

    # Texts: the clock, title, artist and album, the time in fixed-width digits, the position.
    gh = S(28 if layout["size"][1] > 240 else 24, s)
    gw = round(gh * 0.6)
    digits(gh, gw, CARD).save(os.path.join(out, "digits.png"), optimize=True)
    script.insert(3, "ALPHA 601,digits.png,%d,%d,2" % (gw, gh))
    script += [
        "LABEL CURRENTTIME,100,703,%s,3" % rect(S(layout["clock"], s)),
        "LABEL SONGTITLE,100,700,%s,4" % rect(S(layout["title"], s)),
        "LABEL TAG_5,100,701,%s,4" % rect(S(layout["artist"], s)),
        "LABEL TAG_6,100,702,%s,4" % rect(S(layout["album"], s)),
        "LABEL TRACKVIEW,100,601,%s,4" % rect(time_box(S(layout["card"], s), S(layout["time"], s), gw)),
        "LABEL PLAYLISTINDEXCOUNT,100,702,%s,4" % rect(S(layout["index"], s)),
    ]

    # The equaliser panel, hidden until its button is tapped.
    px, py, pw, ph = S(layout["eqpanel"], s)
    script.append("PANEL EQPANEL,eq.txt,%d,%d,%d,%d,0,0,0" % (px, py, pw, ph))
    equaliser(out, pw, ph, k)

    sheet.image().save(os.path.join(out, "controls.png"), optimize=True)
    script.insert(3, "BITMAP 101,controls.png")
    background.save(os.path.join(out, "bg.png"), optimize=True)
    background.resize((W // 2, H // 2), Image.LANCZOS).save(os.path.join(out, "preview.png"), optimize=True)
    with open(os.path.join(out, "script.txt"), "w", newline="\r\n") as f:
        f.write("\n".join(script) + "\n")
    with open(os.path.join(out, "PLEDIT.TXT"), "w", newline="\r\n") as f:
        f.write("[Text]\nNormal=#C8CCD8\nCurrent=#489CF8\nNormalBG=#101418\nSelectedBG=#283040\nFont=Tahoma\n")
    open(os.path.join(out, "%s-%d-%d.group" % (name, W, H)), "w").close()


def equaliser(out, w, h, k):
    panel = Canvas(w, h, Image.new("RGB", (w, h), CARD))
    panel.rrect(0, 0, w, 1, 0, fill=LINE)
    top, bottom = round(48 * k), h - round(40 * k)
    count = 11
    step = (w - 24 * k) / count
    xs = [round(12 * k + i * step + (step - 16 * k) / 2 + (6 * k if i else 0)) for i in range(count)]
    xs = [min(x, w - round(16 * k) - round(8 * k)) for x in xs]
    panel.rrect(xs[0] + 16 * k + 4 * k, top + (bottom - top) / 2 - 0.5 * k, w - 8 * k, top + (bottom - top) / 2 + 0.5 * k, 0, fill=LINE)
    background = panel.result()
    d = ImageDraw.Draw(background)
    small = font(round(8 * k))
    for x, text in zip(xs, ["PRE", "60", "170", "310", "600", "1K", "3K", "6K", "12K", "14K", "16K"]):
        tw = d.textlength(text, font=small)
        d.text((x + 8 * k - tw / 2, bottom + 4 * k), text, font=small, fill=DIM)
    track = (xs[0], top, round(16 * k), bottom - top)
    img, frames, step_, thumb = slider_image(background, track, k, vertical=True)
    img.save(os.path.join(out, "eqslider.png"), optimize=True)
    sheet = []
    onoff = (round(8 * k), round(8 * k), round(44 * k), round(28 * k))

    def pill(on, pressed):
        def draw(c):
            c.rrect(1, 1, onoff[2] - 1, onoff[3] - 1, onoff[3] / 2, fill=(ACCENT if on else LINE) if not pressed else PRESSED)
            tw = c.d.textlength("EQ", font=font(round(11 * k) * SS, True)) / SS
            c.d.text(((onoff[2] - tw) / 2 * SS, (onoff[3] / 2 - 7 * k) * SS), "EQ", font=font(round(11 * k) * SS, True),
                     fill=WHITE)
        return cell(background, *onoff, draw)
    cells = [pill(on, d) for on in (False, True) for d in (False, True)]
    close = (w - round(44 * k), round(4 * k), round(36 * k), round(36 * k))
    close_cells = [small_button(background, close, icon_close, k, d) for d in (False, True)]
    controls = Image.new("RGB", (max(4 * onoff[2], 2 * close[2]), onoff[3] + close[3]), CARD)
    for i, c in enumerate(cells):
        controls.paste(c, (i * onoff[2], 0))
    for i, c in enumerate(close_cells):
        controls.paste(c, (i * close[2], onoff[3]))
    controls.save(os.path.join(out, "eqcontrols.png"), optimize=True)
    background.save(os.path.join(out, "eqbg.png"), optimize=True)
    x0, y0, ow, oh = onoff
    lines = ["' The equaliser panel.", "BITMAP 200,eqbg.png", "BITMAP 201,eqcontrols.png", "BITMAP 202,eqslider.png",
             "BACKGROUND 200",
             "ONOFF EQON,201,201,201,201,%s,%d,%d,%d,%d,0,0,%d,0,%d,0,%d,0" % (rect((x0, y0, x0 + ow, y0 + oh)), x0, y0, ow, oh, ow, 2 * ow, 3 * ow),
             "LABEL EQNAME,200,703,%s,3" % rect((x0 + ow + round(8 * k), y0, close[0] - round(4 * k), y0 + oh)),
             "BUTTON EQPANELCLOSE,201,201,%s,%d,%d,%d,%d,0,%d,%d,%d" % (rect((close[0], close[1], close[0] + close[2], close[1] + close[3])),
                                                                     close[0], close[1], close[2], close[3], oh, close[2], oh)]
    for i, x in enumerate(xs):
        nm = "PREAMP" if i == 0 else "EQUALIZER%d" % (i - 1)
        lines.append("SLIDER %s,VERT,202,%d,%d,%s,%d,%d,%d,%d,%d,%d,%d,%d" %
                     (nm, frames, step_, rect((x - round(2 * k), top, x + track[2] + round(2 * k), bottom)), x, top, track[2], track[3],
                      thumb[0], thumb[1], thumb[0], thumb[1]))
    with open(os.path.join(out, "eq.txt"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    build("calm", portrait(), 1)
    build("calm", portrait(), 2)
    build("calm", landscape(), 1)
    sys.exit(0)
