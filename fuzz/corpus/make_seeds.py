#!/usr/bin/env python3
"""Writes the small seed inputs of the fuzz targets into fuzz/corpus/<name>/.
Run from anywhere; the seeds are checked in, this only says how they were made."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def put(name, file, data):
    os.makedirs(os.path.join(here, name), exist_ok=True)
    with open(os.path.join(here, name, file), "wb") as f:
        f.write(data)


# best.dat: the default table, a short one, one longer than 240 bytes.
table = b"".join(struct.pack("<i", 99900 - 200 * i) + b"Beze Jmena".ljust(20, b"\0") for i in range(10))
put("best", "default", table)
put("best", "short", table[:50])
put("best", "long", table + b"extra bytes")


def chunk(tag, body):
    return tag + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")


def wav(channels, rate, bits, frames, extra=b""):
    align = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)
    samples = bytes((i * 37) & 0xFF for i in range(frames * align))
    body = b"WAVE" + chunk(b"fmt ", fmt) + extra + chunk(b"data", samples)
    return b"RIFF" + struct.pack("<I", len(body)) + body


put("wav", "mono16", wav(1, 8000, 16, 40))
put("wav", "stereo8_list", wav(2, 22050, 8, 30, chunk(b"LIST", b"INFOodd")))
put("wav", "stereo16", wav(2, 44100, 16, 20))


def bmp(width, height, bits, pixels, palette=b"", header=40, compression=0, masks=b""):
    info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression, len(pixels), 2835, 2835,
                       len(palette) // 4, 0)
    info = (info + masks).ljust(header, b"\0")
    offset = 14 + header + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels


row24 = bytes([0, 0, 255, 0, 255, 0, 255, 0, 0]) + b"\0\0\0"
put("picture", "rgb24", bmp(3, 2, 24, row24 * 2))
put("picture", "palette8", bmp(2, -2, 8, bytes([0, 1, 0, 0, 1, 0, 0, 0]), palette=bytes([0, 0, 0, 0, 255, 0, 255, 0])))
put("picture", "bitfields16", bmp(2, 2, 16, bytes([0x1F, 0xF8, 0xE0, 0x07]) * 2, compression=3,
                                  header=56, masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F)))
put("picture", "mono1", bmp(8, 1, 1, bytes([0xA5, 0, 0, 0]), palette=bytes([0, 0, 0, 0, 255, 255, 255, 0])))

# data/tahy.dat: two bytes of the move's cell, then the file as it was.
records = b"".join(struct.pack("<i", c) for c in (0, 107, 675, 338))
put("tahy", "none", bytes([3, 4]))
put("tahy", "four", bytes([25, 25]) + records)
put("tahy", "partial", bytes([1, 0]) + records + b"\xab\xcd")

# Online play: records of a topic's choice (0 the guest's moves, 1 its
# presence; 0x40 signed by the guest's holder) and a payload, one a line; the
# host places its own marks between.
put("online", "a-game", b"\x41online AAAA0001 1\n\x401:5\n\x401:5,6\n\x401:5,6,7\n\x01gone AAAA0001")
put("online", "out-of-turn", b"\x401:5,6,7,8\n\x411:5\n\x00garbage\n\x41left AAAA0001 2")
put("online", "link", b"https://hra.example/#ZW01-4D2P-F2DB-SQQG")
put("online", "port", b"ortelanka://127.0.0.1:1883/mqtt#ZW01-4D2P-F2DB-SQQG")
