#!/usr/bin/env python3
"""Damages every entry of the shipped packs in turn, in each of damage_pack's ways (junk, cut to
half, cut by its last bytes, zeroed), and runs the real program on each.
   junk_entries.py <kelo> [--jobs N] [SIZE...]
Each run is headless, 200 frames, with KELO_SHOT. An entry fails the check when the run
 - ends with 0 but its picture differs from the undamaged run's (a damaged file taken in silence),
   unless the allow-list below says why that is right;
 - ends with 1 without naming the damaged entry on stderr;
 - ends any other way (a crash, a hang).
The resolution pack of each size (a turned size: the pack of its landscape twin) is damaged entry
by entry at that size, with the common pack's UI folder for it; the rest of the common pack at the
first size given."""
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile
import time

from damage_pack import contents, damaged_copies, raw_records, stored, write_pack

FRAMES = 200
# The UI folder of the common pack that each size reads.
UI_FOLDERS = {"800x480": "ui_800x480", "640x480": "ui_vga", "320x240": "ui_qvga",
              "400x240": "ui_400x240", "320x320": "ui_320x320", "240x240": "ui_240x240"}
# Entries whose damage may change the picture while the run goes on, and the behaviour that
# allows it: (suffix of the name, why).
ALLOWED = [("_eff.jpg", "a font's colour texture that cannot be used leaves the font in flat colour")]


def landscape(size):
    width, height = (int(side) for side in size.split("x"))
    return f"{max(width, height)}x{min(width, height)}"


def allowed(name):
    for suffix, why in ALLOWED:
        if name.endswith(suffix):
            return why
    return None


def lay_copy(program, packs_dir, damaged, work):
    """A folder of its own holding the program and the packs, as the program looks for them
    beside itself: links where they can be made; damaged is (the damaged pack's file, moved in,
    the name of the pack it stands for) or None. Answers the program's path there."""
    os.makedirs(work)
    own = os.path.basename(program)
    packs = [p for p in os.listdir(packs_dir) if p.startswith("_game_") and p.endswith(".pak")]
    for name, source in [(own, program)] + [(p, os.path.join(packs_dir, p)) for p in packs]:
        if damaged and name == damaged[1]:
            continue
        try:
            os.link(source, os.path.join(work, name))
        except OSError:
            shutil.copy(source, os.path.join(work, name))
    if damaged:
        os.replace(damaged[0], os.path.join(work, damaged[1]))
    return os.path.join(work, own)


def run(kelo, packs_dir, size, damaged, work):
    """(status, stderr, picture bytes or None) of one run in a folder of its own; damaged is
    (the damaged pack's file, the name of the pack it stands for) or None."""
    program = lay_copy(kelo, packs_dir, damaged, work)
    shot = os.path.join(work, "shot.png")
    env = dict(os.environ, KELO_HEADLESS="1", KELO_SCREEN=size, KELO_FRAMES=str(FRAMES), KELO_SHOT=shot,
               KELO_SAVE_DIR=os.path.join(work, "save"))
    process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
    try:
        _, said = process.communicate(timeout=120)
        status = process.returncode
    except subprocess.TimeoutExpired:
        process.kill()
        _, said = process.communicate()
        status = "hang"
    picture = None
    if os.path.exists(shot):
        with open(shot, "rb") as f:
            picture = f.read()
    shutil.rmtree(work, ignore_errors=True)
    return status, said.decode(errors="replace"), picture


def program_jobs_sizes(argv, usage):
    """(program, jobs, sizes) of "<program> [--jobs N] [SIZE...]", or None after printing usage."""
    args = argv[1:]
    jobs = os.cpu_count() or 4
    if "--jobs" in args:
        at = args.index("--jobs")
        jobs = int(args[at + 1])
        del args[at:at + 2]
    if not args:
        print(usage, file=sys.stderr)
        return None
    return os.path.abspath(args[0]), jobs, args[1:] or ["800x480"]


def main(argv):
    parsed = program_jobs_sizes(argv, __doc__)
    if not parsed:
        return 2
    kelo, jobs, sizes = parsed
    packs_dir = os.path.dirname(kelo)
    common = os.path.join(packs_dir, "_game_common.pak")
    started = time.monotonic()
    scratch = tempfile.mkdtemp(prefix="kelo_junk_")
    try:
        records, entries = {}, {}
        cases = []
        for i, size in enumerate(sizes):
            pack = os.path.join(packs_dir, f"_game_{landscape(size)}.pak")
            for path in (pack, common):
                if path not in records:
                    records[path], entries[path] = raw_records(path), contents(path)
            names = [(pack, info.filename) for info, _ in records[pack]]
            ui = f"ui/{UI_FOLDERS[landscape(size)]}/"
            names += [(common, info.filename) for info, _ in records[common]
                      if info.filename.startswith(ui) or (i == 0 and not info.filename.startswith("ui/ui_"))]
            cases += [(size, path, name, damage) for path, name in names
                      for damage, _ in damaged_copies(entries[path][name])]

        def one(case):
            number, (size, pack, name, damage) = case
            work = os.path.join(scratch, str(number))
            damaged = os.path.join(scratch, f"{number}.pak")
            data = dict(damaged_copies(entries[pack][name]))[damage]
            write_pack(damaged, records[pack], {name: stored(data)})
            return case[1], run(kelo, packs_dir, size, (damaged, os.path.basename(pack)), work)

        with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
            undamaged = dict(zip(sizes, pool.map(
                lambda size: run(kelo, packs_dir, size, None, os.path.join(scratch, "whole_" + size)), sizes)))
            for size, (status, said, picture) in undamaged.items():
                if status != 0 or not picture:
                    print(f"the undamaged run at {size} ended with {status}:\n{said}")
                    return 1
            results = list(pool.map(one, enumerate(cases)))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

    findings = []
    refused = 0
    for (size, pack, name, damage), (status, said, picture) in results:
        spelled = name.replace("/", "\\")
        where = f"{size} {os.path.basename(pack)} {spelled} ({damage})"
        if status == 0:
            if picture != undamaged[size][2] and not allowed(spelled):
                findings.append(f"{where}: ended with 0 and a different picture, saying: {said.strip()!r}")
        elif status == 1:
            refused += 1
            if spelled not in said:
                findings.append(f"{where}: ended with 1 without naming it: {said.strip()!r}")
        else:
            findings.append(f"{where}: ended with {status}: {said.strip()[-300:]!r}")
    for finding in findings:
        print(finding)
    print(f"{len(cases)} damaged entries at {' '.join(sizes)}: {refused} refused, {len(findings)} findings, "
          f"{time.monotonic() - started:.0f} s")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
