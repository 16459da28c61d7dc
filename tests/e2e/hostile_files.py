#!/usr/bin/env python3
"""Writes data files made to hurt the game, for hostile_data_test.sh:
  hostile_files.py comment IN.ogg BYTES OUT.ogg   the comment header grown by BYTES
  hostile_files.py chain IN.ogg COUNT OUT.ogg     COUNT copies, each its own stream
  hostile_files.py icon OUT.bmp                   4 KB claiming 16384 x 16384 pixels
  hostile_files.py pack OUT.pak                   random pictures of the right length
"""
import random
import struct
import sys

CRC_TABLE = []
for i in range(256):
    r = i << 24
    for _ in range(8):
        r = ((r << 1) ^ 0x04C11DB7) if r & 0x80000000 else r << 1
    CRC_TABLE.append(r & 0xFFFFFFFF)


def page_crc(data):
    c = 0
    for x in data:
        c = ((c << 8) & 0xFFFFFFFF) ^ CRC_TABLE[((c >> 24) & 0xFF) ^ x]
    return c


def pages(data):
    i = 0
    while i + 27 <= len(data):
        n = data[i + 26]
        size = 27 + n + sum(data[i + 27:i + 27 + n])
        yield bytearray(data[i:i + size])
        i += size


def seal(page):
    struct.pack_into('<I', page, 22, 0)
    struct.pack_into('<I', page, 22, page_crc(page))
    return bytes(page)


def make_page(flags, serial, seq, lacing, body):
    header = b'OggS' + bytes([0, flags]) + struct.pack('<qIII', 0, serial, seq, 0) + bytes([len(lacing)])
    return seal(bytearray(header + bytes(lacing) + body))


def grown_comment(data, extra):
    # The three header packets, then the pages after the one that ends the third.
    packets, current, audio = [], b'', []
    for page in pages(data):
        if len(packets) >= 3:
            audio.append(page)
            continue
        offset = 27 + page[26]
        for lace in page[27:27 + page[26]]:
            current += page[offset:offset + lace]
            offset += lace
            if lace < 255:
                packets.append(current)
                current = b''
    serial = struct.unpack_from('<I', data, 14)[0]
    ident, comment, setup = packets
    vendor_length = struct.unpack_from('<I', comment, 7)[0]
    vendor = comment[11:11 + vendor_length] + b'x' * extra
    comment = comment[:7] + struct.pack('<I', len(vendor)) + vendor + comment[11 + vendor_length:]
    out = [make_page(2, serial, 0, [len(ident)], ident)]
    lacing = []
    for packet in (comment, setup):
        lacing += [255] * (len(packet) // 255) + [len(packet) % 255]
    body, position, continued = comment + setup, 0, False
    while lacing:
        segments, lacing = lacing[:255], lacing[255:]
        out.append(make_page(1 if continued else 0, serial, len(out), segments, body[position:position + sum(segments)]))
        continued = segments[-1] == 255
        position += sum(segments)
    for page in audio:
        struct.pack_into('<I', page, 18, len(out))
        out.append(seal(page))
    return b''.join(out)


def chain(data, count):
    # The page CRC is linear in the bytes, so a page's CRC for another serial number is
    # its CRC with serial 0 combined with the CRC of the serial alone.
    originals = list(pages(data))
    base = []
    for page in originals:
        struct.pack_into('<II', page, 14, 0, struct.unpack_from('<I', page, 18)[0])
        struct.pack_into('<I', page, 22, 0)
        base.append(page_crc(page))
    out = bytearray()
    for k in range(1, count + 1):
        for page, crc in zip(originals, base):
            serial_only = bytearray(len(page))
            struct.pack_into('<I', serial_only, 14, k)
            struct.pack_into('<II', page, 14, k, struct.unpack_from('<I', page, 18)[0])
            struct.pack_into('<I', page, 22, crc ^ page_crc(serial_only))
            out += page
    return bytes(out)


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
        out = grown_comment(open(sys.argv[2], 'rb').read(), int(sys.argv[3]))
    elif kind == 'chain':
        out = chain(open(sys.argv[2], 'rb').read(), int(sys.argv[3]))
    elif kind == 'icon':
        out = huge_icon()
    else:
        out = random_pack()
    with open(sys.argv[-1], 'wb') as f:
        f.write(out)


main()
