#!/usr/bin/env python3
"""Writes small Windows bitmaps of every depth and encoding into the folder
given, as seeds for the BMP fuzz target."""
import os
import struct
import sys


def bmp(width, height, bits, compression, palette, pixels):
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, compression, len(pixels),
                       2835, 2835, len(palette), 0)
    info += b''.join(struct.pack('<I', c) for c in palette)
    offset = 14 + len(info)
    return b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset) + info + pixels


PALETTE = [0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF]
SEEDS = {
    '1bit.bmp': bmp(9, 2, 1, 0, [0, 0xFFFFFF], b'\xAA\x80\0\0\x55\x00\0\0'),
    '4bit.bmp': bmp(3, 1, 4, 0, PALETTE, b'\x12\x30\0\0'),
    '8bit.bmp': bmp(2, 2, 8, 0, PALETTE, b'\2\3\0\0\0\1\0\0'),
    '24bit-top-down.bmp': bmp(2, -2, 24, 0, [], b'\0\0\xFF\0\xFF\0\0\0\xFF\0\0\xFF\xFF\xFF\0\0'),
    '32bit.bmp': bmp(1, 1, 32, 0, [], b'\x10\x20\x30\0'),
    'rle8.bmp': bmp(4, 2, 8, 1, PALETTE, b'\4\1\0\0\2\2\2\3\0\1'),
    'rle4.bmp': bmp(4, 2, 4, 2, PALETTE, b'\4\x12\0\0\0\4\x33\x21\0\1'),
    'rle8-delta.bmp': bmp(4, 4, 8, 1, PALETTE, b'\2\1\0\2\1\1\2\3\0\1'),
}

folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)
