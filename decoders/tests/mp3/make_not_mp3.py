#!/usr/bin/python3
# Makes files that are not MP3 but hold bytes a frame scan can take for frame headers: WAVE files
# of 8, 16 and 24 bits (sox), an Ogg Vorbis file at quality 10 and 48 kHz (oggenc), a JPEG and a
# PNG picture (Pillow), seeded random bytes and plain text. Each is named .mp3, as a
# misnamed file reaches the MP3 decoder.
#   make_not_mp3.py OUTDIR
import os, random, subprocess, sys
from PIL import Image

OUT = sys.argv[1]
os.makedirs(OUT, exist_ok=True)


def sox(name, *effects, bits=16, rate=48000, channels=2, seconds=3, dither=True):
    path = os.path.join(OUT, name)
    options = ["-R"] + ([] if dither else ["-D"])
    subprocess.run(["sox", *options, "-n", "-r", str(rate), "-b", str(bits), "-c", str(channels), "-t", "wav", path,
                    "synth", str(seconds), *effects], check=True)
    return path


# Signals whose bytes read as frame headers again and again: a square wave at full scale (runs of
# 00 and FF), quiet tones and noise (samples near zero are runs of 00 and FF in every width).
sox("wave8.mp3", "square", "100", "vol", "0.99", bits=8, dither=False)
sox("wave16.mp3", "sine", "440", "vol", "0.001", bits=16, channels=1)
sox("wave24.mp3", "pinknoise", "vol", "0.01", bits=24, channels=1)
sox("wave24_stereo.mp3", "brownnoise", "vol", "0.001", bits=24)

# A quiet chirp at 48 kHz, quality 10; the stream's serial number is fixed so the bytes are too.
source = sox("ogg_source.wav", "sine", "200-2000", "vol", "0.01", seconds=8)
subprocess.run(["oggenc", "--quiet", "-q", "10", "--serial", "22", "-o", os.path.join(OUT, "ogg_q10.mp3"), source],
               check=True)
os.remove(source)

# A picture of gradients and grain, so both coders have real work to do.
rng = random.Random(22)
image = Image.new("RGB", (320, 240))
image.putdata([((x * 3 + rng.randrange(40)) & 255, (y * 5 + rng.randrange(40)) & 255, (x ^ y) & 255)
               for y in range(240) for x in range(320)])
image.save(os.path.join(OUT, "picture_jpeg.mp3"), "JPEG", quality=92)
image.save(os.path.join(OUT, "picture_png.mp3"), "PNG")

with open(os.path.join(OUT, "random.mp3"), "wb") as f:
    f.write(random.Random(2201).randbytes(300000))
with open(os.path.join(OUT, "text.mp3"), "w") as f:
    f.write("".join(f"Line {i}: a file of text that someone saved with the wrong name.\n" for i in range(3000)))
