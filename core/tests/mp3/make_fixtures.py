#!/usr/bin/python3
# Encodes the MP3 files of the core's playback tests with lame: three VBR files (Xing headers,
# so each length is exact in frames) of different lengths, 44.1 kHz stereo, each a chirp with a
# little seeded noise so that no stretch of one repeats and a seek's landing is unique. The second
# is also encoded as WMA (ffmpeg's wmav2, 128 kb/s).
#   make_fixtures.py OUTDIR
import math, os, random, struct, subprocess, sys, wave

OUT = sys.argv[1]
os.makedirs(OUT, exist_ok=True)
RATE = 44100
FILES = [("one", 2.0, 300), ("two", 3.0, 700), ("three", 1.5, 1500)]

for name, seconds, base in FILES:
    rng = random.Random(base)
    source = os.path.join(OUT, name + ".wav")
    with wave.open(source, "wb") as w:
        w.setnchannels(2); w.setsampwidth(2); w.setframerate(RATE)
        frames = []
        for i in range(int(RATE * seconds)):
            t = i / RATE
            left = int(8000 * math.sin(2 * math.pi * (base * t + 600 * t * t)) + rng.randint(-500, 500))
            right = int(6000 * math.sin(2 * math.pi * (2 * base * t - 200 * t * t)) + rng.randint(-500, 500))
            frames.append(struct.pack("<hh", left, right))
        w.writeframes(b"".join(frames))
    subprocess.run(["lame", "--quiet", "-V", "4", source, os.path.join(OUT, name + ".mp3")], check=True)
    if name == "two":
        subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", source, "-c:a", "wmav2",
                        "-b:a", "128k", os.path.join(OUT, "four.wma")], check=True)
    os.remove(source)
