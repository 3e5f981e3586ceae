#!/usr/bin/python3
# Reads the tags of WAVE and .au files with `zbtags` and checks them against what was written:
#  - files ffmpeg wrote with -metadata (a LIST INFO chunk before "data", odd-sized texts);
#  - files built here chunk by chunk: INFO after "data", a DISP title, a DISP chunk shorter than
#    its type word, a little-endian "rgad" replay-gain chunk, a "data" chunk stated as
#    0xFFFFFFFF bytes, and a chunk stated past the end of the file, which ends the walk but
#    keeps what came before;
#  - a .au file sox wrote (its stream properties and the file name as the title).
#   compare_wave_tags.py ZBTAGS OUTDIR
import os, struct, subprocess, sys

ZBTAGS, OUT = sys.argv[1], sys.argv[2]
os.makedirs(OUT, exist_ok=True)
failures = []


def tags(path):
    r = subprocess.run([ZBTAGS, path], capture_output=True, text=True, timeout=60)
    if r.returncode != 0:
        failures.append(f"{os.path.basename(path)}: zbtags failed: {r.stderr.strip()}")
        return {}
    return dict(line.split(" = ", 1) for line in r.stdout.splitlines() if " = " in line)


def check(path, want, absent=()):
    got = tags(path)
    name = os.path.basename(path)
    for key, value in want.items():
        if got.get(key) != value:
            failures.append(f"{name}: {key} is {got.get(key)!r}, not {value!r}")
    for key in absent:
        if key in got:
            failures.append(f"{name}: {key} = {got[key]!r} should not be there")


def chunk(cid, body, stated=None):
    size = len(body) if stated is None else stated
    return cid + struct.pack("<I", size) + body + (b"\0" if len(body) & 1 else b"")


def info(**texts):
    ids = {"artist": b"IART", "title": b"INAM", "comment": b"ICMT", "genre": b"IGNR", "copyright": b"ICOP"}
    return chunk(b"LIST", b"INFO" + b"".join(chunk(ids[k], v.encode("latin-1") + b"\0") for k, v in texts.items()))


def riff(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def write(name, data):
    path = os.path.join(OUT, name)
    open(path, "wb").write(data)
    return path


FMT = chunk(b"fmt ", struct.pack("<HHIIHH", 1, 2, 22050, 88200, 4, 16))
DATA = chunk(b"data", bytes(range(256)) * 344)  # 88064 bytes, about a second
STREAM = {"Format tag": "1", "Sample rate": "22050", "Channels": "2", "Bits per sample": "16",
          "Bit rate": "705600", "Is lossless": "1"}

# ffmpeg's own INFO chunk, before the data.
ff = os.path.join(OUT, "ffmpeg.wav")
subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=0.5",
                "-ac", "1", "-ar", "44100", "-metadata", "artist=Some Band", "-metadata", "title=A Tune",
                "-metadata", "comment=Odd text", "-metadata", "genre=Jazz", "-metadata", "copyright=(c) 2020",
                "-metadata", "date=2020", ff], check=True)
check(ff, {"Artist": "Some Band", "Song title": "A Tune", "Comment": "Odd text", "Genre": "Jazz",
           "Copyright": "(c) 2020", "Sample rate": "44100", "Channels": "1", "Bits per sample": "16",
           "Format tag": "1", "Is lossless": "1", "Display title": "ffmpeg",
           "Length": str(os.path.getsize(ff) * 1000 // 88200)})
if not tags(ff).get("Creation date", "").startswith("2020"):
    failures.append(f"ffmpeg.wav: Creation date is {tags(ff).get('Creation date')!r}")

# INFO after the data, odd sizes padded, and the length from the whole file.
after = write("after.wav", riff(FMT, DATA, info(artist="Odd", title="Last Chunk", genre="Rock")))
check(after, dict(STREAM, **{"Artist": "Odd", "Song title": "Last Chunk", "Genre": "Rock",
                             "Length": str(os.path.getsize(after) * 1000 // 88200)}))

# A DISP title wins over the file name; a DISP shorter than its type word holds nothing.
disp = write("disp.wav", riff(chunk(b"DISP", struct.pack("<I", 1) + b"Shown\0"), FMT, DATA))
check(disp, dict(STREAM, **{"Display title": "Shown"}))
short = write("short_disp.wav", riff(chunk(b"DISP", b"\x01\x00"), FMT, info(artist="After"), DATA))
check(short, dict(STREAM, **{"Display title": "short_disp", "Artist": "After"}))

# Replay gain, little-endian: peak 0.5, track -3.4 dB (set by a user, originator 2), album +2.0 dB.
rgad = chunk(b"rgad", struct.pack("<fHH", 0.5, 1 << 13 | 2 << 10 | 1 << 9 | 34, 2 << 13 | 2 << 10 | 20))
gain = write("gain.wav", riff(FMT, DATA, rgad))
check(gain, {"Replaygain track peak": "0.50", "Replaygain track gain": "-3.40", "Replaygain album gain": "2.00",
             "Replaygain reference volume": "83.00", "Replaygain originators[1]": "2", "Replaygain originators[2]": "2"})

# Sizes that do not fit: "data" as a stream writes it, and a chunk past the file's end.
stream = write("stream.wav", riff(FMT, info(artist="Streamed"), chunk(b"data", bytes(4000), 0xFFFFFFFF)))
check(stream, dict(STREAM, **{"Artist": "Streamed"}))
past = write("past_end.wav", riff(FMT, info(title="Kept"), chunk(b"junk", bytes(10), 0x7FFFFFF0), info(artist="Lost")))
check(past, dict(STREAM, **{"Song title": "Kept"}), absent=("Artist",))
oversized_list = write("big_list.wav", riff(FMT, DATA, chunk(b"LIST", b"INFOIART\x05\0\0\0Inner\0", 0x1000000)))
check(oversized_list, dict(STREAM, **{"Artist": "Inner"}))

# sox's .au: big-endian 16-bit PCM (encoding 3).
au = os.path.join(OUT, "tone.au")
subprocess.run(["sox", "-n", "-r", "8000", "-c", "1", "-b", "16", "-e", "signed-integer", au, "synth", "0.5", "sine", "440"], check=True)
check(au, {"Format tag": "1", "Sample rate": "8000", "Channels": "1", "Bits per sample": "16", "Bit rate": "128000",
           "Is lossless": "1", "Display title": "tone", "Length": str(os.path.getsize(au) * 1000 // 16000)})

for f in failures:
    print("FAIL", f)
if not failures:
    print("all tags match")
sys.exit(1 if failures else 0)
