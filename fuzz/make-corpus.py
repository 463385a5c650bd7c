#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/.

usage: fuzz/make-corpus.py <program folder of a build, e.g. build/ZindleClock>
The table seeds copy the layout of that folder's empty-schema tables and
hold a record or two with tiny pictures, on 512-byte pages so they stay small.
"""
import io, os, shutil, sqlite3, struct, subprocess, sys, tempfile, zipfile, zlib

here = os.path.dirname(os.path.abspath(__file__))
program = sys.argv[1]
corpus = os.path.join(here, "corpus")


def put(target, name, data):
    d = os.path.join(corpus, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def png(w, h, rgb=(255, 0, 0), alpha=False):
    def chunk(t, b):
        return struct.pack(">I", len(b)) + t + b + struct.pack(">I", zlib.crc32(t + b) & 0xFFFFFFFF)
    px = bytes(rgb) + (b"\xff" if alpha else b"")
    raw = b"".join(b"\x00" + px * w for _ in range(h))
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def bmp24(w, h, pixel):
    stride = (w * 3 + 3) & ~3
    rows = b"".join((bytes(pixel) * w).ljust(stride, b"\0") for _ in range(h))
    head = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return head + info + rows


def table(name, rows):
    """A table file laid out like the program's, with the given rows."""
    src = sqlite3.connect(os.path.join(program, name + ".db"))
    fd, path = tempfile.mkstemp(suffix=".db")
    os.close(fd)
    os.remove(path)
    dst = sqlite3.connect(path)
    dst.execute("PRAGMA page_size=512")
    for (sql,) in src.execute("SELECT sql FROM sqlite_master WHERE sql IS NOT NULL ORDER BY rowid"):
        dst.execute(sql)
    for t in ("zindle_table", "zindle_fields"):
        for row in src.execute("SELECT * FROM " + t):
            dst.execute("INSERT INTO %s VALUES (%s)" % (t, ",".join("?" * len(row))), row)
    cols = [r[1] for r in dst.execute("PRAGMA table_info(data)")][1:]
    for r in rows:
        names = list(r)
        dst.execute('INSERT INTO data (%s) VALUES (%s)' % (",".join('"%s"' % n for n in names), ",".join("?" * len(names))),
                    [r[n] for n in names])
    dst.commit()
    dst.execute("VACUUM")
    dst.close()
    with open(path, "rb") as f:
        data = f.read()
    os.remove(path)
    return data


shutil.rmtree(corpus, ignore_errors=True)

# Settings file.
put("settings", "full.ini", "[Path]\r\ntop=120\r\nleft=-40\r\nFadeEnabled=1\r\nAnimationEnabled=0\r\nVoiceChime=1\r\n"
    "MilTime=0\r\nBellChime=0\r\nCuckooChime=1\r\nQuietTime=1\r\nQuietStart=0.9166666667\r\nQuietEnd=0.25\r\n"
    "MaxTransparency=70\r\nFadeSpeed=20\r\nClockName=Pocket Watch 001\r\nDialName=Dial 006\r\nHeadName=Mopp 001\r\n"
    "BodyName=Cowboy\r\nHandName=Cowboy 01\r\nHue=180\r\nredIntensity=90\r\ngreenIntensity=100\r\n"
    "blueIntensity=110\r\nSizeScale=8\r\n")
put("settings", "odd.ini", "; kept\n[other]\nx=1\n[PATH]\nSizeScale=0x10\nFadeSpeed=$0\nMaxTransparency=-5\n"
    "QuietStart=1e308\nHue=99999999999\n[Path]\ntop=3\n")
put("settings", "empty.ini", "")

# coord.ini and colour text.
put("coord", "coord.ini", "[fClock]\nLeft=10\nTop=$20\nWidth=0x100\nHeight=200\nInvisibleColor=FF00FF\n"
    "[Clock]\nLeft = 5\nColor=\"00ff80\"\n")
put("coord", "colour.txt", " 0a0B0c ")
put("coord", "bad.ini", "[Dial\nLeft=\nTop=99999999999999999999\n[Head]Top=1\n")

# Mask pictures: first byte 0 = BMP, 1 = JPEG.
put("mask", "magenta.bmp", b"\0" + bmp24(5, 3, (255, 0, 255)))
put("mask", "grey.bmp", b"\0" + bmp24(4, 4, (128, 128, 128)))
with tempfile.TemporaryDirectory() as t:
    j = os.path.join(t, "m.jpg")
    subprocess.run(["convert", "-size", "8x8", "xc:magenta", "-fill", "white", "-draw", "rectangle 2,2 5,5",
                    "-quality", "90", j], check=True)
    put("mask", "square.jpg", b"\1" + open(j, "rb").read())
    subprocess.run(["convert", "-size", "8x8", "xc:gray", "-interlace", "plane", j], check=True)
    put("mask", "progressive.jpg", b"\1" + open(j, "rb").read())

# Pictures of table fields.
put("picture", "rgb.png", png(3, 2))
put("picture", "rgba.png", png(2, 2, (0, 0, 255), alpha=True))

# Table files.
put("table", "dial.db", table("Dial", [{"Name": "Dial 006", "Notes": "n", "Image": png(2, 2), "SecHandOffset": 3},
                                      {"Name": "Dial 007", "SecHandOffset": -1}]))
put("table", "empty.db", table("Dial", []))

# Catalogues and packages.
items = [
    {"Category": "Dial", "Version": 100, "Name": "Fuzz Dial", "image": png(2, 2), "SecHandOffset": 2},
    {"Category": "Hand", "Version": 100, "Name": "Fuzz Hands", "imgHour": png(1, 3), "imgMinute": png(1, 4),
     "imgSecond": png(1, 5), "SecHandBehind": 1},
    {"Category": "Clock", "Version": 200, "Name": "Fuzz Clock", "image": png(3, 3), "AnimationImage": png(6, 3),
     "AnimationFrames": 2, "AnimationFlag": 1},
]
catalogue = table("Skins", items)
put("catalogue", "three.db", catalogue)
put("catalogue", "empty.db", table("Skins", []))


def zipped(entries, method=zipfile.ZIP_STORED):
    b = io.BytesIO()
    with zipfile.ZipFile(b, "w", method) as z:
        for n, d in entries:
            z.writestr(n, d)
    return b.getvalue()


put("package", "stored.zip", zipped([("Skins.db", catalogue), ("extra.png", png(2, 2))]))
put("package", "deflated.zip", zipped([("skin/Skins.db", catalogue)], zipfile.ZIP_DEFLATED))
put("package", "nocatalogue.zip", zipped([("readme.txt", "a skin\n")]))

# Sound files: first byte 0 = wave, 1 = MIDI, 2 = MP3.
def wave(ms):
    n = 8 * ms
    return (b"RIFF" + struct.pack("<I", 36 + 2 * n) + b"WAVEfmt " + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 16000, 2, 16)
            + b"data" + struct.pack("<I", 2 * n) + bytes(2 * n))
put("sound", "short.wav", b"\0" + wave(20))
track = b"\x00\x90\x3c\x40\x83\x60\x80\x3c\x40\x00\xff\x2f\x00"
put("sound", "note.mid", b"\1" + b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + b"MTrk" + struct.pack(">I", len(track)) + track)
with open(os.path.join(here, "..", "tests", "chimes", "data", "tone1500.mp3"), "rb") as f:
    put("sound", "tone.mp3", b"\2" + f.read(3000))

# SNTP replies to a request sent at 3976000000 s (fraction 0).
def ntp_reply(leap=0, version=3, mode=4, stratum=2, root_delay=0x100, root_disp=0x200,
              originate=(3976000000, 0), receive=(3976000000, 0x01000000), transmit=(3976000000, 0x01100000)):
    first = (leap << 6) | (version << 3) | mode
    return (struct.pack(">BBbb", first, stratum, 6, -20) + struct.pack(">II", root_delay, root_disp) + b"GPS\0" +
            struct.pack(">II", 3976000000, 0) + struct.pack(">II", *originate) + struct.pack(">II", *receive) +
            struct.pack(">II", *transmit))
put("sntp", "good.bin", ntp_reply())
put("sntp", "ahead.bin", ntp_reply(receive=(3976000100, 0), transmit=(3976000100, 5)))
put("sntp", "kiss.bin", ntp_reply(stratum=0, leap=3))
