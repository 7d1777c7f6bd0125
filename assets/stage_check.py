#!/usr/bin/env python3
"""Keeps the staging tree whole when files in it are deleted by hand, which the stamps standing
for many staged files cannot see.
   stage_check.py record <stage> <listing>          after a data build: lists the staged files
   stage_check.py check <stage> <stamps> <listing>  before one: a listed file gone removes the
                                                    stamps, so their producers run again"""
import os
import sys


def staged_files(stage):
    for folder, dirs, files in os.walk(stage):
        dirs[:] = [d for d in dirs if not d.startswith(".")]
        for name in files:
            yield os.path.relpath(os.path.join(folder, name), stage)


def main(argv):
    if len(argv) == 4 and argv[1] == "record":
        with open(argv[3], "w", encoding="utf-8") as listing:
            listing.writelines(f"{name}\n" for name in sorted(staged_files(argv[2])))
        return 0
    if len(argv) == 5 and argv[1] == "check":
        stage, stamps, listing = argv[2:]
        if not os.path.isfile(listing):
            return 0
        with open(listing, encoding="utf-8") as f:
            gone = next((n for n in f.read().splitlines() if not os.path.isfile(os.path.join(stage, n))), None)
        if gone is not None and os.path.isdir(stamps):
            print(f"data: {gone} is gone from the staging tree; its producers run again")
            for stamp in os.listdir(stamps):
                os.remove(os.path.join(stamps, stamp))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
