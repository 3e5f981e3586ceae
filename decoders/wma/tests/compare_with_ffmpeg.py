#!/usr/bin/python3
# Decodes a matrix of files made by ffmpeg's wmav1 and wmav2 encoders (every rate, mono and
# stereo, 24 to 128 kb/s, tones over noise with different channels) with zbdecode and with ffmpeg,
# aligns the two by cross-correlation and checks polarity, gain and signal-to-noise ratio.
# ffmpeg's encoders code no line spectral pairs, so a few of its files are rewritten here into
# streams that do: the encode option bit cleared and every frame replaced by a frame written
# here (random codes, levels and gains), which ffmpeg's decoder then decodes as the reference.
#
#   compare_with_ffmpeg.py ZBDECODE ZBWMAINFO FIXTURE_DIR
import concurrent.futures
import json
import math
import operator
import os
import random
import struct
import subprocess
import sys
import wave

import asf_packets

ZBDECODE, ZBWMAINFO, FIXTURES = sys.argv[1:4]
TABLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "format-tables.json")
RATES = [44100, 32000, 22050, 16000, 11025, 8000]
# The bounds, from the first measurement (at least 91.7 dB, and 33.4 dB with noise coding): the
# decoders agree to within rounding, except that with noise coding on ffmpeg's decoder adds a
# random dither of a fiftieth of a step to every coded value, which no other decoder repeats.
MIN_SNR_DB = 85.0
MIN_SNR_NOISE_CODED_DB = 30.0
# With line spectral pairs the first measurement gave 86.8 to 90.4 dB (and gain 0.000 dB): our
# envelope comes from the Q25 polynomial, ffmpeg's from floating point.
MIN_SNR_LSP_DB = 80.0
MAX_GAIN_DB = 0.1
MAX_LAG = 4096


def make(codec, rate, channels, kbps):
    path = os.path.join(FIXTURES, f"{codec}_{rate}_{channels}_{kbps}.wma")
    if not os.path.exists(path):
        left = "0.25*sin(2*PI*440*t)+0.12*sin(2*PI*(100+1500*t)*t)+0.08*(random(0)-0.5)"
        right = "0.2*sin(2*PI*660*t+1)+0.1*sin(2*PI*(3000-1200*t)*t)+0.08*(random(1)-0.5)"
        exprs = left if channels == 1 else f"{left}|{right}"
        subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                        f"aevalsrc=exprs={exprs}:d=2:s={rate}", "-c:a", codec, "-b:a", f"{kbps}k", path + ".tmp.wma"],
                       check=True)
        os.replace(path + ".tmp.wma", path)
    return path


# The files rewritten into line-spectral-pair streams: ffmpeg files without noise coding.
LSP_MATRIX = [("wmav2", 44100, 1, 64), ("wmav2", 44100, 2, 128), ("wmav2", 22050, 1, 32), ("wmav1", 44100, 2, 128),
              ("wmav1", 22050, 1, 32)]
LSP_CODE_BITS = [3, 4, 4, 4, 4, 4, 4, 4, 3, 3]


class Bits:
    def __init__(self):
        self.bits = []

    def put(self, value, n):
        self.bits += [(value >> (n - 1 - i)) & 1 for i in range(n)]

    def align(self):
        self.bits += [0] * (-len(self.bits) % 8)

    def take(self, size):
        assert len(self.bits) <= size * 8
        b = self.bits + [0] * (size * 8 - len(self.bits))
        return bytes(int("".join(map(str, b[i:i + 8])), 2) for i in range(0, size * 8, 8))


# The audio payloads of an ASF file, in order: (offset, length) of each; and the offset of the
# stream's encode options word.
def asf_payloads(data):
    size, count = struct.unpack_from("<QI", data, 16)
    pos, options_at, stream, packet_size, packets = 30, None, None, None, None
    for _ in range(count):
        guid, osize = data[pos:pos + 16], struct.unpack_from("<Q", data, pos + 16)[0]
        if guid[:4] == bytes.fromhex("a1dcab8c"):  # file properties
            packets = struct.unpack_from("<Q", data, pos + 56)[0]
            packet_size = struct.unpack_from("<I", data, pos + 92)[0]
        elif guid[:4] == bytes.fromhex("9107dcb7"):  # stream properties
            w = pos + 78
            tag = struct.unpack_from("<H", data, w)[0]
            options_at = w + (20 if tag == 0x160 else 22)
            stream = struct.unpack_from("<H", data, pos + 72)[0] & 0x7F
        pos += osize
    found = [(offset, length) for number, offset, length in asf_packets.payloads(data, size + 50, packets, packet_size)
             if number == stream]
    return options_at, found


# One frame of a stream without the bit reservoir and with line spectral pairs: the channel flags,
# the gain, ten codes a coded channel, then random run-level values up to the frame's end.
def lsp_frame(rng, tables, version, channels, frame_bits, table_set, size):
    w = Bits()
    if channels == 2:
        mid_side = rng.random() < 0.5
        coded = [1, 1] if rng.random() < 0.8 else [1, 0]
        w.put(mid_side << 2 | coded[0] << 1 | coded[1], 3)
    else:
        mid_side, coded = False, [1]
        w.put(1, 1)
    gain = rng.randint(112, 122) - (30 if version == 1 else 0)  # version 1 blocks come out 30 dB louder
    w.put(gain - 1, 7)
    for c in range(channels):
        if coded[c]:
            for bits in LSP_CODE_BITS:
                w.put(rng.randrange(1 << bits), bits)
    coefficient_bits = 13 if gain < 15 else 12 if gain < 32 else 11 if gain < 40 else 10 if gain < 45 else 9
    c0 = 3 if version == 1 else 0
    positions = (1864 >> (11 - frame_bits)) - c0
    budget = (size * 8 - 120) // channels - 80
    for c in range(channels):
        if not coded[c]:
            continue
        code = tables[f"coefficient_code_{(table_set - 1) * 2 + (1 if c == 1 and mid_side else 0)}"]
        pairs, runs = [], code["runs_per_level"]
        for level, count in enumerate(runs, 1):
            pairs += [(run, level) for run in range(count)]
        start, at = len(w.bits), 0
        while len(w.bits) - start < budget:
            if rng.random() < 0.03:  # an escape: a level of the coefficient bits
                run, level = rng.randrange(4), rng.randrange(1, 12)
                if at + run >= positions:
                    break
                w.put(code["codes"][0], code["lengths"][0])
                w.put(level, coefficient_bits)
                w.put(run * 2 + rng.randrange(2), frame_bits + 1)
            else:
                symbol = rng.choice([s for s in range(2, min(len(pairs) + 2, 40))])
                run, level = pairs[symbol - 2]
                if at + run >= positions:
                    break
                w.put(code["codes"][symbol], code["lengths"][symbol])
                w.put(rng.randrange(2), 1)
            at += run + 1
        if at < positions:  # a block whose values reach the coefficient end has no end code
            w.put(code["codes"][1], code["lengths"][1])
        if version == 1 and channels == 2:
            w.align()
    if version == 1 and channels == 2 and not coded[1]:
        w.align()
    return w.take(size)


def make_lsp(codec, rate, channels, kbps):
    source = make(codec, rate, channels, kbps)
    path = source[:-4] + "_lsp.wma"
    if os.path.exists(path):
        return path
    tables = json.load(open(TABLES))
    data = bytearray(open(source, "rb").read())
    options_at, payloads = asf_payloads(bytes(data))
    version = 1 if codec == "wmav1" else 2
    r = RATES.index(rate)
    frame_bits = 9 if r >= 3 else 10 if r == 2 or (r == 1 and version == 1) else 11
    options = struct.unpack_from("<H", data, options_at)[0]
    assert options & 2 == 0, "the rewrite needs frames without the bit reservoir"
    struct.pack_into("<H", data, options_at, options & ~1)
    avg = struct.unpack_from("<I", data, options_at - (20 if version == 1 else 22) + 8)[0]
    bps1 = 8 * avg / (rate * channels) * (1.6 if channels == 2 else 1)
    table_set = 3 if r >= 2 or bps1 >= 1.16 else 2 if bps1 >= 0.72 else 1
    align = struct.unpack_from("<H", data, options_at - (20 if version == 1 else 22) + 12)[0]
    stream = b"".join(lsp_frame(random.Random(k), tables, version, channels, frame_bits, table_set, align)
                      for k in range((sum(n for _, n in payloads) + align - 1) // align))
    at = 0
    for offset, length in payloads:
        data[offset:offset + length] = stream[at:at + length]
        at += length
    open(path + ".tmp", "wb").write(data)
    os.replace(path + ".tmp", path)
    return path


def samples(data, channels):
    values = struct.unpack(f"<{len(data) // 2}h", data[:len(data) // 2 * 2])
    return [values[c::channels] for c in range(channels)]


def dot(a, b):
    return sum(map(operator.mul, a, b))


# The lag of `ours` against `ref` that correlates best (ours[i] ~ ref[i + lag]).
def align(ours, ref):
    start = min(len(ours) // 2, 8192)
    window = ours[start:start + 2048]
    best, best_lag = None, 0
    for lag in range(-MAX_LAG, MAX_LAG + 1):
        at = start + lag
        if at < 0 or at + len(window) > len(ref):
            continue
        part = ref[at:at + len(window)]
        score = dot(window, part) / math.sqrt(dot(part, part) + 1.0)
        if best is None or score > best:
            best, best_lag = score, lag
    return best_lag


def compare(path):
    name = os.path.basename(path)
    out = path[:-4] + ".zb.wav"
    run = subprocess.run([ZBDECODE, path, out], capture_output=True, text=True, timeout=120)
    if run.returncode != 0:
        return name, f"zbdecode failed ({run.returncode}): {run.stderr.strip()}", None
    ref_run = subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-i", path, "-f", "s16le", "-"],
                             capture_output=True, check=True)
    with wave.open(out) as w:
        channels = w.getnchannels()
        ours = samples(w.readframes(w.getnframes()), channels)
    ref = samples(ref_run.stdout, channels)
    lag = align(ours[0], ref[0])
    lo, hi = max(0, -lag), min(len(ours[0]), len(ref[0]) - lag)
    stats = []
    for c in range(channels):
        a, b = ours[c][lo:hi], ref[c][lo + lag:hi + lag]
        signal, mine, cross = dot(b, b), dot(a, a), dot(a, b)
        error = sum((x - y) * (x - y) for x, y in zip(a, b))
        snr = 10 * math.log10(signal / max(error, 1e-9))
        gain = 10 * math.log10(max(mine, 1e-9) / max(signal, 1e-9))
        stats.append((snr, gain, cross > 0))
    return name, None, (lag, len(ours[0]), len(ref[0]), stats)


def main():
    os.makedirs(FIXTURES, exist_ok=True)
    matrix = [(c, r, ch, k) for c in ("wmav1", "wmav2") for r in RATES for ch in (1, 2) for k in (24, 32, 48, 128)]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        paths = list(pool.map(lambda m: make(*m), matrix))
        lsp = list(pool.map(lambda m: make_lsp(*m), LSP_MATRIX))
    paths += lsp
    with concurrent.futures.ProcessPoolExecutor(4) as pool:
        results = list(pool.map(compare, paths))
    failures = []
    for name, error, info in results:
        if error:
            failures.append(f"{name}: {error}")
            continue
        lag, ours, ref, stats = info
        noise_coded = noise_coding(os.path.join(FIXTURES, name))
        lsp = name.endswith("_lsp.wma")
        if lsp and noise_coded:
            failures.append(f"{name}: a rewritten file must not code noise")
        floor = MIN_SNR_NOISE_CODED_DB if noise_coded else MIN_SNR_LSP_DB if lsp else MIN_SNR_DB
        line = f"{name}: lag {lag}, {ours} vs {ref} samples, " + ", ".join(
            f"ch{c} snr {s:.1f} dB gain {g:+.3f} dB" for c, (s, g, _) in enumerate(stats))
        print(line + (" (noise coding)" if noise_coded else ""))
        for c, (snr, gain, positive) in enumerate(stats):
            if not positive:
                failures.append(f"{name}: channel {c} inverted")
            if abs(gain) > MAX_GAIN_DB:
                failures.append(f"{name}: channel {c} gain {gain:+.3f} dB")
            if snr < floor:
                failures.append(f"{name}: channel {c} SNR {snr:.1f} dB below {floor} dB")
        if ours < ref - 2 * 2048:
            failures.append(f"{name}: {ours} samples, ffmpeg {ref}")
    for f in failures:
        print("FAIL", f)
    if not failures:
        print(f"all {len(results)} decodes match")
    return 1 if failures else 0


# Whether the stream codes noise, as zbwmainfo's set-up says.
def noise_coding(path):
    run = subprocess.run([ZBWMAINFO, path], capture_output=True, text=True, timeout=60)
    return "decoder.noise_coding 1" in run.stdout.splitlines()


if __name__ == "__main__":
    sys.exit(main())
