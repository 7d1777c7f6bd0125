#!/usr/bin/env python3
"""Writes a damaged copy of a game pack, as a player's broken install would hold it.
   damage_pack.py <in.pak> <out.pak> [drop NAME | garble NAME | ahead NAME | file=PATH NAME | bomb NAME]...
drop leaves the entry out; garble puts bytes no reader accepts in its place; ahead puts such bytes
in an entry of the same name just before it; file=PATH puts that file's bytes there (a hostile
input kept beside the fuzz targets); bomb puts a gigabyte of zeros there, deflated to a megabyte.
The other entries are copied as they are packed."""
import os
import random
import struct
import sys
import zipfile
import zlib

GARBLE = b"not what it should be\n" * 8
BOMB_BYTES = 1 << 30
JUNK = random.Random(200).randbytes(200)
# The ways a broken copy damages an entry, each stored with a right CRC as such a copy is: junk in
# its place, cut to its first half, cut by its last few bytes (a picture's end marker and a little
# more, a table's last field, a text's last line end), and zeroed. (name, whole bytes -> damaged)
# KELO_DAMAGES (names with commas) keeps some of them, for a build too slow for all four.
DAMAGES = [("junk", lambda data: JUNK), ("half", lambda data: data[:len(data) // 2]),
           ("cut", lambda data: data[:-4]), ("zeroed", lambda data: bytes(len(data)))]
if os.environ.get("KELO_DAMAGES"):
    DAMAGES = [damage for damage in DAMAGES if damage[0] in os.environ["KELO_DAMAGES"].split(",")]


def raw_records(pack):
    """(info, raw local record bytes) of every entry, copied without inflating it."""
    with open(pack, "rb") as f:
        data = f.read()
    records = []
    with zipfile.ZipFile(pack) as z:
        for info in z.infolist():
            at = info.header_offset
            name_length, extra_length = struct.unpack_from("<HH", data, at + 26)
            end = at + 30 + name_length + extra_length + info.compress_size
            records.append((info, data[at:end]))
    return records


def contents(pack):
    """The inflated bytes of every entry, by name."""
    with zipfile.ZipFile(pack) as z:
        return {info.filename: z.read(info) for info in z.infolist()}


def damaged_copies(data):
    """(damage, bytes) of each damage that changes the entry."""
    return [(name, damage(data)) for name, damage in DAMAGES if damage(data) != data]


def bomb():
    """(method, CRC, size, packed bytes) of BOMB_BYTES zeros: one flushed block of a mebibyte of
    zeros deflates the same each time, so the stream is that block repeated, never the zeros."""
    chunk = bytes(1 << 20)
    deflate = zlib.compressobj(9, zlib.DEFLATED, -15)
    block = deflate.compress(chunk) + deflate.flush(zlib.Z_FULL_FLUSH)
    crc = 0
    for _ in range(BOMB_BYTES // len(chunk)):
        crc = zlib.crc32(chunk, crc)
    return 8, crc, BOMB_BYTES, block * (BOMB_BYTES // len(chunk)) + deflate.flush(zlib.Z_FINISH)


def stored(data):
    return 0, zlib.crc32(data), len(data), data


def write_pack(target, records, changes, ahead=None):
    """The pack with each named entry changed: None drops it, (method, CRC, size, packed bytes)
    replaces it, and an entry of ahead is written under the same name just before it; every other
    entry as it was."""
    central = []
    with open(target, "wb") as out:

        def add(name, method, crc, size, packed_size, flags, record):
            central.append(struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, flags, method, 0, 0x21, crc,
                                       packed_size, size, len(name), 0, 0, 0, 0, 0, out.tell()) + name)
            out.write(record)

        def add_new(name, method, crc, size, packed):
            add(name, method, crc, size, len(packed), 0, struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, method, 0,
                                                                     0x21, crc, len(packed), size, len(name), 0)
                + name + packed)

        for info, raw in records:
            name = info.filename.encode()
            if ahead and info.filename in ahead:
                add_new(name, *ahead[info.filename])
            change = changes.get(info.filename, ())
            if change:
                add_new(name, *change)
            elif change == ():
                add(name, info.compress_type, info.CRC, info.file_size, info.compress_size, info.flag_bits, raw)
        start = out.tell()
        directory = b"".join(central)
        out.write(directory)
        out.write(struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(central), len(central), len(directory), start, 0))


def main(argv):
    if len(argv) < 3 or len(argv) % 2 == 0:
        print(__doc__, file=sys.stderr)
        return 2
    source, target = argv[1], argv[2]
    records = raw_records(source)
    names = {info.filename for info, _ in records}
    changes, ahead = {}, {}
    for change, name in zip(argv[3::2], argv[4::2]):
        if name not in names:
            print(f"{source} holds no {name}", file=sys.stderr)
            return 1
        if change == "drop":
            changes[name] = None
        elif change == "garble":
            changes[name] = stored(GARBLE)
        elif change == "ahead":
            ahead[name] = stored(GARBLE)
        elif change == "bomb":
            changes[name] = bomb()
        elif change.startswith("file="):
            with open(change[5:], "rb") as hostile:
                changes[name] = stored(hostile.read())
        else:
            print(f"no such change: {change}", file=sys.stderr)
            return 2
    write_pack(target, records, changes, ahead)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
