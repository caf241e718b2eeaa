#!/usr/bin/env python3
"""Writes the palette and table fixtures from the documented file layouts, independently of the
program's own encoder (python3 struct only). Run from this directory."""
import struct

def short_string(text, n):
    b = text.encode('cp1252')[:n]
    return bytes([len(b)]) + b + bytes(n - len(b))

def head(magic, date):
    out = struct.pack('<H', magic)
    out += short_string('Vorex', 10) + short_string('--V1.8--', 10) + short_string('Vorex fractal file', 20)
    out += b'\0' + struct.pack('<H', 1) + struct.pack('<d', date)
    assert len(out) == 0x38
    return out

def ramp(i):
    return (i, 255 - i, (i * 3) & 255)

# ramp.p8: version 768, count 256, entry i = ramp(i), flags i & 1; saved 2024-01-01 12:00.
pal = struct.pack('<HH', 768, 256) + b''.join(bytes(ramp(i)) + bytes([i & 1]) for i in range(256))
p8 = head(55299, 45292.5) + pal + bytes(500)
assert len(p8) == 1584
open('ramp.p8', 'wb').write(p8)

# ramp772.act: the same colours, then the 4-byte trailer newer image editors add
# (colour count 256 and transparent index 0xFFFF, big-endian).
act = b''.join(bytes(ramp(i)) for i in range(256)) + struct.pack('>HH', 256, 0xFFFF)
assert len(act) == 772
open('ramp772.act', 'wb').write(act)

# two.p24: biomorph 0x00102030, filaments 0x00405060, lead-in (0, 0, 0), record 0 at 1 (yellow,
# black), record 1 at 50 (red, 0x00C0C0C0), records 2..99 free, record 100 at 5000, record 101 free.
def rec(pos, upper, lower):
    return struct.pack('<III', pos, upper, lower)
table = struct.pack('<III', 0, 0x00102030, 0x00405060) + rec(0, 0, 0)
table += rec(1, 0x0000FFFF, 0) + rec(50, 0x000000FF, 0x00C0C0C0)
table += b''.join(rec(0xFFFFFFFF, 0x00C0C0C0, 0x00C0C0C0) for _ in range(2, 100))
table += rec(5000, 0, 0x00C0C0FF) + rec(0xFFFFFFFF, 0, 0)
assert len(table) == 1248
p24 = head(55043, 45292.5) + table + bytes(500)
assert len(p24) == 1804
open('two.p24', 'wb').write(p24)
