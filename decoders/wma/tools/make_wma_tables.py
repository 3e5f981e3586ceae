#!/usr/bin/python3
# Writes the WMA decoder's constant tables as C++ (wma_tables.cpp) at build time: the Huffman codes
# of data/format-tables.json in the decoder's two lookup layouts with their run-level words, the
# band edge rows, the Q30 pair codebook, and the trigonometric and power tables of the transform
# and the envelope. The decoder itself holds no floating point; this script computes once here.
#
#   make_wma_tables.py FORMAT_TABLES_JSON OUT_CPP
import json
import math
import sys

RATES = [44100, 32000, 22050, 16000, 11025, 8000]
TREE_INVALID = 1023     # symbol of an unused tree slot
LEVELS_INVALID = 2047   # symbol of an unused multi-level slot


def frame_bits(rate_index, version):
    if rate_index >= 3:
        return 9
    if rate_index == 2 or (rate_index == 1 and version == 1):
        return 10
    return 11


def code_bits(code, length):
    return [(code >> (length - 1 - i)) & 1 for i in range(length)]


class Trie:
    """The codes as a binary trie; leaf(prefix) finds the code a prefix completes or passes."""

    def __init__(self, codes, lengths):
        self.codes = [(c, n, s) for s, (c, n) in enumerate(zip(codes, lengths)) if n > 0]
        self.max_length = max(n for _, n, _ in self.codes)

    def leaf(self, prefix, prefix_len):
        for code, length, symbol in self.codes:
            if length <= prefix_len and (prefix >> (prefix_len - length)) == code:
                return symbol, length
        return None

    def extends(self, prefix, prefix_len):
        """The longest code that begins with the prefix, 0 when none does."""
        longest = 0
        for code, length, _ in self.codes:
            if length > prefix_len and (code >> (length - prefix_len)) == prefix:
                longest = max(longest, length)
        return longest


def tree_layout(codes, lengths):
    """Layout 0: u16 entries; a leaf has bit 15, its symbol in bits 0-9 and its length in bits
    10-14; any other entry is the distance to its children, indexed by the next two bits for code
    bits 1 to 16 and by the next single bit after that."""
    trie = Trie(codes, lengths)
    out = [0, None, None, None, None]
    queue = [(0, 0, 1, 2)]
    while queue:
        prefix, plen, base, width = queue.pop(0)
        for v in range(1 << width):
            p, pl = (prefix << width) | v, plen + width
            found = trie.leaf(p, pl)
            if found:
                out[base + v] = 0x8000 | found[1] << 10 | found[0]
            elif trie.extends(p, pl):
                child_width = 2 if pl < 16 else 1
                at = len(out)
                out.extend([None] * (1 << child_width))
                assert at - (base + v) < 0x8000
                out[base + v] = at - (base + v)
                queue.append((p, pl, at, child_width))
            else:
                out[base + v] = 0x8000 | min(pl, 31) << 10 | TREE_INVALID
    return out


def levels_layout(codes, lengths, first_bits):
    """Layout n: a first level indexed by n bits; a leaf has bits 3-4 not both 0, its symbol in
    bits 5-15 and its length + 7 in bits 0-4; any other entry holds the next level's bit count in
    bits 0-2 and the byte distance to that level from bit 4 on."""
    trie = Trie(codes, lengths)
    out = [first_bits] + [None] * (1 << first_bits)
    queue = [(0, 0, 1, first_bits)]
    while queue:
        prefix, plen, base, width = queue.pop(0)
        for v in range(1 << width):
            p, pl = (prefix << width) | v, plen + width
            found = trie.leaf(p, pl)
            longest = trie.extends(p, pl)
            if found:
                out[base + v] = found[0] << 5 | (found[1] + 7)
            elif longest:
                child_width = min(5, longest - pl)  # wider levels would lie too far apart
                at = len(out)
                out.extend([None] * (1 << child_width))
                distance = 2 * (at - (base + v))
                assert distance < 4096, "a level lies too far from its parent"
                out[base + v] = distance << 4 | child_width
                queue.append((p, pl, at, child_width))
            else:
                out[base + v] = LEVELS_INVALID << 5 | (min(pl, 24) + 7)
    return out


def run_levels(runs_per_level):
    """One word per symbol from 2 on: k in bits 0-5, the level in bits 6 to k-1, the run above."""
    words = []
    for level, count in enumerate(runs_per_level, 1):
        k = 6 + level.bit_length()
        for run in range(count):
            assert run < (1 << (16 - k))
            words.append(k | level << 6 | run << k)
    return words


def band_rows(data):
    """42 rows of band upper edges: rows 0-5 version 1 by rate index, then six rows per rate for
    version 2 (block lengths 2048 down to 64). A row of count 0 is refused by the decoder."""
    freqs = data["critical_frequencies_hz"]
    rows = []
    for r, rate in enumerate(RATES):
        length = 1 << frame_bits(r, 1)
        edges = []
        for f in freqs:
            edge = min(length, (2 * length * f + rate // 2) // rate)
            edges.append(edge)
            if edge >= length:
                break
        rows.append(edges)
    classes = {0: "band_widths_44100", 1: "band_widths_32000", 2: "band_widths_22050"}
    for r, rate in enumerate(RATES):
        for bits in range(11, 5, -1):
            length = 1 << bits
            if bits == 6:
                rows.append([])  # the rule misses the published counts here: refused
            elif r in classes and 7 <= bits <= 9:
                widths = data[classes[r]][bits - 7]
                edges, at = [], 0
                for w in widths[1:1 + widths[0]]:
                    at += w
                    edges.append(at)
                rows.append(edges)
            else:
                edges, last = [], 0
                for f in freqs:
                    edge = min(length, 4 * ((2 * length * f + 2 * rate) // (4 * rate)))
                    if edge > last:
                        edges.append(edge)
                        last = edge
                    if edge >= length:
                        break
                rows.append(edges)
    return rows


def q(value, bits):
    """value in Q(bits), rounded and kept inside a signed 32-bit word."""
    return max(-0x80000000, min(0x7FFFFFFF, int(round(value * (1 << bits)))))


def sine_slopes():
    """Per slope bits m = 7..11 a section at 4096 - 2^(m+1) of 2^(m-1) pairs {sine step, cosine
    step}: stepping s up and c down by step << 9 walks sin and cos of (2k+1)pi / 2^(m+2)."""
    table = [0] * 4096
    for m in range(7, 12):
        at = 4096 - (1 << (m + 1))
        s_prev, c_prev = 0, 0
        for k in range(1 << (m - 1)):
            angle = (2 * k + 1) * math.pi / (1 << (m + 2))
            s = int(round(math.sin(angle) * 2 ** 31 / 512))
            c = int(round((0x7FFFFFFF - math.cos(angle) * 2 ** 31) / 512))
            table[at + 2 * k] = s - s_prev
            table[at + 2 * k + 1] = c - c_prev
            assert 0 <= s - s_prev < 65536 and 0 <= c - c_prev < 65536
            s_prev, c_prev = s, c
    return table


def fft_twiddles():
    """Stage after stage (radix-4 sizes 16, 64, 256, 1024), for each k the twiddles W(2t), W(t),
    W(3t) with t = 2 pi k / L, each as {cos + sin, -sin} in Q30."""
    out = []
    for size in (16, 64, 256, 1024):
        for k in range(size // 4):
            theta = 2 * math.pi * k / size
            for phi in (2 * theta, theta, 3 * theta):
                out.append((q(math.cos(phi) + math.sin(phi), 30), q(-math.sin(phi), 30)))
    return out


def emit(name, ctype, values, per_line=12):
    lines = [f"const {ctype} {name}[{len(values)}] = {{"]
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(str(v) for v in values[i:i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


def main():
    data = json.load(open(sys.argv[1]))
    parts = ['// Generated by make_wma_tables.py from format-tables.json; do not edit.',
             '#include "wma_tables.h"', '']
    exp = data["exponent_code"]
    parts.append(emit("kWmaExponentCode", "uint16_t", tree_layout(exp["codes"], exp["lengths"])))
    gain = data["high_band_gain_code"]
    parts.append(emit("kWmaHighBandCode", "uint16_t", tree_layout(gain["codes"], gain["lengths"])))
    first_bits = {0: 2, 1: 2, 2: 3, 3: 4}
    for c in range(6):
        code = data[f"coefficient_code_{c}"]
        if c in first_bits:
            table = levels_layout(code["codes"], code["lengths"], first_bits[c])
        else:
            table = tree_layout(code["codes"], code["lengths"])
        parts.append(emit(f"kCoefficientCode{c}", "uint16_t", table))
        words = run_levels(code["runs_per_level"])
        assert len(words) + 2 == len(code["codes"])
        parts.append(emit(f"kRunLevels{c}", "uint16_t", words))
    parts.append("const uint16_t* const kWmaCoefficientCodes[6] = {" +
                 ", ".join(f"kCoefficientCode{c}" for c in range(6)) + "};")
    parts.append("const uint16_t* const kWmaRunLevels[6] = {" +
                 ", ".join(f"kRunLevels{c}" for c in range(6)) + "};")
    parts.append("const uint16_t kWmaRunLevelCount[6] = {" +
                 ", ".join(str(len(data[f"coefficient_code_{c}"]["codes"]) - 2) for c in range(6)) + "};")
    rows = band_rows(data)
    body = ["const WmaBandRow kWmaBandRows[42] = {"]
    for edges in rows:
        body.append(f"    {{{len(edges)}, {{{', '.join(str(e) for e in edges)}}}}},")
    body.append("};")
    parts.append("\n".join(body))
    codebook = [q(-v, 30) for row in data["lsp_codebook"] for v in row]
    assert len(codebook) == 136
    parts.append(emit("kWmaLspCodebook", "int32_t", codebook, 8))
    parts.append(emit("kWmaSineSlopes", "uint16_t", sine_slopes(), 16))
    rotation = [(q(math.cos(2 * math.pi * k / 4096), 31), q(math.sin(2 * math.pi * k / 4096), 31)) for k in range(512)]
    rotation.append((q(math.cos(math.pi / 4), 31), 0))
    parts.append(emit("kWmaRotation", "WmaPair", [f"{{{a}, {b}}}" for a, b in rotation], 4))
    parts.append(emit("kWmaFftTwiddles", "WmaPair", [f"{{{a}, {b}}}" for a, b in fft_twiddles()], 4))
    imdct = []
    for bits in range(7, 12):
        n = 1 << bits
        imdct += [(q(math.cos(2 * math.pi * (i + 0.125) / (2 * n)), 31), q(math.sin(2 * math.pi * (i + 0.125) / (2 * n)), 31))
                  for i in range(n // 2)]
    parts.append(emit("kWmaImdctTwiddles", "WmaPair", [f"{{{a}, {b}}}" for a, b in imdct], 4))
    roots = [(q(math.cos(2 * math.pi * j / 1024), 31), q(math.sin(2 * math.pi * j / 1024), 31)) for j in range(512)]
    parts.append(emit("kWmaFftRoots", "WmaPair", [f"{{{a}, {b}}}" for a, b in roots], 4))
    parts.append(emit("kWmaCosine", "int32_t", [q(math.cos(math.pi * j / 4096), 31) for j in range(2049)], 8))
    parts.append(emit("kWmaQuarterRoot", "int32_t", [q((1 + i / 256) ** -0.25, 30) for i in range(257)], 8))
    parts.append(emit("kWmaQuarterStep", "int32_t", [q(2 ** (-r / 4), 30) for r in range(4)], 8))
    with open(sys.argv[2], "w") as out:
        out.write("\n\n".join(parts) + "\n")


main()
