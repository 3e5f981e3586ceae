#!/usr/bin/python3
# Encodes short test signals with lame (CBR with and without a LAME "Info" header, VBR with a
# Xing header, ABR; 32, 44.1 and 48 kHz, mono, MPEG-2), plays each through `zbdecode` into a
# WAVE file on the waveOut device, and checks:
#  - the length: the decoded stream is the encoder's samples plus its delay and padding, which
#    the LAME tag records (read with mutagen) and which must add up exactly to madplay's decode;
#    the module's length in ms may differ from that stream's duration by 1 ms of rounding;
#  - the PCM against madplay's independent decode of the same file without dither: at most 1
#    LSB apart, since both run libmad's synthesis and differ only in how the 28-bit fraction is
#    cut to 16 bits (madplay rounds, the module truncates and carries the error to the next
#    sample, which keeps the output within one step of the rounded value);
#  - seeks through the table of contents (or along the bytes of a file without one) at several
#    targets: the PCM after the seek is madplay's decode from a sample within one frame (1152
#    samples, 576 for MPEG-2) of the target, matching from its first sample on;
#  - an ID3v2 tag in front (one with a 3 MB picture), junk before the first frame and a tag
#    behind junk are skipped as the module's scan does; junk past 64 KiB is refused;
#  - bad files fail clearly or play what is valid, and never hang (each run has a timeout).
#   compare_with_madplay.py ZBDECODE OUTDIR
import array, math, os, random, struct, subprocess, sys, wave
from mutagen.id3 import ID3, TIT2, APIC
from mutagen.mp3 import MP3
from mutagen.mp3._util import XingHeader

ZBDECODE, OUT = sys.argv[1], sys.argv[2]
os.makedirs(OUT, exist_ok=True)
failures = []


def signal(path, rate, channels, seconds):
    """A chirp with a little seeded noise: no stretch of it repeats, so a seek's landing is unique."""
    rng = random.Random(rate * channels)
    w = wave.open(path, "wb"); w.setnchannels(channels); w.setsampwidth(2); w.setframerate(rate)
    frames = []
    for i in range(int(rate * seconds)):
        t = i / rate
        left = int(8000 * math.sin(2 * math.pi * (200 * t + 900 * t * t)) + rng.randint(-600, 600))
        right = int(6000 * math.sin(2 * math.pi * (3000 * t - 500 * t * t)) + rng.randint(-600, 600))
        frames.append(struct.pack("<h", left) if channels == 1 else struct.pack("<hh", left, right))
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
    w = wave.open(path)
    return array.array("h", w.readframes(w.getnframes())), w.getnchannels(), w.getframerate()


def madplay(mp3, wav):
    subprocess.run(["madplay", "-Q", "--no-dither", "-b", "16", "-o", "wave:" + wav, mp3], check=True)
    return pcm(wav)


def matches_at(got, ref, channels, start, count, tolerance=1):
    """Whether got[0:count] frames equal ref from frame `start` within the tolerance."""
    if start < 0 or (start + count) * channels > len(ref) or count * channels > len(got): return False
    a, b = got[:count * channels], ref[start * channels:(start + count) * channels]
    if any(abs(a[i] - b[i]) > tolerance for i in range(0, len(a), 97)): return False  # quick reject
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def landing(got, ref, channels, target, reach):
    """The frame of `ref` where `got` begins, searched within `reach` of the target; None if nowhere."""
    for distance in range(reach + 1):
        for start in {target - distance, target + distance}:
            if matches_at(got, ref, channels, start, 1500): return start
    return None


CASES = [  # name, lame options, rate, channels
    ("cbr_info44", ["-b", "128"], 44100, 2), ("vbr44", ["-V", "4"], 44100, 2),
    ("abr32", ["--abr", "96", "--resample", "32"], 32000, 2), ("cbr48", ["-b", "160", "-t"], 48000, 2),
    ("cbr_info48", ["-b", "192"], 48000, 2), ("vbr32", ["-V", "5", "--resample", "32"], 32000, 2),
    ("mono44", ["-b", "64", "-m", "m"], 44100, 1), ("mpeg2_22", ["-b", "48"], 22050, 2),
    ("mpeg2_vbr16", ["-V", "6", "-m", "m"], 16000, 1),
]
for name, options, rate, channels in CASES:
    wav, mp3, out = (os.path.join(OUT, name + ext) for ext in (".wav", ".mp3", ".out.wav"))
    samples = signal(wav, rate, channels, 2.0)
    subprocess.run(["lame", "--quiet"] + options + [wav, mp3], check=True)
    code, info = run([mp3, out])
    if code != 0:
        failures.append(f"{name}: zbdecode failed"); continue
    ref, ref_channels, ref_rate = madplay(mp3, os.path.join(OUT, name + ".mad.wav"))
    got, got_channels, got_rate = pcm(out)
    frame = 1152 if rate >= 32000 else 576
    stream = len(ref) // ref_channels
    # The encoder's own account of the stream, where it wrote a LAME tag.
    with open(mp3, "rb") as f:
        f.seek(MP3(mp3).info.frame_offset + XingHeader.get_offset(MP3(mp3).info))
        try:
            lame = XingHeader(f).lame_header
        except Exception:
            lame = None
    if lame is not None:
        if lame.encoder_delay_start + samples + lame.encoder_padding_end != stream:
            failures.append(f"{name}: madplay decodes {stream} samples, the LAME tag says "
                            f"{lame.encoder_delay_start} + {samples} + {lame.encoder_padding_end}")
    elif not samples <= stream <= samples + 576 + 529 + 2 * frame:
        failures.append(f"{name}: {stream} samples decoded from {samples}")
    if abs(int(info["length_ms"]) - stream * 1000 / rate) > 1:
        failures.append(f"{name}: length {info['length_ms']} ms for {stream} samples at {rate} Hz")
    if (int(info["rate"]), got_rate, got_channels) != (ref_rate, ref_rate, ref_channels) or ref_rate != rate:
        failures.append(f"{name}: {info['rate']} Hz {got_channels} channels, madplay {ref_rate} Hz {ref_channels}")
    if len(got) != len(ref):
        failures.append(f"{name}: {len(got)} samples, madplay {len(ref)}")
    elif max(abs(a - b) for a, b in zip(got, ref)) > 1:
        failures.append(f"{name}: PCM differs from madplay by more than 1")
    bits = os.path.getsize(mp3) * 8 * 1000 // int(info["length_ms"]) // 1000  # the file's average
    if abs(int(info["bitrate_kbps"]) - bits) > bits // 20 and not options[0] == "-b":
        failures.append(f"{name}: {info['bitrate_kbps']} kb/s, the file averages {bits}")
    if options[0] == "-b" and info["bitrate_kbps"] != options[1]:
        failures.append(f"{name}: {info['bitrate_kbps']} kb/s for a {options[1]} kb/s file")
    if int(info["samples"]) != stream:
        failures.append(f"{name}: zbdecode reports {info['samples']} samples played")

    for fraction in (0.2, 0.55, 0.9):
        target = int(int(info["length_ms"]) * fraction)
        seeked = f"{out}.{int(fraction * 100)}.wav"
        code, _ = run([mp3, seeked, "--seek", str(target)])
        if code != 0:
            failures.append(f"{name}: seek to {target} ms failed"); continue
        after, _, _ = pcm(seeked)
        want = target * rate // 1000
        at = landing(after, ref, channels, want, 3 * frame)
        if at is None or abs(at - want) > frame:
            failures.append(f"{name}: seek to {target} ms (sample {want}) landed at {at}, not within {frame}")
        elif len(after) != len(ref) - at * channels:
            failures.append(f"{name}: after the seek to {target} ms {len(after)} samples, not the rest of the file")

# Extra bytes in front of the first frame, each played against the file without them.
base = os.path.join(OUT, "cbr_info44.mp3")
audio = open(base, "rb").read()
ref, _, _ = madplay(base, os.path.join(OUT, "base.mad.wav"))


def write(name, data):
    path = os.path.join(OUT, name)
    open(path, "wb").write(data)
    return path


def plays_like_base(name, data):
    path = write(name, data)
    code, info = run([path, path + ".wav"])
    if code is None: return
    if code != 0: failures.append(f"{name}: does not play"); return
    got, _, _ = pcm(path + ".wav")
    if len(got) != len(ref) or max(abs(a - b) for a, b in zip(got, ref)) > 1:
        failures.append(f"{name}: PCM differs from the file without the extra bytes")


def tagged(size, seed=1):
    picture = random.Random(seed).randbytes(size)  # full of bytes that pass for frame headers
    t = ID3(); t.add(TIT2(text=["tagged"])); t.add(APIC(mime="image/jpeg", type=3, data=picture))
    path = write("tagged.tmp", audio); t.save(path)
    return open(path, "rb").read()


def frame_starts(data):
    """Where each MPEG-1 layer III frame of a lame file begins, from the frame headers."""
    rates = [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320]
    starts, at = [], 0
    while at + 4 <= len(data) and data[at] == 0xFF and data[at + 1] & 0xE0 == 0xE0:
        starts.append(at)
        at += 144000 * rates[data[at + 2] >> 4] // [44100, 48000, 32000][(data[at + 2] >> 2) & 3] + ((data[at + 2] >> 1) & 1)
    return starts


junk = b"\x00\x11junk" * 150  # never a sync word
plays_like_base("id3small.mp3", tagged(2000))
plays_like_base("id3huge.mp3", tagged(3 << 20))  # a 3 MB picture: the scan steps over the tag by its size
plays_like_base("junk.mp3", junk + audio)  # 1.5 KB of junk before the first frame
id3 = tagged(5000)
tag_size = len(id3) - len(audio)
# A tag behind junk is found and skipped from where it is, before libmad's search for a frame
# reads its picture; also behind something that looks like the start of a frame.
for seed in range(1, 9):
    plays_like_base(f"junk_then_tag{seed}.mp3", junk + tagged(5000, seed))
plays_like_base("junk_sync_then_tag.mp3", junk * 3 + b"\xff\xfb" + id3)
# A tag between two frames is stepped over whole. libmad fills the bit reservoir for the next
# frame from what follows each frame, which here is the tag: the one or two frames behind it that
# draw on the reservoir are lost, and the rest plays as it is.
starts = frame_starts(audio)
k = len(starts) // 2
path = write("tag_between_frames.mp3", audio[:starts[k]] + id3[:tag_size] + audio[starts[k]:])
code, info = run([path, path + ".wav"])
if code != 0:
    failures.append("tag_between_frames.mp3: does not play")
else:
    got, _, _ = pcm(path + ".wav")
    before, lost = (k - 1) * 1152, (len(ref) - len(got)) // 2  # the Info frame is no audio
    if lost not in (0, 1152, 2304) or not matches_at(got, ref, 2, 0, before) or \
            not matches_at(got[(before + 1152) * 2:], ref, 2, before + lost + 1152, len(got) // 2 - before - 1152):
        failures.append(f"tag_between_frames.mp3: lost {lost} samples or changed more than the frames by the tag")

# Junk past the scan's first 3000 bytes in front of a file without a Xing/Info frame: the frame
# found there is not trusted; a later one is, and what plays is the decode from that frame on
# (an Info frame is trusted wherever it is). Past 64 KiB nothing is trusted.
plain = os.path.join(OUT, "cbr48.mp3")
plain_ref, _, _ = madplay(plain, os.path.join(OUT, "plain.mad.wav"))
path = write("deepjunk.mp3", junk * 4 + open(plain, "rb").read())
code, info = run([path, path + ".wav"])
if code != 0:
    failures.append("deepjunk.mp3: does not play")
else:
    got, _, _ = pcm(path + ".wav")
    skipped = (len(plain_ref) - len(got)) // 2
    # Decoding starts cold at the trusted frame: its first frame out lacks the one before it.
    if not (0 < skipped <= 2 * 1152) or not matches_at(got[2 * 1152:], plain_ref, 2, skipped + 1152, 2000):
        failures.append(f"deepjunk.mp3: plays {len(got) // 2} samples that are not the decode from a later frame")
path = write("farjunk.mp3", b"\x00" * 70000 + audio)
code, _ = run([path, path + ".wav"])
if code == 0: failures.append("farjunk.mp3: a frame behind 70000 bytes of zeros was played")

# Bad input: fails clearly or plays what is valid, never hangs.
half = len(audio) // 2
ape_2gb = b"APETAGEX" + struct.pack("<IIII", 2000, 0x7FFFFFF0, 5, 0x80000000) + b"\0" * 8
bad = [  # name, data, must it play, fewest samples it must play
    ("zeros.mp3", bytes(200000), False, 0), ("empty.mp3", b"", False, 0),
    ("noise.mp3", random.Random(3).randbytes(100000), None, 0),
    ("truncated.mp3", audio[: len(audio) // 3], True, len(ref) // 2 // 3 - 3 * 1152),
    ("cut_in_frame.mp3", audio[: half + 57], True, len(ref) // 2 // 2 - 3 * 1152),
    ("corrupt.mp3", audio[:half] + bytes(random.Random(7).randrange(256) for _ in range(3000)) + audio[half + 3000:],
     True, len(ref) // 2 - 20 * 1152),
    ("tag_cutting_frame.mp3", audio[:half] + id3[:tag_size] + audio[half:], True, len(ref) // 2 - 3 * 1152),
    ("ape_2gb.mp3", audio + ape_2gb, True, len(ref) // 2),
    ("id3_size_2gb.mp3", b"ID3\x03\x00\x00\x7f\x7f\x7f\x7f" + audio, None, 0),
]
for name, data, must_play, fewest in bad:
    path = write(name, data)
    code, info = run([path, path + ".wav"])
    if code is None: continue
    if code not in (0, 1):
        failures.append(f"{name}: ended with {code}, not a clear failure"); continue
    if must_play is False and code == 0:
        failures.append(f"{name}: played")
    if must_play and (code != 0 or int(info.get("samples", 0)) < fewest):
        failures.append(f"{name}: played {info.get('samples')} samples, not what is valid ({fewest})")
    if name == "corrupt.mp3" and code == 0:
        got, _, _ = pcm(path + ".wav")
        if not matches_at(got, ref, 2, 0, len(ref) // 2 // 3):
            failures.append(f"{name}: the frames before the damage do not play as they are")

if failures:
    print("\n".join(failures)); sys.exit(1)
print("all decodes match")
