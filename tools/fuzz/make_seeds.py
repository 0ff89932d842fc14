#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: small valid BMPs and a few broken ones, next to this file."""
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(here, exist_ok=True)


def bmp(width, height, bits=24, compression=0, colours=0, gap=0, pixel=lambda r, c: (r * 9 + c * 5) % 256):
    rows = abs(height)
    row = max(width, 0) * 3
    pad = (4 - row % 4) % 4
    body = b"".join(b"".join(bytes([pixel(r, c)] * 3) for c in range(max(width, 0))) + b"\xee" * pad for r in range(rows))
    info = struct.pack("<IiiHHIIiiII", 40 + gap, width, height, 1, bits, compression, len(body), 2835, 2835, colours, 0)
    head = b"BM" + struct.pack("<IHHI", 54 + gap + len(body), 0, 0, 54 + gap)
    return head + info + b"\x55" * gap + body


seeds = {
    "valid-2x2.bmp": bmp(2, 2),
    "valid-3x5.bmp": bmp(3, 5),
    "valid-1x1.bmp": bmp(1, 1),
    "valid-16x9.bmp": bmp(16, 9),
    "valid-v5-header.bmp": bmp(4, 3, gap=84),
    "top-down.bmp": bmp(4, -4),
    "zero-width.bmp": bmp(0, 4),
    "eight-bit.bmp": bmp(4, 4, bits=8, colours=256),
    "thirty-two-bit.bmp": bmp(4, 4, bits=32),
    "rle.bmp": bmp(4, 4, compression=1),
    "too-large.bmp": bmp(256, 128)[:200],
    "truncated.bmp": bmp(5, 5)[:70],
    "headers-only.bmp": bmp(5, 5)[:54],
    "not-bmp.bmp": b"PK" + bmp(2, 2)[2:],
}
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
