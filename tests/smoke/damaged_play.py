#!/usr/bin/env python3
"""Damages each entry a screen size reads in turn, in each of damage_pack's ways (junk, cut to half,
cut by its last bytes, zeroed), and plays the program to where it is read.
   damaged_play.py <flow_tests> [--jobs N] [SIZE...]
Where junk_entries.py stops after start-up, this goes on to each entry's reader: a map's board (from
the adventure map for a map that starts a door, else from the gauntlet's map) and a Continue of a
board the game saved on that map, the door's screen, the quake after it, the temple's and the end
screen (from laid records), the maps, the help and the about pages; an entry with none of these is
started to the menu. Each run is one case of flow_tests (PackDamage: the scripted player on the null
back end) in a folder of its own beside links to the packs, the damaged one in place of its
original. An entry fails the check when a run
 - goes on or turns back without a word, its picture at the checkpoint unlike the whole packs' run's
   (unless junk_entries.py's allow-list says why that is right);
 - says something (on stderr or in a message box) that does not name the entry as the pack names it,
   or names it in only one of the two;
 - leaves the player anywhere but on the start menu at rest (or on the screen itself, for damage the
   allow-list lets by and for a picture that only decorates a screen going on without it, GOES_ON;
   or, for an entry read at start-up, refuses to start);
 - changes or removes the saves laid before it, or sets one aside;
 - crashes (a sanitizer's report included) or hangs;
 - comes to its checkpoint showing what the whole packs show, saying nothing: the route never reads
   the entry, or nothing does.
A route that does not play through on whole packs fails the check too."""
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from collections import defaultdict

from damage_pack import contents, damaged_copies, raw_records, stored, write_pack
from junk_entries import allowed, landscape, lay_copy, program_jobs_sizes

CASE = "PackDamage.TheRouteToTheEntrysReader"
TIMEOUT = 300
# The folder of curve files each screen's boards read; a wrong one leaves its files unreached.
CURVES = {"800x480": "z_levels/z_wide/", "400x240": "z_levels/z_wide/", "320x320": "z_levels/z_square/",
          "240x240": "z_levels/z_square/", "640x480": "z_levels/", "320x240": "z_levels/"}
# Read by a screen past start-up, by what the name holds after the image folder.
SCREEN_ENTRIES = [(r"ui/help/", ["help"]), (r"ui/about/", ["about"]), (r"ui/map/adv", ["adventure"]),
                  (r"ui/map/gaunt", ["gauntlet"]), (r"ui/(temple_complete_bg|temple_head)\.", ["temple"]),
                  (r"ui/theend_bg\.", ["end"]), (r"ui/mini_dlg_atlas\.", ["continue spiral"]),
                  (r"quake\d\d", ["quake"]), (r"nebula\.", ["play space", "continue space", "stage_complete space"]),
                  (r"thumbs/(\w+)\.jpg$", ["gauntlet {0}"])]


# Pictures that only decorate a screen that goes on without them: their damage is said (once), and
# the player stays where they were. (a pattern on the name after the image folder, why)
GOES_ON = [(r"thumbs/", "a map's thumbnail that cannot be drawn is said; the map stays, without it"),
           (r"quake\d\d_a\.", "a quake that cannot be cut is said; the next board comes without it")]


def goes_on(spelled):
    inside = spelled.replace("\\", "/").split("/", 1)[-1]
    return next((why for pattern, why in GOES_ON if re.match(pattern, inside)), None)


def routes_of(name):
    """The routes to the readers past start-up of a pack entry; none for what start-up reads."""
    if name.startswith("z_levels/"):
        art = os.path.basename(name)[:-len(".pth")]
        return [f"play {art}", f"continue {art}"]
    inside = name.split("/", 1)[1]
    level = re.match(r"levels/(\w+)/(\w+)\.jpg$", inside)
    if level:
        art, picture = level.groups()
        # The door's screen shows the won stage's picture, not its tunnels; a door ends on only
        # some maps (the case says which).
        return [f"play {art}", f"continue {art}"] + ([f"stage_complete {art}"] if picture == art else [])
    for pattern, routes in SCREEN_ENTRIES:
        found = re.match(pattern, inside)
        if found:
            return [route.format(*found.groups()) for route in routes]
    return []


def launch(program, env, work):
    """(exit status or "hang", stdout, stderr, CPU seconds) of one run of the case."""
    with open(os.path.join(work, "out.txt"), "wb") as out, open(os.path.join(work, "err.txt"), "wb") as err:
        process = subprocess.Popen([program, f"--gtest_filter={CASE}"], env=env, cwd=work, stdout=out, stderr=err)
    hung = threading.Event()

    def stop():
        hung.set()
        process.kill()

    timer = threading.Timer(TIMEOUT, stop)
    timer.start()
    _, status, usage = os.wait4(process.pid, 0)
    timer.cancel()
    process.returncode = os.waitstatus_to_exitcode(status)
    said = [open(os.path.join(work, f), "rb").read().decode(errors="replace") for f in ("out.txt", "err.txt")]
    return ("hang" if hung.is_set() else process.returncode), said[0], said[1], usage.ru_utime + usage.ru_stime


def read_facts(work):
    path = os.path.join(work, "facts.txt")
    if not os.path.exists(path):
        return None
    facts = {"box": []}
    for line in open(path, encoding="utf-8", errors="replace").read().splitlines():
        key, _, value = line.partition(" ")
        if key == "box":
            facts["box"].append(value)
        else:
            facts[key] = value
    return facts if "done" in facts else None


class Runner:
    def __init__(self, flow_tests, scratch):
        self.flow_tests, self.packs_dir, self.scratch = flow_tests, os.path.dirname(flow_tests), scratch
        self.number = 0
        self.lock = threading.Lock()

    def run(self, size, route, damaged=None, board=None, keep=False):
        """(status, facts, stdout, stderr, CPU seconds) of the route at the size; damaged as for
        lay_copy. The folder is removed unless kept (a whole continue run's board lies in it)."""
        with self.lock:
            self.number += 1
            work = os.path.join(self.scratch, f"run{self.number}")
        program = lay_copy(self.flow_tests, self.packs_dir, damaged, work)
        env = dict(os.environ, KELO_HEADLESS="1", KELO_ROUTE=route, KELO_ROUTE_SIZE=size, KELO_ROUTE_OUT=work,
                   KELO_ROUTE_WHOLE="0" if damaged else "1")
        if board:
            env["KELO_ROUTE_BOARD"] = board
        status, out, err, cpu = launch(program, env, work)
        facts = read_facts(work)
        if keep:
            for name in os.listdir(work):
                if name != "board":
                    path = os.path.join(work, name)
                    shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
            facts = facts and dict(facts, folder=work)
        else:
            shutil.rmtree(work, ignore_errors=True)
        return status, facts, out, err, cpu


def spoke(err, facts):
    return bool(facts and facts["box"]) or any(line.startswith("kelo: ") for line in err.splitlines())


def judge(route, spelled, status, facts, out, err, whole):
    """The findings of one damaged run, as (kind, what), and where the entry was named; no
    findings and no name when the run went as on whole packs."""
    if status == "hang":
        return [("hang", f"no end after {TIMEOUT} s")], None
    if facts is None:
        return [("crash", f"ended with {status}: {err.strip()[-300:]!r}")], None
    if "failure" in facts:
        return [("check", facts["failure"])], None
    in_err, in_box = spelled in err, any(spelled in box for box in facts["box"])
    named = "both" if in_err and in_box else "stderr" if in_err else "box" if in_box else None
    said = " | ".join([line for line in err.splitlines() if line.startswith("kelo: ")] + facts["box"])[:300]
    reached, same = facts["reached"] == "1", facts["hash"] == whole["hash"]
    left = re.sub(r"^\d+", "", facts["left"])  # a screen's class, as typeid spells it
    home = "menu" if route == "menu" else "screen"
    why = allowed(spelled)
    findings = []
    if named is None and spoke(err, facts):
        findings.append(("unnamed", f"{'reached' if reached else 'did not reach'} the checkpoint, left on {left}, "
                         f"saying: {said!r}"))
    elif named is None and reached and left == home and (same or why):
        if same and not why:
            findings.append(("unreached", "shows what the whole packs show and says nothing"))
    elif named is None:
        findings.append(("silent", f"went on to the checkpoint with another picture, left on {left}" if reached
                         else f"did not reach the checkpoint, left on {left}"))
    elif left == "screen" and not why and not goes_on(spelled):
        findings.append(("no screen", "named, then left on the screen that read it"))
    # Refusing to start, naming the entry, is right for what start-up reads.
    refused = left == "ended" and facts["menu"] == "0" and facts["exit"] == "1"
    if left not in ("menu", "screen") and not refused:
        findings.append(("no screen", f"left on {left} (exit {facts['exit']})"))
    # A player who started the game from a desktop sees the box, one at a terminal stderr: both.
    if named in ("stderr", "box"):
        findings.append(("half said", f"named in the {'message box' if named == 'box' else 'stderr'} only"))
    if facts["saves"] not in ("kept", "not checked"):
        findings.append(("saves", facts["saves"]))
    failures = [line for line in out.splitlines() if "Failure" in line or line.startswith("Expected")]
    sanitizer = re.search(r"(ERROR: \w+Sanitizer|runtime error:).*", err)
    if sanitizer:
        findings.append(("crash", f"the sanitizers say: {sanitizer.group(0)[:300]}"))
    if isinstance(status, int) and status < 0:
        findings.append(("crash", f"signal {-status} after its facts: {err.strip()[-300:]!r}"))
    elif failures and not findings:
        findings.append(("harness", " ".join(failures)[:300]))
    return findings, named


def play_size(runner, size, jobs):
    """Findings at the size, and its figures."""
    pack = os.path.join(runner.packs_dir, f"_game_{landscape(size)}.pak")
    common = os.path.join(runner.packs_dir, "_game_common.pak")
    records = {path: raw_records(path) for path in (pack, common)}
    entries = {path: contents(path) for path in (pack, common)}
    curves = CURVES[landscape(size)]
    cases = [(pack, info.filename) for info, _ in records[pack]]
    cases += [(common, info.filename) for info, _ in records[common]
              if info.filename.startswith(curves) and "/" not in info.filename[len(curves):]]
    wanted = sorted({route for _, name in cases for route in routes_of(name) or ["menu"]})
    cpu = 0.0
    findings = []
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        usable = {}
        for route, (status, facts, out, err, seconds) in zip(wanted, pool.map(
                lambda route: runner.run(size, route, keep=route.startswith("continue")), wanted)):
            cpu += seconds
            if facts and facts.get("failure", "").startswith("no door ends on"):
                continue
            if status != 0 or not facts or "failure" in facts or facts["reached"] != "1" or spoke(err, facts):
                findings.append(("route", size, route, route.split(" ")[0], "", f"on whole packs: exit {status}, "
                                 f"facts {facts}, saying {err.strip()[-300:]!r}"))
                continue
            usable[route] = facts

        def one(case):
            (pack_path, name), route, damage = case
            damaged = os.path.join(runner.scratch, f"{threading.get_ident()}.pak")
            write_pack(damaged, records[pack_path], {name: stored(dict(damaged_copies(entries[pack_path][name]))[damage])})
            board = usable[route].get("folder")
            status, facts, out, err, seconds = runner.run(size, route, (damaged, os.path.basename(pack_path)),
                                                          board and os.path.join(board, "board"))
            spelled = name.replace("/", "\\")
            return (route, spelled, damage, seconds) + judge(route, spelled, status, facts, out, err, usable[route])

        runs = [(case, route, damage) for case in cases for route in routes_of(case[1]) or ["menu"] if route in usable
                for damage, _ in damaged_copies(entries[case[0]][case[1]])]
        results = list(pool.map(one, runs))
    named_by = defaultdict(int)
    for route, spelled, damage, seconds, found, named in results:
        cpu += seconds
        if named:
            named_by[named] += 1
        way = usable[route].get("way", "")
        reader = route.split(" ")[0] + (" (gauntlet)" if route.startswith(("play", "continue")) and way == "gauntlet"
                                        else "")
        findings += [(kind, size, route, reader, f"{spelled} ({damage})", what) for kind, what in found]
    for route, facts in usable.items():
        if "folder" in facts:
            shutil.rmtree(facts["folder"], ignore_errors=True)
    return findings, len(runs), len(usable), cpu, named_by


def report(findings):
    by_kind = defaultdict(list)
    for finding in findings:
        by_kind[finding[0]].append(finding)
    for kind in sorted(by_kind):
        found = by_kind[kind]
        readers = defaultdict(int)
        for finding in found:
            readers[finding[3]] += 1
        print(f"== {kind}: {len(found)} (" + ", ".join(f"{r} {n}" for r, n in sorted(readers.items())) + ")")
        for _, size, route, _, spelled, what in found:
            print(f"{size} [{route}] {spelled}: {what}")


def main(argv):
    parsed = program_jobs_sizes(argv, __doc__)
    if not parsed:
        return 2
    flow_tests, jobs, sizes = parsed
    scratch = tempfile.mkdtemp(prefix="kelo_damaged_play_")
    findings, figures = [], []
    try:
        runner = Runner(flow_tests, scratch)
        for size in sizes:
            started = time.monotonic()
            found, runs, routes, cpu, named_by = play_size(runner, size, jobs)
            findings += found
            figures.append(f"{size}: {runs} damaged runs on {routes} routes, {time.monotonic() - started:.0f} s wall, "
                           f"{cpu:.0f} s CPU; named in " +
                           (", ".join(f"{where} {n}" for where, n in sorted(named_by.items())) or "nothing"))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    report(findings)
    for line in figures:
        print(line)
    print(f"{len(findings)} findings at {' '.join(sizes)}")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
