#!/usr/bin/python3
# Reads the Ogg fixtures' tags with `zbtags` (the Ogg module's Vorbis-comment reader, as the media
# library runs it) and holds them to what `vorbiscomment -l` lists of the same files: each named
# comment the reader knows lands in its tag (the first comment of a name; where several names
# feed one tag, the one later in the reader's table), text in full UTF-8, numbers as atoi and atof
# read them, COVERART as the bytes its Base64 holds with its type and COVERARTMIME, and no other
# comment while unhandled tags are off. Stream information comes with every file.
#   compare_with_vorbiscomment.py ZBTAGS FIXTURES
import base64, os, subprocess, sys

ZBTAGS, FIXTURES = sys.argv[1:3]
failures = []
# comment name -> (tag name, how the value reads), in the reader's order
TABLE = [("title", "Song title", "text"), ("artist", "Artist", "text"), ("album", "Album", "text"),
         ("albumartist", "Album artist", "text"), ("album artist", "Album artist", "text"),
         ("orchestra", "Album artist", "text"), ("genre", "Genre", "text"), ("performer", "Conductor", "text"),
         ("composer", "Composer", "text"), ("contentgroup", "Group description", "text"),
         ("copyright", "Copyright", "text"), ("license", "License", "text"), ("organization", "Label", "text"),
         ("description", "Comment", "text"), ("location", "Location", "text"), ("contact", "Data provider", "text"),
         ("tracknumber", "Track number", "int"), ("rg_audiophile", "Replaygain album gain", "real"),
         ("replaygain_album_gain", "Replaygain album gain", "real"), ("rg_radio", "Replaygain track gain", "real"),
         ("replaygain_track_gain", "Replaygain track gain", "real"),
         ("replaygain_album_peak", "Replaygain album peak", "real"), ("rg_peak", "Replaygain track peak", "real"),
         ("replaygain_track_peak", "Replaygain track peak", "real"), ("date", "Release date", "date"),
         ("isrc", "ISRC", "text")]


def leading_number(text, real):
    """What atoi / atof make of a text: its leading number, 0 without one."""
    text, end = text.lstrip(), 0
    allowed = "+-0123456789" + (".eE" if real else "")
    while end < len(text) and text[end] in allowed and (text[end] not in "+-" or end == 0 or text[end - 1] in "eE"):
        end += 1
    for cut in range(end, 0, -1):
        try:
            return float(text[:cut]) if real else int(text[:cut])
        except ValueError:
            pass
    return 0


def expected(comments):
    tags, first = {}, {}
    for name, value in comments:
        first.setdefault(name.lower(), value)
    for name, tag, kind in TABLE:
        if name not in first: continue
        value = first[name]
        if kind == "int": value = str(leading_number(value, False))
        elif kind == "real": value = "%.2f" % leading_number(value, True)
        elif kind == "date": value = value + " 00:00:00"
        if kind == "text" and value == "": tags.pop(tag, None); continue
        tags[tag] = value
    art = mime = 0
    for name, value in comments:
        if name.lower() == "coverartmime" and value:
            tags["Artwork mimetype[%d]" % mime] = value
            mime += 1
        if name.lower() == "coverart":
            data = base64.b64decode(value)
            tags["Artwork type[%d]" % art] = str(art + 3)
            tags["Artwork data[%d]" % art] = "<%d bytes%s>" % (len(data), "".join(" %02x" % b for b in data[:8]))
            art += 1
    return tags


for name in sorted(os.listdir(FIXTURES)):
    if not name.endswith(".ogg") or name in ("empty.ogg", "no_vorbis.ogg"): continue
    path = os.path.join(FIXTURES, name)
    listing = subprocess.run(["vorbiscomment", "-l", "-e", path], capture_output=True)
    if listing.returncode != 0: continue
    comments = []
    for line in listing.stdout.decode("utf-8").splitlines():
        key, _, value = line.partition("=")
        comments.append((key, value.replace("\\n", "\n").replace("\\r", "\r").replace("\\0", "\0").replace("\\\\", "\\")))
    r = subprocess.run([ZBTAGS, path], capture_output=True, timeout=60)
    if r.returncode != 0:
        failures.append(f"{name}: zbtags failed: {r.stderr.decode(errors='replace').strip()}"); continue
    got = dict(line.split(" = ", 1) for line in r.stdout.decode("utf-8").splitlines())
    want = expected(comments)
    for tag, value in want.items():
        if got.get(tag) != value: failures.append(f"{name}: {tag} = {got.get(tag)!r}, vorbiscomment says {value!r}")
    info = {"Length", "Bit rate", "Sample rate", "Channels", "Bits per sample", "Is VBR"}
    for tag in got:
        if tag not in want and tag not in info: failures.append(f"{name}: {tag} = {got[tag]!r} from no comment")
    for tag in info - {"Is VBR"}:
        if tag not in got: failures.append(f"{name}: no {tag}")
    if ("Is VBR" in got) != bool(comments): failures.append(f"{name}: Is VBR with {len(comments)} comments")

r = subprocess.run([ZBTAGS, "--help"], capture_output=True, text=True)
if r.returncode != 0 or not r.stdout.startswith("usage: zbtags"): failures.append("zbtags --help does not print its usage")
if failures:
    print("\n".join(failures)); sys.exit(1)
print("all tags match")
