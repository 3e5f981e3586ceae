#!/usr/bin/python3
# Runs zbwmainfo over a matrix of files made by ffmpeg's wmav1 and wmav2 encoders and checks every
# printed value against an independent view: ffprobe for the stream and the tags, a reading of
# the ASF header and data packets written here, and the decoder's set-up arithmetic done here in
# Python integers (checked first against the worked example). 48 kHz files and a format tag of
# 0x130 must be refused.
#
#   compare_wmainfo.py ZBWMAINFO FIXTURE_DIR FORMAT_TABLES_JSON
import concurrent.futures
import json
import os
import struct
import subprocess
import sys

import asf_packets

ZBWMAINFO, FIXTURES, TABLES = sys.argv[1:4]
RATES = [44100, 32000, 22050, 16000, 11025, 8000]
TAGS = {"title": "Tïtle ✓", "artist": "Ärtist", "copyright": "(c) 2026", "comment": "a comment"}
HEADER_GUID = bytes.fromhex("3026b2758e66cf11a6d900aa0062ce6c")
FILE_PROPS = bytes.fromhex("a1dcab8c47a9cf118ee400c00c205365")
STREAM_PROPS = bytes.fromhex("9107dcb7b7a9cf118ee600c00c205365")
DESCRIPTION = bytes.fromhex("3326b2758e66cf11a6d900aa0062ce6c")
AUDIO_MEDIA = bytes.fromhex("409e69f84d5bcf11a8fd00805f5c442b")
failures = []


def fail(name, what):
    failures.append(f"{name}: {what}")


# --- the set-up arithmetic -------------------------------------------------------------------
def hi(a, b):
    return (a * b) >> 32


def s32(x):
    return x - (1 << 32) if x & 0x80000000 else x


def band_rows(data):
    freqs = data["critical_frequencies_hz"]

    def v1(r):
        length, rate = 1 << frame_bits(r, 1), RATES[r]
        edges = []
        for f in freqs:
            edges.append(min(length, (2 * length * f + rate // 2) // rate))
            if edges[-1] >= length:
                break
        return edges

    def v2(r, bits):
        length, rate = 1 << bits, RATES[r]
        key = {0: "band_widths_44100", 1: "band_widths_32000", 2: "band_widths_22050"}.get(r)
        if key and 7 <= bits <= 9:
            w = data[key][bits - 7]
            return [sum(w[1:i + 2]) for i in range(w[0])]
        edges, last = [], 0
        for f in freqs:
            e = min(length, 4 * ((2 * length * f + 2 * rate) // (4 * rate)))
            if e > last:
                edges.append(e)
                last = e
            if e >= length:
                break
        return edges
    return v1, v2


def frame_bits(r, version):
    return 9 if r >= 3 else 10 if (r == 2 or (r == 1 and version == 1)) else 11


def setup(version, r, channels, b, options, rows):
    v1rows, v2rows = rows
    p = {}
    fb = frame_bits(r, version)
    p["frame_length_bits"] = fb
    p["bit_reservoir"] = (options >> 1) & 1
    p["exponent_coding"] = "huffman" if options & 1 else "lsp"
    count = 0
    if (options & 2) and (options & 4):
        count = ((options >> 3) & 3) + 1 + (2 if b // channels >= 4000 else 0)
        count = min(count, fb - 7)
    p["block_size_count"] = count
    p["block_size_index_bits"] = count.bit_length() if count else 0
    # Q28 in as many bits as it takes (a 32-bit word would wrap at 16 bits a sample).
    x = ((b & 0x7FFF) << 16) if r == 0 else ((b << 17) << ((r - 1) >> 1))
    bps = hi(x, 0x83126E98 if r & 1 else 0xBE37C63A) // channels
    bps1 = hi(bps, 0xCCCCCCCD) * 2 if channels == 2 else bps
    p["bits_per_sample_q28"], p["bits_per_sample1_q28"] = bps, bps1
    # Q28 is 8 B / (C rate): the fixed point must agree with the plain quotient to 2^-20.
    assert abs(bps / 2 ** 28 - 8 * b / (channels * RATES[r])) < 2 ** -20, (b, r, channels)
    table = 3
    if r < 2:
        table = 1 if bps1 < 0x0B851EB8 else 2 if bps1 < 0x128F5C29 else 3
    p["table_set"] = table
    classes = [(0, 0x33333333, 0xFFFFFFFF, 0x09C28F5C, 0), (0x60000000, 0x4CCCCCCD, 0x40000000, 0x0CCCCCCD, 0x0999999A),
               (0, 0x5999999A, 0x4CCCCCCD, 0x128F5C29, 0x0B851EB8), (0x40000000, 0x26666666, 0xFFFFFFFF, 0x08000001, 0),
               (0x5999999A, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0xFFFFFFFF), (0, 0x53333333, 0x40000000, 0x0C000001, 0x0A000001)]
    cls = r if version == 1 else 0 if r == 0 else 2 if r <= 2 else r
    f0, f1, f2, t0, t1 = classes[cls]
    v = bps1 if cls in (0, 2) else bps
    factor = f0 if v >= s32(t0) else f1 if v >= s32(t1) else f2
    h = (RATES[r] >> 1) << 17
    if factor:
        h = hi(factor, h)
    high = (h + 0x8000) >> 16
    p["high_frequency_hz"] = high
    noise = 1 if factor else 0
    p["noise_multiplier_q12"] = 82 if options & 1 else 164

    def start(bits):
        per = ((1 << bits) << 20) // RATES[r]
        return (hi((per << 9) & 0xFFFFFFFF, (high << 16) & 0xFFFFFFFF) + 0x800) >> 12

    bands = {}
    for k in range(count + 1):
        bits = fb - k
        s = start(bits)
        p[f"high_band_start.{1 << bits}"] = s
        assert abs(s - 2 * (1 << bits) * high / RATES[r]) <= 1
        edges = v1rows(r) if version == 1 else v2rows(r, bits)
        first = next((i for i, e in enumerate(edges) if e > s), None)
        if version == 1 and first is None:
            noise = 0
        bands[1 << bits] = first if first is not None else len(edges) - 1
    if noise:
        for n, band in bands.items():
            p[f"first_high_band.{n}"] = band
    p["noise_coding"] = noise
    n = ((bps >> (13 - fb)) + 0x20000) >> 18
    top = max(n.bit_length() - 1, 0)
    p["byte_offset_bits"], p["header_bits"] = top + 2, top + 13
    return {f"decoder.{k}": str(v) for k, v in p.items()}


def check_worked_example(rows):
    p = setup(2, 0, 2, 4000, 2 | 4 | 0x18, rows)
    want = {"frame_length_bits": "11", "bits_per_sample_q28": "97391548", "bits_per_sample1_q28": "155826476",
            "table_set": "1", "high_frequency_hz": "8820", "high_band_start.2048": "819", "high_band_start.128": "51",
            "byte_offset_bits": "8", "header_bits": "19"}
    for k, v in want.items():
        assert p["decoder." + k] == v, (k, p["decoder." + k], v)
    assert setup(1, 2, 1, 4000, 0, rows)["decoder.frame_length_bits"] == "10"
    assert setup(2, 1, 1, 4000, 0, rows)["decoder.frame_length_bits"] == "11"


# --- the file, read here ---------------------------------------------------------------------
def read_asf(path):
    data = open(path, "rb").read()
    assert data[:16] == HEADER_GUID
    size, count = struct.unpack_from("<QI", data, 16)
    info, pos = {"header_size": size}, 30
    for _ in range(count):
        guid, osize = data[pos:pos + 16], struct.unpack_from("<Q", data, pos + 16)[0]
        if guid == FILE_PROPS:
            info["packet_count"] = struct.unpack_from("<Q", data, pos + 56)[0]
            info["send_duration"] = struct.unpack_from("<Q", data, pos + 72)[0]
            info["preroll"] = struct.unpack_from("<Q", data, pos + 80)[0]
            info["packet_size"] = struct.unpack_from("<I", data, pos + 92)[0]
        elif guid == DESCRIPTION:
            lengths = struct.unpack_from("<5H", data, pos + 24)
            at, texts = pos + 34, []
            for n in lengths:
                texts.append(data[at:at + n].decode("utf-16-le").rstrip("\0"))
                at += n
            info["description"] = texts
        elif guid == STREAM_PROPS and data[pos + 24:pos + 40] == AUDIO_MEDIA:
            w = pos + 78
            tag, ch, rate, avg, align = struct.unpack_from("<HHIIH", data, w)
            info.update(tag=tag, channels=ch, rate=rate, avg=avg, align=align,
                        stream=struct.unpack_from("<H", data, pos + 72)[0] & 0x7F, format_at=w)
            info["spb"], info["options"] = ((struct.unpack_from("<HH", data, w + 18)) if tag == 0x160
                                            else (struct.unpack_from("<I", data, w + 18)[0],
                                                  struct.unpack_from("<H", data, w + 22)[0]))
        pos += osize
    # The data packets: count the audio stream's payloads and bytes.
    payloads, audio = 0, 0
    for stream, _, length in asf_packets.payloads(data, size + 50, info["packet_count"], info["packet_size"]):
        if stream == info["stream"]:
            payloads += 1
            audio += length
    info["audio_payloads"], info["audio_bytes"] = payloads, audio
    return info


def ffprobe(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-show_format", "-print_format", "json", path],
                         check=True, capture_output=True, text=True).stdout
    return json.loads(out)


def zbwmainfo(path):
    run = subprocess.run([ZBWMAINFO, path], capture_output=True, text=True)
    values = {}
    for line in run.stdout.splitlines():
        key, _, value = line.partition(" ")
        values[key] = value
    return run.returncode, values


def make(codec, rate, channels, kbps):
    path = os.path.join(FIXTURES, f"{codec}_{rate}_{channels}_{kbps}.wma")
    if not os.path.exists(path):
        meta = [a for k, v in TAGS.items() for a in ("-metadata", f"{k}={v}")]
        subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                        f"sine=frequency=440:duration=2:sample_rate={rate}", "-ac", str(channels), "-c:a", codec,
                        "-b:a", f"{kbps}k", *meta, path], check=True)
    return path


def check(path, rows):
    name = os.path.basename(path)
    status, got = zbwmainfo(path)
    if status != 0:
        return fail(name, f"refused: {got}")
    asf, probe = read_asf(path), ffprobe(path)
    stream, fmt = probe["streams"][0], probe["format"]
    version = 1 if asf["tag"] == 0x160 else 2
    r = RATES.index(asf["rate"])
    want = {
        "format.codec_version": version, "format.rate_index": r, "format.sample_rate": stream["sample_rate"],
        "format.channels": stream["channels"], "format.packet_size": asf["packet_size"],
        "format.avg_bytes_per_second": asf["avg"], "format.block_align": asf["align"],
        "format.bit_rate": stream["bit_rate"], "length_ms": asf["send_duration"] // 10000,
        "header.codec_version": version, "header.sample_rate": asf["rate"], "header.channels": asf["channels"],
        "header.block_align": asf["align"], "header.samples_per_block": asf["spb"],
        "header.encode_options": asf["options"], "header.audio_stream": asf["stream"],
        "header.packet_size": asf["packet_size"], "header.packet_count": asf["packet_count"],
        "header.preroll_ms": asf["preroll"], "header.header_size": asf["header_size"],
        "header.data_start": asf["header_size"] + 50, "header.extra_data_length": 0, "format.extra_data_length": 0,
        "header.avg_bytes_per_second": asf["avg"],
        "description.title": fmt["tags"]["title"], "description.author": fmt["tags"]["artist"],
        "description.copyright": fmt["tags"]["copyright"], "description.description": asf["description"][3],
        "description.rating": asf["description"][4],
        "packets.read": asf["packet_count"], "packets.audio_payloads": asf["audio_payloads"],
        "packets.audio_bytes": asf["audio_bytes"], "packets.stream_packets": asf["audio_bytes"] // asf["align"],
        "packets.stream_bytes": asf["audio_bytes"], "packets.dropped": 0, "packets.end": 6,
    }
    want.update(setup(version, r, asf["channels"], asf["avg"], asf["options"], rows))
    # ffprobe's length (ms) is the play length: the send duration less at most one packet.
    if abs(float(fmt["duration"]) * 1000 - asf["send_duration"] / 10000) > 100:
        fail(name, f"length: ffprobe {fmt['duration']} s, file {asf['send_duration']}")
    if int(stream["bit_rate"]) != asf["avg"] * 8:
        fail(name, "ffprobe's bit rate is not the stream's byte rate")
    for key, value in want.items():
        if got.get(key) != str(value):
            fail(name, f"{key}: printed {got.get(key)!r}, expected {value!r}")
    for key in got:
        if key not in want and key not in ("create", "parse", "header.span_bytes"):
            fail(name, f"{key} printed but not checked")
    return want


def main():
    os.makedirs(FIXTURES, exist_ok=True)
    rows = band_rows(json.load(open(TABLES)))
    check_worked_example(rows)
    matrix = [(c, r, ch, k) for c in ("wmav1", "wmav2") for r in RATES for ch in (1, 2) for k in (24, 32, 48, 128)]
    with concurrent.futures.ThreadPoolExecutor(3) as pool:
        paths = list(pool.map(lambda m: make(*m), matrix))
        wants = [w or {} for w in pool.map(lambda p: check(p, rows), paths)]
    files = len(wants)
    tables = {w.get("decoder.table_set") for w in wants}
    noise = {w.get("decoder.noise_coding") for w in wants}
    # The matrix reaches every table set and both sides of the noise threshold.
    if not {"1", "2", "3"} <= tables or not {"0", "1"} <= noise:
        fail("matrix", f"table sets {tables}, noise coding {noise}")
    # Refused: 48 kHz (no rate index) and format tag 0x130 (no decoder).
    for codec in ("wmav1", "wmav2"):
        status, got = zbwmainfo(make(codec, 48000, 2, 128))
        if status == 0 or got.get("parse") != "7":
            fail(f"{codec} 48 kHz", f"not refused with 7: {got.get('parse')}")
    source = make("wmav2", 44100, 2, 128)
    data = bytearray(open(source, "rb").read())
    struct.pack_into("<H", data, read_asf(source)["format_at"], 0x130)
    patched = os.path.join(FIXTURES, "format_130.wma")
    open(patched, "wb").write(data)
    status, got = zbwmainfo(patched)
    if status == 0 or got.get("create") != "19" or got.get("parse") != "19":
        fail("format 0x130", f"create {got.get('create')}, parse {got.get('parse')}")
    for f in failures:
        print(f)
    if failures:
        sys.exit(1)
    print(f"all {files} files match")


main()
