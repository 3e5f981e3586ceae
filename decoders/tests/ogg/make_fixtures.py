#!/usr/bin/python3
# Encodes the Ogg Vorbis files the Ogg module's checks play and read, with oggenc and
# vorbiscomment: mono and stereo at 8 to 48 kHz and qualities -1 to 10, chained files (alike and
# changing format), comments in UTF-8 with cover art in both forms, a three-channel file, and bad
# files cut, damaged or holding no Vorbis stream. Each signal is a chirp with a little seeded
# noise, so no stretch of it repeats and a seek's landing is unique.
#   make_fixtures.py OUTDIR
import base64, math, os, random, struct, subprocess, sys, wave

OUT = sys.argv[1]
os.makedirs(OUT, exist_ok=True)

# name, rate, channels, quality, seconds
CASES = [
    ("m8k_q0", 8000, 1, 0, 2.0), ("s11k_q2", 11025, 2, 2, 1.5), ("m16k_qm1", 16000, 1, -1, 1.5),
    ("s22k_q4", 22050, 2, 4, 2.0), ("m32k_q6", 32000, 1, 6, 1.0), ("s44k_q3", 44100, 2, 3, 4.0),
    ("s44k_qm1", 44100, 2, -1, 2.0), ("s44k_q10", 44100, 2, 10, 1.5), ("s48k_q8", 48000, 2, 8, 2.0),
    ("m48k_q5", 48000, 1, 5, 1.0),
]
PNG = base64.b64decode(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==")


def sines(path, rate, seconds, tones):
    """Mono, a sum of steady sines: (frequency, amplitude) each."""
    with wave.open(path, "wb") as w:
        w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(sum(a * math.sin(2 * math.pi * f * i / rate) for f, a in tones)))
                               for i in range(int(rate * seconds))))


def signal(path, rate, channels, seconds, seed, tone=8000):
    rng = random.Random(seed)
    with wave.open(path, "wb") as w:
        w.setnchannels(channels); w.setsampwidth(2); w.setframerate(rate)
        frames = []
        for i in range(int(rate * seconds)):
            t = i / rate
            values = [int(tone * math.sin(2 * math.pi * ((150 + 90 * c) * t + 400 * t * t)) + rng.randint(-500, 500))
                      for c in range(channels)]
            frames.append(struct.pack("<%dh" % channels, *values))
        w.writeframes(b"".join(frames))


def encode(name, rate, channels, quality, seconds, comments=(), tone=8000):
    source = os.path.join(OUT, name + ".source.wav")
    signal(source, rate, channels, seconds, sum(name.encode()), tone)
    target = os.path.join(OUT, name + ".ogg")
    args = ["oggenc", "-Q", "-q", str(quality), "-o", target]
    for c in comments:
        args += ["-c", c]
    subprocess.run(args + [source], check=True)
    os.remove(source)
    return target


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def crc(data):
    value = 0
    for byte in data:
        value ^= byte << 24
        for _ in range(8):
            value = ((value << 1) ^ 0x04C11DB7) if value & 0x80000000 else value << 1
            value &= 0xFFFFFFFF
    return value


def pages(data):
    """(offset, length) of each Ogg page."""
    found, at = [], 0
    while at + 27 <= len(data) and data[at:at + 4] == b"OggS":
        segments = data[at + 26]
        length = 27 + segments + sum(data[at + 27:at + 27 + segments])
        found.append((at, length))
        at += length
    return found


def with_crc(page):
    page = bytearray(page)
    page[22:26] = b"\0\0\0\0"
    page[22:26] = struct.pack("<I", crc(bytes(page)))
    return bytes(page)


for case in CASES:
    encode(*case)

# Steady tones for the equaliser's measurements: one in the 3 kHz band, one far below it.
source = os.path.join(OUT, "sines.source.wav")
sines(source, 44100, 3.0, [(300, 3000), (3000, 3000)])
subprocess.run(["oggenc", "-Q", "-q", "6", "-o", os.path.join(OUT, "sines.ogg"), source], check=True)
os.remove(source)

# Chained files: two links alike, and a link of another rate and channel count after a first.
a = encode("link_a", 44100, 2, 3, 1.5)
b = encode("link_b", 44100, 2, 5, 1.0)
c = encode("link_c", 22050, 1, 2, 1.0)
write("chain_alike.ogg", read(a) + read(b))
write("chain_formats.ogg", read(a) + read(c))
# A mono link, then one of 64 channels of steady noise (long blocks from its start): a read of the
# first link's size would bring up to 32 times what it asks for, more than the whole buffer.
d = encode("link_d", 44100, 64, 0, 0.1, tone=0)
e = encode("link_e", 44100, 1, 0, 1.5)
write("chain_wide.ogg", read(e) + read(d))
for path in (a, b, c, d, e):
    os.remove(path)

# Comments as vorbiscomment writes them: UTF-8 text, the table's names in odd cases, cover art as a
# FLAC picture block and in the older COVERART form, and replay gain.
picture = struct.pack(">II", 3, 9) + b"image/png" + struct.pack(">I", 5) + b"front" + \
    struct.pack(">IIIII", 1, 1, 24, 0, len(PNG)) + PNG
encode("tagged", 44100, 2, 3, 1.0, [
    "TITLE=Über den Wolken ☁", "ARTIST=Zoë & the Ångströms", "ALBUM=日本語のアルバム", "GENRE=Chanson",
    "TRACKNUMBER=7/12", "DATE=2009-05-17", "ALBUMARTIST=First Album Artist", "ORCHESTRA=The Orchestra",
    "COMPOSER=Ölaf", "REPLAYGAIN_TRACK_GAIN=-6.48 dB", "REPLAYGAIN_TRACK_PEAK=0.912",
    "REPLAYGAIN_ALBUM_GAIN=-5.25 dB", "DESCRIPTION=a comment", "ISRC=USRC17607839", "LICENSE=CC-BY",
    "METADATA_BLOCK_PICTURE=" + base64.b64encode(picture).decode(), "COVERARTMIME=image/png",
    "COVERART=" + base64.b64encode(PNG).decode(), "MOOD=calm"])
encode("empty_artist", 44100, 1, 2, 0.5, ["ARTIST=", "TITLE=Only a title"])
encode("title_only", 44100, 1, 2, 0.5, ["TITLE=Just the title"])
encode("both_empty", 44100, 1, 2, 0.5, ["ARTIST=", "TITLE="])
encode("long_names", 44100, 1, 2, 0.5, ["ARTIST=" + "Ä" * 150 + "x", "TITLE=" + "t" * 126 + "\U0001F3B5" + "z" * 40])
encode("two_covers", 44100, 1, 2, 0.5, ["COVERART=" + base64.b64encode(PNG).decode(), "COVERARTMIME=image/png",
                                         "COVERART=" + base64.b64encode(b"\xff\xd8\xff\xe0tiny").decode(),
                                         "COVERARTMIME=image/jpeg", "TITLE=Two covers"])
encode("no_comments", 44100, 1, 2, 0.5)
subprocess.run(["vorbiscomment", "-w", "-c", "/dev/null", os.path.join(OUT, "no_comments.ogg")], check=True)

encode("three_channels", 44100, 3, 3, 0.5)

# Bad files: cut in the middle of a page, a page's body damaged (its CRC then fails), nothing at
# all, only the three header packets, and an Ogg stream whose first packet is no Vorbis header.
good = read(os.path.join(OUT, "s44k_q3.ogg"))
spans = pages(good)
write("truncated.ogg", good[:spans[len(spans) // 2][0] + spans[len(spans) // 2][1] // 2])
damaged = bytearray(good)
middle = spans[len(spans) // 3]
for i in range(middle[0] + 40, middle[0] + middle[1] - 10, 7):
    damaged[i] ^= 0x5A
write("corrupt_page.ogg", bytes(damaged))
write("empty.ogg", b"")
write("headers_only.ogg", b"".join(good[o:o + n] for o, n in spans[:2]))
first = bytearray(good[spans[0][0]:spans[0][0] + spans[0][1]])
at = first.find(b"\x01vorbis")
first[at + 1:at + 7] = b"xorbis"
write("no_vorbis.ogg", with_crc(bytes(first)) + good[spans[1][0]:])
