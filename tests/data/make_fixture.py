#!/usr/bin/env python3
"""Writes document.mbt, a small fractal document built from the file layout alone (python3 standard
library only), for the storage tests. Every header field holds a distinctive value so that a field read
from the wrong offset, with the wrong width or the wrong byte order shows.

Run from anywhere: python3 tests/data/make_fixture.py  (writes beside this script).
The values written here are repeated in tests/storage/DocumentFixtureTest.cpp.
"""
import os
import struct
import zlib

HEADER_SIZE = 4328


def extended(value, extra_low_bits=0):
    """80-bit x87 extended of a double: 64-bit significand with explicit integer bit, 15-bit exponent
    biased by 16383, sign; little-endian. extra_low_bits are ORed into the 11 significand bits a double
    cannot hold (used to test rounding when the reader narrows to double)."""
    bits = struct.unpack('<Q', struct.pack('<d', value))[0]
    sign = bits >> 63
    exp = (bits >> 52) & 0x7FF
    frac = bits & ((1 << 52) - 1)
    if exp == 0 and frac == 0:
        e, sig = 0, 0
    elif exp == 0:  # denormal double: normalise
        lead = frac.bit_length() - 1
        e, sig = -1074 + lead + 16383, frac << (63 - lead)
    elif exp == 0x7FF:
        e, sig = 0x7FFF, (1 << 63) | (frac << 11)
    else:
        e, sig = exp - 1023 + 16383, (1 << 63) | (frac << 11)
    sig |= extra_low_bits
    return struct.pack('<QH', sig, (sign << 15) | e)


def short_string(text, n):
    """String[n]: length byte, cp1252 text, zero padding; n + 1 bytes."""
    raw = text.encode('cp1252')
    assert len(raw) <= n
    return bytes([len(raw)]) + raw + bytes(n - len(raw))


class Header:
    def __init__(self):
        self.b = bytearray(HEADER_SIZE)

    def put(self, offset, data):
        assert offset + len(data) <= HEADER_SIZE
        self.b[offset:offset + len(data)] = data

    def fmt(self, offset, f, *values):
        self.put(offset, struct.pack('<' + f, *values))


WIDTH, HEIGHT, MAX_ITER = 7, 5, 1234

h = Header()
h.fmt(0x000, 'H', 55555)
h.put(0x002, short_string('Vorex', 10))
h.put(0x00D, short_string('--V1.8--', 10))
h.put(0x018, short_string('Vorex fractal file', 20))
h.fmt(0x02E, 'H', 1)
h.put(0x030, b'\xff' * 99)
h.fmt(0x093, 'B', 3)                 # Formula Z^8+C
h.fmt(0x094, 'i', WIDTH)
h.fmt(0x098, 'i', HEIGHT)
h.fmt(0x09C, 'i', 3)                 # ResumeLine
h.fmt(0x0A4, 'H', MAX_ITER)
h.fmt(0x0A6, 'H', 1000)              # BaseMaxIter
h.fmt(0x0A8, 'B', 7)                 # Julia fn(Z)C
h.fmt(0x0A9, 'B', 2)                 # Level+Distance
h.put(0x0AA, extended(-0.743643887037158))
h.put(0x0B4, extended(0.2500000012345678))
h.put(0x0BE, extended(1.5e-9))
h.put(0x0C8, extended(-0.7436438922871580))
h.put(0x0D2, extended(0.2500000037500000))
h.put(0x0DC, extended(-0.4))
h.put(0x0E6, extended(0.6))
h.put(0x0F0, extended(1e-5))
h.put(0x0FA, extended(-2e-310))      # a denormal double
h.fmt(0x118, 'B', 6)                 # 24-bit
h.fmt(0x119, 'B', 2)                 # Square root
h.fmt(0x11C, 'i', 37)                # Multiplier
palette = struct.pack('<HH', 768, 256) + b''.join(
    bytes([i, 255 - i, (i * 7) & 255, 0]) for i in range(256))
h.put(0x120, palette)
h.fmt(0x524, 'i', 200)               # BiomorphIndex
h.fmt(0x528, 'd', 45000.5)           # 2023-03-15 12:00
# ColorTable24: reserved, biomorph, filaments, lead-in, records 0..101 (position, upper, lower).
records = [(0xFFFFFFFF, 0xC0C0C0, 0xC0C0C0)] * 102
records[0] = (1, 0x0000FFFF, 0x00000000)
records[1] = (100, 0x000000FF, 0x0000FF00)
records[2] = (500, 0x00FF0000, 0x00808080)
records[100] = (MAX_ITER, 0x00102030, 0x00405060)
records[101] = (MAX_ITER, 0x00000001, 0x00000002)
table = struct.pack('<III', 0, 0x00112233, 0x00445566) + struct.pack('<III', 0, 0x00010203, 0x00040506)
table += b''.join(struct.pack('<III', *r) for r in records)
assert len(table) == 1248
h.put(0x530, table)
h.put(0xA10, short_string('', 10))
h.put(0xA1B, short_string('fixture-writer', 20))
h.fmt(0xA30, 'H', 400)               # EscapeLevelSq
h.fmt(0xA34, 'i', 17)                # Delta
h.fmt(0xA38, 'B', 0)                 # UniformIter
h.fmt(0xA3C, 'iiiiii', 271, 45, 120, 999, 1500, -40)  # Azimuth .. VerticalShift
h.fmt(0xA54, 'BB', 0, 1)             # Inverted3D, Perspective
h.fmt(0xA80, 'BB', 1, 3)             # TableMode calculated, ValueFunction
h.fmt(0xA84, 'ii', 200, 321)         # HueOffset, ValueMult
h.fmt(0xA8C, 'B', 4)                 # HueFunction
h.fmt(0xA90, 'i', 77)                # HueMult
h.fmt(0xA94, 'BB', 2, 3)             # Bailout, FunctionIndex cosh
h.fmt(0xA98, 'i', 5)                 # NewtonP


def marker(slot, shape, x, y, label):
    at = 0xA3C + 96 * slot
    h.fmt(at, 'B', shape)
    h.fmt(at + 4, 'ii', x, y)
    h.put(at + 12, short_string(label, 80))


for slot in range(1, 16):
    marker(slot, 0xFF, 0, 0, '')
marker(1, 2, 3, 4, 'centre')
marker(3, 0, 0, 0, 'L' * 79 + '\u00e9')          # a full 80-character label
marker(5, 0xFF, -1, 9, '')                       # unused, with a position
marker(15, 4, 6, 0, 'derni\u00e8re \u20ac')      # cp1252 e-grave and euro sign
h.put(0x103C, short_string('Fractale d\u2019\u00e9t\u00e9 \u2014 test', 150))
h.put(0x10D3, b'\xff' * 21)


def value(row, col):
    if (row + col) % 4 == 0:
        return 65535
    return (row * WIDTH + col) * 37 % (MAX_ITER + 66)


raw = b''.join(struct.pack('<H', value(r, c)) for r in range(HEIGHT) for c in range(WIDTH))
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'document.mbt')
with open(out, 'wb') as f:
    f.write(bytes(h.b))
    f.write(zlib.compress(raw, 1))
print(out)
