#!/usr/bin/env python3
"""Seeds for a fuzz target from the save files the scripted player's flows left behind.

    flow_seeds.py TARGET OUT_FOLDER SEED_FOLDER...

A seed folder holds files named <flow>_<WxH>_global.opt and <flow>_<WxH>_saveresume.dat. Each
target gets them in the shape it reads: whole files, the records inside saveresume.dat, or a
global.opt and saveresume.dat of one run together. At most MOST_SEEDS are written, spread over the
runs, so a short fuzz run is not spent reading its seeds. Prints how many seeds it wrote.
"""
import os
import struct
import sys

OPTIONS, RESUME = "global.opt", "saveresume.dat"
MAX_RECORDS = 99
MAX_NAME = 99
MOST_SEEDS = 24


def records(store):
    """(key, data) of each record of a record store file; nothing for a damaged one."""
    if len(store) < 4:
        return []
    count = struct.unpack_from("<i", store)[0]
    if count < 1 or count > MAX_RECORDS or 4 + 8 * count > len(store):
        return []
    found = []
    for i in range(count):
        size, offset = struct.unpack_from("<ii", store, 4 + 8 * i)
        if size < 0 or offset < 4 + 8 * count or offset + 8 > len(store):
            return []
        key, name_length = struct.unpack_from("<ii", store, offset)
        start = offset + 8 + name_length
        if name_length < 0 or name_length >= MAX_NAME or start + size > len(store):
            return []
        found.append((key, store[start:start + size]))
    return found


def runs(folders):
    """{run prefix: {file name: bytes}} of every flow's saved files."""
    found = {}
    for folder in folders:
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            for kind in (OPTIONS, RESUME):
                if name.endswith("_" + kind):
                    with open(os.path.join(folder, name), "rb") as saved:
                        found.setdefault(os.path.join(folder, name[:-len(kind)]), {})[kind] = saved.read()
    return found


def seeds(target, saved):
    """(name, bytes) of each seed the target reads, from one run's saved files."""
    options, resume = saved.get(OPTIONS), saved.get(RESUME)
    if target in ("fuzz_options", "fuzz_profiles") and options is not None:
        yield OPTIONS, options
    if target == "fuzz_record_store" and resume is not None:
        yield RESUME, resume
    if target == "fuzz_resume_continue" and options is not None:
        for mode in (0, 1):
            yield "continue_%d" % mode, bytes([mode]) + struct.pack("<I", len(options)) + options + (resume or b"")
    for index, (key, data) in enumerate(records(resume or b"")):
        # A record is the screen's id, then what that screen saved.
        if target == "fuzz_resume_screens" and 4 <= len(data) <= 4096:
            yield "record_%d" % index, data
        # The board's own record follows id 1; the key's low bit is the mode it was saved in.
        if target == "fuzz_board_save" and len(data) > 4 and struct.unpack_from("<i", data)[0] == 1:
            yield "board_%d" % index, bytes([key & 1]) + data[4:]


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    target, out = argv[1], argv[2]
    found = [(os.path.basename(prefix) + name, data)
             for prefix, saved in sorted(runs(argv[3:]).items()) for name, data in seeds(target, saved)]
    step = max(1, -(-len(found) // MOST_SEEDS))
    # Runs of one flow in two build folders share a name: a number keeps both.
    for index, (name, data) in enumerate(found[::step]):
        with open(os.path.join(out, "%02d_%s" % (index, name)), "wb") as seed:
            seed.write(data)
    print("%d of %d seeds from the flows" % (len(found[::step]), len(found)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
