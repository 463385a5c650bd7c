#!/usr/bin/env python3
"""Writes a type-0 MIDI file from a note list: one "note eighths" pair a line
(note 0 is a rest). Played on the glockenspiel at 120 beats a minute."""
import struct
import sys

PPQ = 480
EIGHTH = PPQ // 2
TEMPO_US = 500000  # a quarter note each half second
PROGRAM = 9        # glockenspiel
VELOCITY = 90


def var_len(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def read_notes(path):
    notes = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                note, eighths = line.split()
                notes.append((int(note), int(eighths)))
    return notes


def track(notes):
    data = bytearray()
    data += var_len(0) + b"\xff\x51\x03" + TEMPO_US.to_bytes(3, "big")
    data += var_len(0) + bytes([0xC0, PROGRAM])
    pending = 0  # ticks since the last event
    for note, eighths in notes:
        length = eighths * EIGHTH
        if note == 0:
            pending += length
            continue
        data += var_len(pending) + bytes([0x90, note, VELOCITY])
        data += var_len(length) + bytes([0x80, note, 64])
        pending = 0
    data += var_len(pending) + b"\xff\x2f\x00"
    return bytes(data)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_midi.py NOTES.txt OUT.mid")
    body = track(read_notes(sys.argv[1]))
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, PPQ)
    with open(sys.argv[2], "wb") as f:
        f.write(header + b"MTrk" + struct.pack(">I", len(body)) + body)


if __name__ == "__main__":
    main()
