#!/usr/bin/python3
# Lists the format's tables (format-tables.json) as plain lines the table test reads, so that the
# test checks the decoder's generated layouts against the data file itself, not against the
# generator that made them.
#
#   list_format_tables.py FORMAT_TABLES_JSON OUT_TXT
import json
import sys

data = json.load(open(sys.argv[1]))
out = []
for name, table in (("exponent", "exponent_code"), ("gain", "high_band_gain_code")):
    code = data[table]
    for s, (c, n) in enumerate(zip(code["codes"], code["lengths"])):
        out.append(f"code {name} {s} {c} {n}")
for k in range(6):
    code = data[f"coefficient_code_{k}"]
    for s, (c, n) in enumerate(zip(code["codes"], code["lengths"])):
        out.append(f"code coef{k} {s} {c} {n}")
    symbol = 2
    for level, count in enumerate(code["runs_per_level"], 1):
        for run in range(count):
            out.append(f"runlevel {k} {symbol} {run} {level}")
            symbol += 1
out.append("frequencies " + " ".join(str(f) for f in data["critical_frequencies_hz"]))
for rate in ("44100", "32000", "22050"):
    for row, widths in enumerate(data[f"band_widths_{rate}"]):
        out.append(f"widths {rate} {row} " + " ".join(str(w) for w in widths))
index = 0
for row in data["lsp_codebook"]:
    for value in row:
        out.append(f"lsp {index} {value!r}")
        index += 1
with open(sys.argv[2], "w") as f:
    f.write("\n".join(out) + "\n")
