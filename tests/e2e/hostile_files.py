#!/usr/bin/env python3
"""Writes data files made to hurt the game, for hostile_data_test.sh:
  hostile_files.py comment IN.ogg BYTES OUT.ogg   after the first page, one packet of BYTES
  hostile_files.py chain IN.ogg COUNT OUT.ogg     COUNT copies end to end, each a stream
  hostile_files.py icon OUT.bmp                   4 KB claiming 16384 x 16384 pixels
  hostile_files.py pack OUT.pak                   random pictures of the right length
The game walks a track's pages before decoding it, so the pages need no checksums.
"""
import random
import struct
import sys


def endless_packet(data, size):
    # The identification header's page, then pages of 255 full segments that never
    # end their packet.
    first = 27 + data[26] + sum(data[27:27 + data[26]])
    page = b'OggS\0\1' + bytes(20) + b'\xff' + b'\xff' * 255 + b'c' * (255 * 255)
    return data[:first] + page * (size // len(page) + 1)


def huge_icon():
    header = b'BM' + struct.pack('<IHHI', 4096, 0, 0, 54)
    header += struct.pack('<IiiHHIIiiII', 40, 16384, 16384, 1, 32, 0, 0, 2835, 2835, 0, 0)
    return header + bytes(4096 - len(header))


def random_pack():
    # Runs of 256 random pairs up to the pictures' 1305600 bytes, then 8 bytes as single
    # pairs where the checksum belongs.
    rng = random.Random(7700)
    records = bytearray()
    for _ in range(1305600 // 512):
        records += bytes([0, rng.randrange(256), rng.randrange(256)])
    for _ in range(4):
        records += bytes([1, rng.randrange(256), rng.randrange(256)])
    return bytes(records)


def main():
    kind = sys.argv[1]
    if kind == 'comment':
        out = endless_packet(open(sys.argv[2], 'rb').read(), int(sys.argv[3]))
    elif kind == 'chain':
        out = open(sys.argv[2], 'rb').read() * int(sys.argv[3])
    elif kind == 'icon':
        out = huge_icon()
    else:
        out = random_pack()
    with open(sys.argv[-1], 'wb') as f:
        f.write(out)


main()
