#!/usr/bin/python3
# Decodes a matrix of files made by ffmpeg's wmav1 and wmav2 encoders (every rate, mono and
# stereo, 24 to 128 kb/s, tones over noise with different channels) with zbdecode and with ffmpeg,
# aligns the two by cross-correlation and checks polarity, gain and signal-to-noise ratio.
#
#   compare_with_ffmpeg.py ZBDECODE ZBWMAINFO FIXTURE_DIR
import concurrent.futures
import math
import operator
import os
import struct
import subprocess
import sys
import wave

ZBDECODE, ZBWMAINFO, FIXTURES = sys.argv[1:4]
RATES = [44100, 32000, 22050, 16000, 11025, 8000]
# The bounds, from the first measurement (at least 91.7 dB, and 33.4 dB with noise coding): the
# decoders agree to within rounding, except that with noise coding on ffmpeg's decoder adds a
# random dither of a fiftieth of a step to every coded value, which no other decoder repeats.
MIN_SNR_DB = 85.0
MIN_SNR_NOISE_CODED_DB = 30.0
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
    with concurrent.futures.ProcessPoolExecutor(4) as pool:
        results = list(pool.map(compare, paths))
    failures = []
    for name, error, info in results:
        if error:
            failures.append(f"{name}: {error}")
            continue
        lag, ours, ref, stats = info
        noise_coded = noise_coding(os.path.join(FIXTURES, name))
        floor = MIN_SNR_NOISE_CODED_DB if noise_coded else MIN_SNR_DB
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
