#!/usr/bin/python3
# Encodes short test signals with lame (CBR, VBR with a Xing header, ABR, CBR with a LAME "Info"
# header; 32, 44.1 and 48 kHz, mono, MPEG-2), plays each through `zbdecode`, and checks:
#  - the length against the encoder's sample count: the decoder counts whole frames including
#    the encoder's delay and padding, and for files without a frame count the header frame too,
#    so it may exceed the input by up to three frames (3456 samples) and never fall short of it
#    by more than one frame's rounding (1152);
#  - the PCM against madplay's independent decode of the same file without dither: at most 1
#    LSB apart, since both run libmad's synthesis and differ only in how the 28-bit fraction is
#    cut to 16 bits (rounding there, truncation with the error carried on here);
#  - a table-of-contents seek: the PCM after it matches madplay's decode at an offset within
#    three frames (3456 samples) of the target (the table's 1 % steps and libmad's resync);
#  - an ID3v2 tag in front and junk before the first frame are skipped; bad files fail clearly
#    or play what is valid, and never hang (each run has a timeout).
#   compare_with_madplay.py ZBDECODE OUTDIR
import array, math, os, struct, subprocess, sys, wave
from mutagen.id3 import ID3, TIT2, APIC

ZBDECODE, OUT = sys.argv[1], sys.argv[2]
os.makedirs(OUT, exist_ok=True)
failures = []

def tone(path, rate, channels, seconds):
    w = wave.open(path, "wb"); w.setnchannels(channels); w.setsampwidth(2); w.setframerate(rate)
    frames = []
    for i in range(int(rate * seconds)):
        l = int(9000 * math.sin(i * 2 * math.pi * 440 / rate) + 3000 * math.sin(i * 2 * math.pi * 3100 / rate))
        frames.append(struct.pack("<h", l) if channels == 1 else struct.pack("<hh", l, int(7000 * math.sin(i * 0.021))))
    w.writeframes(b"".join(frames)); w.close()
    return int(rate * seconds)

def run(args, timeout=60):
    try:
        r = subprocess.run([ZBDECODE] + args, capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        failures.append(f"zbdecode {args} did not end"); return None, {}
    info = dict(l.split(" ", 1) for l in r.stdout.splitlines() if " " in l)
    return r.returncode, info

def pcm(path):
    w = wave.open(path); return array.array("h", w.readframes(w.getnframes())), w.getnchannels()

def madplay(mp3, wav):
    subprocess.run(["madplay", "-Q", "--no-dither", "-b", "16", "-o", "wave:" + wav, mp3], check=True)
    return pcm(wav)

CASES = [  # name, lame options, rate, channels
    ("cbr44", ["-b", "128"], 44100, 2), ("vbr44", ["-V", "4"], 44100, 2), ("abr44", ["--abr", "96"], 44100, 2),
    ("info48", ["-b", "160", "-t"], 48000, 2), ("cbr48", ["-b", "192"], 48000, 2), ("vbr32", ["-V", "5"], 32000, 2),
    ("mono44", ["-b", "64", "-m", "m"], 44100, 1), ("mpeg2_22", ["-b", "48"], 22050, 2), ("mpeg2_16", ["-V", "6"], 16000, 1),
]
for name, options, rate, channels in CASES:
    wav, mp3, out = (os.path.join(OUT, name + ext) for ext in (".wav", ".mp3", ".out.wav"))
    samples = tone(wav, rate, channels, 2.0)
    subprocess.run(["lame", "--quiet"] + options + [wav, mp3], check=True)
    code, info = run([mp3, out])
    if code != 0:
        failures.append(f"{name}: zbdecode failed"); continue
    ref, ref_channels = madplay(mp3, os.path.join(OUT, name + ".mad.wav"))
    got, got_channels = pcm(out)
    length = int(info["length_ms"]) * rate // 1000
    if not (samples - 1152 <= length <= samples + 3456):
        failures.append(f"{name}: length {info['length_ms']} ms for {samples} samples at {rate}")
    if int(info["rate"]) != wave.open(os.path.join(OUT, name + ".mad.wav")).getframerate() or got_channels != ref_channels:
        failures.append(f"{name}: {info['rate']} Hz {got_channels} channels")
    if len(got) != len(ref):
        failures.append(f"{name}: {len(got)} samples, madplay {len(ref)}")
    elif max(abs(a - b) for a, b in zip(got, ref)) > 1:
        failures.append(f"{name}: PCM differs from madplay by more than 1")
    # Seek to 55 % through the table of contents, where the file has one.
    target = int(int(info["length_ms"]) * 0.55)
    code, info2 = run([mp3, out + ".seek.wav", "--seek", str(target)])
    after, _ = pcm(out + ".seek.wav")
    # The first two frames after a seek carry the filter bank's settling; compare behind them.
    rate = int(info["rate"])
    window = after[2304 * channels: 4304 * channels]
    want = target * rate // 1000 + 2304
    best = None
    for shift in range(-1152 * 3, 1152 * 3):
        start = (want + shift) * channels
        if start < 0 or start + len(window) > len(ref): continue
        if max(abs(a - b) for a, b in zip(window[::channels * 8], ref[start:start + len(window):channels * 8])) <= 2:
            best = shift if best is None or abs(shift) < abs(best) else best
    if best is None or abs(best) > 3456:
        failures.append(f"{name}: seek to {target} ms landed {best} samples away")

# An ID3v2 tag in front (with a 3 MB picture in one file) and junk before the first frame.
base = os.path.join(OUT, "cbr44.mp3")
audio = open(base, "rb").read()
ref, _ = madplay(base, os.path.join(OUT, "base.mad.wav"))
def plays_like_base(name, data, must_match=True):
    path = os.path.join(OUT, name)
    open(path, "wb").write(data)
    code, info = run([path, path + ".wav"])
    if code is None: return
    if must_match:
        if code != 0: failures.append(f"{name}: does not play"); return
        got, _ = pcm(path + ".wav")
        if len(got) != len(ref) or max(abs(a - b) for a, b in zip(got, ref)) > 1:
            failures.append(f"{name}: PCM differs from the file without the extra bytes")
for size, name in ((2000, "id3small.mp3"), (3 << 20, "id3huge.mp3")):
    t = ID3(); t.add(TIT2(text=["tagged"])); t.add(APIC(mime="image/jpeg", type=3, data=os.urandom(size)))
    path = os.path.join(OUT, name); open(path, "wb").write(audio); t.save(path)
    plays_like_base(name, open(path, "rb").read())
plays_like_base("junk.mp3", b"\x00\x11junk" * 150 + audio)  # 1.5 KB of junk before the first frame

# Bad input: fails clearly or plays what is valid, never hangs.
for name, data in (("zeros.mp3", bytes(200000)), ("empty.mp3", b""), ("truncated.mp3", audio[: len(audio) // 3]),
                   ("corrupt.mp3", audio[: len(audio) // 2] + os.urandom(3000) + audio[len(audio) // 2 + 3000:]),
                   ("noise.mp3", os.urandom(100000))):
    path = os.path.join(OUT, name); open(path, "wb").write(data)
    code, info = run([path, path + ".wav"])
    if code is None: continue
    if name in ("zeros.mp3", "empty.mp3") and code == 0:
        failures.append(f"{name}: played")
    if name in ("truncated.mp3", "corrupt.mp3") and (code != 0 or int(info.get("samples", 0)) < 20000):
        failures.append(f"{name}: did not play what is valid")

if failures:
    print("\n".join(failures)); sys.exit(1)
print("all decodes match")
