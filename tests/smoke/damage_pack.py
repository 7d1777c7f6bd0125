#!/usr/bin/env python3
"""Writes a damaged copy of a game pack, as a player's broken install would hold it.
   damage_pack.py <in.pak> <out.pak> [drop NAME | garble NAME | file=PATH NAME]...
drop leaves the entry out; garble puts bytes no reader accepts in its place; file=PATH puts that
file's bytes there (a hostile input kept beside the fuzz targets)."""
import sys
import zipfile


def main(argv):
    if len(argv) < 3 or len(argv) % 2 == 0:
        print(__doc__, file=sys.stderr)
        return 2
    source, target = argv[1], argv[2]
    changes = dict(zip(argv[4::2], argv[3::2]))
    with zipfile.ZipFile(source) as old, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as new:
        names = old.namelist()
        for name in changes:
            if name not in names:
                print(f"{source} holds no {name}", file=sys.stderr)
                return 1
        for name in names:
            change = changes.get(name)
            if change == "drop":
                continue
            if change == "garble":
                data = b"not what it should be\n" * 8
            elif change and change.startswith("file="):
                with open(change[5:], "rb") as hostile:
                    data = hostile.read()
            else:
                data = old.read(name)
            new.writestr(name, data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
