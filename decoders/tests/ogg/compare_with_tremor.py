#!/usr/bin/python3
# Plays the Ogg fixtures (make_fixtures.py) through `zbdecode` into WAVE files on the waveOut
# device and holds them to Tremor's own decode of the same file by `ogg_plain_decode`, which is
# linked without the module's wrapping. With the equaliser off the module adds nothing, so:
#  - every playable file's PCM is bit-identical to the plain decode, run by run of one format
#    (a chained file whose second link has another rate and channel count plays in two runs),
#    and the length the module reports is the decoded duration within 1 ms;
#  - a seek lands exactly where Tremor's own seek to the same time does;
#  - a cut file, a damaged page and a file of headers alone play what is valid, exactly;
#  - a three-channel file, an empty file and an Ogg file without a Vorbis stream are refused, and a
#    chained file whose second link has 64 channels plays its first link and ends early there;
#  - nothing crashes or hangs (each run has a timeout).
#   compare_with_tremor.py ZBDECODE PLAIN FIXTURES OUTDIR
import os, subprocess, sys, wave

ZBDECODE, PLAIN, FIXTURES, OUT = sys.argv[1:5]
os.makedirs(OUT, exist_ok=True)
failures = []

PLAYABLE = ["m8k_q0", "s11k_q2", "m16k_qm1", "s22k_q4", "m32k_q6", "s44k_q3", "s44k_qm1", "s44k_q10",
            "s48k_q8", "m48k_q5", "chain_alike", "chain_formats", "tagged", "empty_artist", "no_comments",
            "truncated", "corrupt_page", "headers_only", "chain_wide"]
SEEKS = [("s44k_q3", 0), ("s44k_q3", 1234), ("s44k_q3", 3999), ("chain_alike", 1800), ("m8k_q0", 700),
         ("s48k_q8", 555), ("chain_formats", 2000)]
REFUSED = ["three_channels", "empty", "no_vorbis"]


def run(args, timeout=60):
    try:
        r = subprocess.run(args, capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        failures.append(f"{args} did not end"); return None, {}
    if r.returncode < 0:
        failures.append(f"{args} died of signal {-r.returncode}: {r.stderr[-300:]}")
    info = dict(l.split(" ", 1) for l in r.stdout.splitlines() if " " in l and not l.startswith("segment"))
    return r, info


def plain(name, seek=None):
    """Tremor's segments: [(rate, channels, bytes)]."""
    raw = os.path.join(OUT, name + (f"@{seek}" if seek is not None else "") + ".raw")
    r, _ = run([PLAIN, os.path.join(FIXTURES, name + ".ogg"), raw] + (["--seek", str(seek)] if seek is not None else []))
    if r is None: return None, []
    data = open(raw, "rb").read() if os.path.exists(raw) else b""
    segments, at = [], 0
    for line in r.stdout.splitlines():
        if line.startswith("segment"):
            _, rate, channels, size = line.split()
            segments.append((int(rate), int(channels), data[at:at + int(size)]))
            at += int(size)
    return r, segments


def played(stem):
    """The module's runs: the device writes one WAVE file per format, "x.wav", "x-2.wav" ..."""
    files = sorted((f for f in os.listdir(OUT) if f == stem + ".wav" or (f.startswith(stem + "-") and f.endswith(".wav"))),
                   key=lambda f: 0 if f == stem + ".wav" else int(f[len(stem) + 1:-4]))
    runs = []
    for f in files:
        w = wave.open(os.path.join(OUT, f))
        runs.append((w.getframerate(), w.getnchannels(), w.readframes(w.getnframes())))
    return [r for r in runs if r[2]]


def zbdecode(name, stem, extra=()):
    for f in os.listdir(OUT):
        if f.startswith(stem) and f.endswith(".wav"): os.remove(os.path.join(OUT, f))
    return run([ZBDECODE, os.path.join(FIXTURES, name + ".ogg"), os.path.join(OUT, stem + ".wav")] + list(extra))


def same_runs(label, got, want):
    if [(r, c, len(d)) for r, c, d in got] != [(r, c, len(d)) for r, c, d in want]:
        failures.append(f"{label}: runs {[(r, c, len(d)) for r, c, d in got]} != Tremor's {[(r, c, len(d)) for r, c, d in want]}")
        return
    for i, (g, w) in enumerate(zip(got, want)):
        if g[2] != w[2]:
            first = next(k for k in range(len(w[2])) if g[2][k] != w[2][k])
            failures.append(f"{label}: run {i} differs from Tremor's from byte {first}")


for name in PLAYABLE:
    r, info = zbdecode(name, name)
    if r is None: continue
    if r.returncode != 0:
        failures.append(f"{name}: zbdecode failed: {r.stderr.strip()}"); continue
    _, want = plain(name)
    ends = "0"
    if name == "chain_wide":
        want, ends = want[:1], "1"
    same_runs(name, played(name), want)
    duration = sum(len(d) / (2 * c) / rate * 1000 for rate, c, d in want)
    length = int(info.get("length_ms", "-1"))
    if name == "headers_only":
        if length != 1000: failures.append(f"{name}: a file of no length reports {length} ms, not 1000")
    elif name not in ("corrupt_page", "chain_wide") and abs(length - duration) > 1:  # lengths count what is not played
        failures.append(f"{name}: length {length} ms for {duration:.1f} ms decoded")
    if info.get("end_status") != ends: failures.append(f"{name}: ended with status {info.get('end_status')}")

for name, ms in SEEKS:
    stem = f"{name}@{ms}"
    r, info = zbdecode(name, stem, ["--seek", str(ms)])
    if r is None or r.returncode != 0:
        failures.append(f"{stem}: zbdecode failed"); continue
    _, want = plain(name, ms)
    same_runs(stem, played(stem), want)

for name in REFUSED:
    r, _ = zbdecode(name, name)
    if r is not None and (r.returncode != 1 or "does not play" not in r.stderr):
        failures.append(f"{name}: not refused ({r.returncode}, {r.stderr.strip()})")

r, _ = run([ZBDECODE, "--help"])
if r is not None and (r.returncode != 0 or not r.stdout.startswith("usage: zbdecode")):
    failures.append("zbdecode --help does not print its usage")

if failures:
    print("\n".join(failures)); sys.exit(1)
print("all decodes match")
