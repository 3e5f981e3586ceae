#!/usr/bin/python3
# Makes WAVE and Sun/NeXT .au files with sox (PCM of 8, 16 and 24 bits at 8 to 96 kHz, mono and
# stereo; A-law and mu-law), plays each through `zbdecode` into a WAVE file on the waveOut device,
# and checks the output against this script's own reading of the source and conversion of it:
#  - the output format: PCM at 44100, 22050 or 11025 Hz in 8 or 16 bits plays as it is; any
#    other PCM as 16 bits at the largest of 44100, 22050, 11025 and 8000 Hz not above its rate
#    (8000 below that); A-law and mu-law as 16-bit PCM of their own rate and channels;
#  - every sample: output frame k is source frame floor(k * source rate / output rate) of the
#    whole stream, 8-bit samples widen as (b - 128) * 255, 24-bit ones keep their upper two
#    bytes, G.711 codes expand as Python's audioop does, .au samples are big-endian and signed;
#  - the length in ms and the samples played;
#  - files the module cannot play (A-law .au, sox's extensible 24-bit header) fail clearly.
#   compare_wave_decodes.py ZBDECODE OUTDIR
import concurrent.futures, os, struct, subprocess, sys, wave, warnings

warnings.simplefilter("ignore", DeprecationWarning)
import audioop  # noqa: E402  (deprecated, still the reference G.711 expansion here)

ZBDECODE, OUT = sys.argv[1], sys.argv[2]
os.makedirs(OUT, exist_ok=True)
failures = []


def sox(path, rate, channels, bits, encoding="signed-integer", kind=None, seconds=0.25):
    """Seeded noise on one channel and a sweep on the other, so no stretch repeats."""
    args = ["sox", "-V1", "-D", "-R", "-n", "-r", str(rate), "-c", str(channels), "-b", str(bits), "-e", encoding]
    if kind:
        args += ["-t", kind]
    args += [path, "synth", str(seconds), "whitenoise", "sine", "200-%d" % (rate // 3), "vol", "0.7"]
    subprocess.run(args, check=True)


def read_wave(path):
    """(tag, channels, rate, bits, data) of a RIFF WAVE file, read chunk by chunk."""
    raw = open(path, "rb").read()
    at, fmt, data = 12, None, None
    while at + 8 <= len(raw):
        cid, size = raw[at:at + 4], struct.unpack("<I", raw[at + 4:at + 8])[0]
        body = raw[at + 8:at + 8 + size]
        if cid == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif cid == b"data":
            data = body
        at += 8 + size + (size & 1)
    tag, channels, rate, _, _, bits = fmt
    return tag, channels, rate, bits, data


def read_au(path):
    """The same of a .au file, with its samples turned little-endian and 8-bit ones unsigned."""
    raw = open(path, "rb").read()
    offset, size, encoding, rate, channels = struct.unpack(">5I", raw[4:24])
    data = raw[offset:] if size == 0xFFFFFFFF else raw[offset:offset + size]
    tag, bits = {1: (7, 8), 2: (1, 8), 3: (1, 16), 4: (1, 24)}[encoding]
    if tag == 1 and bits == 8:
        data = bytes(b ^ 0x80 for b in data)
    elif tag == 1:
        width = bits // 8
        data = b"".join(data[i:i + width][::-1] for i in range(0, len(data), width))
    return tag, channels, rate, bits, data


def values(tag, bits, data):
    """The source's samples as 16-bit values, in file order."""
    if tag == 6:
        return list(struct.unpack("<%dh" % len(data), audioop.alaw2lin(data, 2)))
    if tag == 7:
        return list(struct.unpack("<%dh" % len(data), audioop.ulaw2lin(data, 2)))
    if bits == 8:
        return [(b - 128) * 255 for b in data]
    if bits == 16:
        return list(struct.unpack("<%dh" % (len(data) // 2), data))
    return [struct.unpack("<h", data[i + 1:i + 3])[0] for i in range(0, len(data), 3)]


def expected(tag, channels, rate, bits, data):
    """(rate, bits, output bytes) as the module should play the file."""
    if tag == 1 and rate in (44100, 22050, 11025) and bits in (8, 16):
        return rate, bits, data
    out_rate = rate if tag != 1 else next((r for r in (44100, 22050, 11025) if rate >= r), 8000)
    samples = values(tag, bits, data)
    frames = len(samples) // channels
    count = -(-frames * out_rate // rate)
    picked = []
    for k in range(count):
        j = k * rate // out_rate
        picked.extend(samples[j * channels:(j + 1) * channels])
    return out_rate, 16, struct.pack("<%dh" % len(picked), *picked)


def play(name, source, reader):
    folder = os.path.join(OUT, name)
    os.makedirs(folder, exist_ok=True)
    out = os.path.join(folder, "out.wav")
    if os.path.exists(out):
        os.remove(out)
    try:
        r = subprocess.run([ZBDECODE, source, out], capture_output=True, text=True, timeout=120)
    except subprocess.TimeoutExpired:
        return [f"{name}: zbdecode did not end"]
    if r.returncode != 0:
        return [f"{name}: zbdecode failed: {r.stderr.strip()}"]
    info = dict(line.split(" ", 1) for line in r.stdout.splitlines() if " " in line)
    tag, channels, rate, bits, data = reader(source)
    want_rate, want_bits, want = expected(tag, channels, rate, bits, data)
    problems = []
    with wave.open(out) as w:
        got, got_rate, got_bits, got_channels = w.readframes(w.getnframes()), w.getframerate(), 8 * w.getsampwidth(), w.getnchannels()
    if (got_rate, got_bits, got_channels) != (want_rate, want_bits, channels):
        problems.append(f"{name}: played as {got_rate} Hz {got_bits} bits {got_channels} channels, "
                        f"not {want_rate} Hz {want_bits} bits {channels}")
    elif got != want:
        first = next((i for i in range(min(len(got), len(want))) if got[i] != want[i]), min(len(got), len(want)))
        problems.append(f"{name}: {len(got)} bytes played, {len(want)} computed; first difference at byte {first}")
    frame_bytes = channels * bits // 8
    length = len(data) // frame_bytes * 1000 // rate
    if abs(int(info["length_ms"]) - length) > 1:
        problems.append(f"{name}: length {info['length_ms']} ms, the data holds {length} ms")
    if int(info["samples"]) != len(want) // (channels * want_bits // 8):
        problems.append(f"{name}: zbdecode reports {info['samples']} samples played")
    return problems


jobs = []
for bits in (8, 16, 24):
    for rate in (8000, 11025, 16000, 22050, 32000, 44100, 48000, 96000):
        for channels in (1, 2):
            name = f"pcm{bits}_{rate}_{channels}"
            path = os.path.join(OUT, name + ".wav")
            sox(path, rate, channels, bits, "unsigned-integer" if bits == 8 else "signed-integer", "wavpcm")
            jobs.append((name, path, read_wave))
for encoding, label in (("a-law", "alaw"), ("mu-law", "mulaw")):
    for rate, channels in ((8000, 1), (22050, 2)):
        name = f"{label}_{rate}_{channels}"
        path = os.path.join(OUT, name + ".wav")
        sox(path, rate, channels, 8, encoding)
        jobs.append((name, path, read_wave))
for bits, encoding, rate, channels in ((16, "signed-integer", 44100, 2), (8, "signed-integer", 22050, 1),
                                       (24, "signed-integer", 48000, 2), (8, "mu-law", 8000, 1)):
    name = f"au_{encoding}{bits}_{rate}_{channels}"
    path = os.path.join(OUT, name + ".au")
    sox(path, rate, channels, bits, encoding)
    jobs.append((name, path, read_au))

with concurrent.futures.ThreadPoolExecutor(max_workers=3) as pool:
    for problems in pool.map(lambda job: play(*job), jobs):
        failures.extend(problems)

# What the module cannot play fails with a message and nothing written.
refused = [("alaw_au", ".au", 8000, 1, 8, "a-law", None), ("extensible24", ".wav", 44100, 2, 24, "signed-integer", None)]
for name, extension, rate, channels, bits, encoding, kind in refused:
    path = os.path.join(OUT, name + extension)
    sox(path, rate, channels, bits, encoding, kind)
    out = os.path.join(OUT, name + ".out.wav")
    r = subprocess.run([ZBDECODE, path, out], capture_output=True, text=True, timeout=60)
    if r.returncode != 1 or "does not play" not in r.stderr or os.path.exists(out):
        failures.append(f"{name}: status {r.returncode}, {r.stderr.strip()!r}")

for f in failures:
    print("FAIL", f)
print(f"{len(jobs)} files played")
if not failures:
    print("all decodes match")
sys.exit(1 if failures else 0)
