#!/usr/bin/python3
# Runs `zbdecode` on each file that make_not_mp3.py made (WAVE, Ogg, pictures, random bytes and
# text, all named .mp3) into a WAVE file on the waveOut device, and checks that each is refused:
# status 1, a message that says so, and no sample written.
#   refuse_not_mp3.py ZBDECODE FIXTURES
import os, subprocess, sys, wave

ZBDECODE, FIXTURES = sys.argv[1], sys.argv[2]
EXPECTED = ["wave8", "wave16", "wave24", "wave24_stereo", "ogg_q10", "picture_jpeg", "picture_png", "random", "text"]
failures = []

for name in EXPECTED:
    path = os.path.join(FIXTURES, name + ".mp3")
    if not os.path.exists(path):
        failures.append(f"{name}: no fixture at {path}"); continue
    out = os.path.join(FIXTURES, name + ".out.wav")
    if os.path.exists(out): os.remove(out)
    try:
        r = subprocess.run([ZBDECODE, path, out], capture_output=True, text=True, timeout=60)
    except subprocess.TimeoutExpired:
        failures.append(f"{name}: zbdecode did not end"); continue
    samples = 0
    if os.path.exists(out):
        try:
            with wave.open(out) as w: samples = w.getnframes()
        except (wave.Error, EOFError):
            samples = os.path.getsize(out)
    if r.returncode != 1 or "does not play" not in r.stderr:
        failures.append(f"{name}: status {r.returncode}, '{r.stderr.strip()}', {r.stdout.split()[-2:]} - not refused")
    if samples:
        failures.append(f"{name}: {samples} samples written")

if failures:
    print("\n".join(failures)); sys.exit(1)
print(f"all {len(EXPECTED)} refused")
