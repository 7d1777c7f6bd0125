#!/usr/bin/env python3
"""Writes the map screens' SVG sources, their art list block and their layout source.

The adventure and gauntlet maps draw their pictures at the layout table's integers, which follow
each screen's own anchors rather than a scaled 640x480 (the doors shift on the wide screens while
the back picture stays at x 0; the square screens keep their scenes low under a sky of their
own). So every picture is composed per image folder in that screen's pixels, from the same
integers the game reads (copied below from game/tables/layout_table.cpp), and written as an SVG
whose view box is in pixels and whose size is in design units of the folder's scale.

Run it from the project root; it rewrites assets/art/map/, the block between the "maps:" markers
of assets/art/art.txt and assets/ui/maps.txt.
"""

import math
import os
import random
import re

ART = "assets/art/"
OUT = ART + "map/"
LAYOUT = "assets/ui/maps.txt"

# folder, layout name, scale, screen, design-area offset of the layout tool
FOLDERS = [
    ("i_VGA", "640x480", 1.0, 640, 480, (0, 0)),
    ("i_800x480", "800x480", 1.0, 800, 480, (80, 0)),
    ("i_QVGA", "320x240", 0.5, 320, 240, (0, 0)),
    ("i_400x240", "400x240", 0.5, 400, 240, (40, 0)),
    ("i_320x320", "320x320", 0.5, 320, 320, (0, 40)),
    ("i_240x240", "240x240", 0.375, 240, 240, (0, 30)),
]

# Layout integers per folder: back x/y (24, 25), temple pictures (26..35), doors x (40..51) and
# y (52..63), jitter (64), gems x (73..76) and y (77..80), background (81, 82), thumbnail
# (83..86), mode name (87, 88), emblem (89, 90).
INTS = {
    "i_VGA": dict(adv=[0, 5, 0, 112, 0, 113, 395, 131, 395, 127, 173, 5],
                  dx=[227, 296, 366, 0, 69, 120, 452, 509, 568, 219, 292, 370],
                  dy=[300, 270, 300, 165, 160, 156, 154, 154, 154, 38, 39, 39],
                  gx=[209, 232, 249, 265], gy=[179, 129, 82, 28], bg=(0, 0), thumb=(176, 239, 305, 197),
                  mode=(470, 250), emblem=(564, 148)),
    "i_800x480": dict(adv=[0, 5, 0, 112, 0, 112, 475, 127, 475, 127, 253, 5],
                      dx=[307, 376, 446, 80, 149, 200, 532, 589, 648, 299, 372, 450],
                      dy=[300, 270, 300, 165, 160, 156, 154, 154, 154, 38, 39, 39],
                      gx=[289, 312, 329, 345], gy=[179, 129, 82, 28], bg=(0, 0), thumb=(256, 239, 305, 197),
                      mode=(550, 250), emblem=(724, 148)),
    "i_QVGA": dict(adv=[0, 2, 0, 56, 0, 56, 197, 65, 197, 63, 86, 2],
                   dx=[113, 148, 183, 0, 34, 60, 226, 254, 284, 109, 146, 185],
                   dy=[150, 135, 150, 82, 80, 78, 77, 77, 77, 19, 19, 19],
                   gx=[104, 116, 124, 132], gy=[89, 64, 41, 14], bg=(0, 0), thumb=(88, 119, 152, 98),
                   mode=(235, 125), emblem=(282, 74)),
    "i_400x240": dict(adv=[0, 2, 0, 56, 0, 56, 237, 65, 237, 63, 126, 2],
                      dx=[153, 188, 223, 40, 74, 100, 266, 294, 324, 149, 186, 225],
                      dy=[150, 135, 150, 82, 80, 78, 77, 77, 77, 19, 19, 19],
                      gx=[144, 156, 164, 172], gy=[89, 64, 41, 14], bg=(0, 0), thumb=(128, 119, 152, 98),
                      mode=(275, 125), emblem=(362, 74)),
    "i_320x320": dict(adv=[0, 82, 0, 136, 0, 136, 197, 145, 197, 143, 86, 82],
                      dx=[113, 148, 183, 0, 34, 60, 226, 254, 284, 109, 146, 185],
                      dy=[230, 215, 230, 162, 160, 158, 157, 157, 157, 99, 99, 99],
                      gx=[104, 116, 124, 132], gy=[169, 144, 121, 94], bg=(0, 80), thumb=(88, 199, 152, 98),
                      mode=(235, 205), emblem=(282, 154)),
    "i_240x240": dict(adv=[0, 46, 0, 67, 0, 67, 148, 74, 148, 72, 64, 46],
                      dx=[85, 111, 137, 0, 25, 45, 169, 190, 213, 81, 109, 138],
                      dy=[139, 128, 139, 87, 86, 84, 83, 83, 83, 59, 59, 59],
                      gx=[78, 87, 93, 99], gy=[127, 108, 90, 70], bg=(0, 60), thumb=(63, 151, 114, 73),
                      mode=(176, 153), emblem=(211, 115)),
}

# Sprite sizes in design units (multiples of 8, whole pixels at every scale).
DOOR_W, DOOR_H = 40, 56
# The doorway's opening and its stone frame in the door sprite's design units: a corbelled arch.
OPENING = [(6, 56), (6, 22), (13, 9), (27, 9), (34, 22), (34, 56)]
FRAME = [(1, 56), (1, 19), (10, 3), (30, 3), (39, 19), (39, 56)]
# The rank tiers of the gauntlet's pyramid, bottom first: widths and the height of each.
TIER_W = [240, 192, 160, 128]
TIER_H = 48
EMBLEM = 80


def f(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")


def pts(points):
    return " ".join("%s,%s" % (f(x), f(y)) for x, y in points)


def design(px, scale):
    """The design size (a multiple of 8) that covers px pixels at the scale."""
    return int(math.ceil(px / scale / 8.0)) * 8


def svg(width_px, height_px, scale, comment, body, defs=""):
    w, h = design(width_px, scale), design(height_px, scale)
    vw, vh = w * scale, h * scale
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %s %s">\n'
            '  <!-- %s Made by tools/arttool/map_scene.py. -->\n'
            '  <defs>\n%s  </defs>\n%s</svg>\n' % (w, h, f(vw), f(vh), comment, defs, body))


def write(name, text):
    with open(OUT + name, "w") as out:
        out.write(text)


STONE_DEFS = """    <linearGradient id="stone" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#b7a58a"/><stop offset="1" stop-color="#7d6b54"/>
    </linearGradient>
    <linearGradient id="stoneDark" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8a7a66"/><stop offset="1" stop-color="#574a3c"/>
    </linearGradient>
    <linearGradient id="moss" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#7f8f6a"/><stop offset="1" stop-color="#4a5a40"/>
    </linearGradient>
    <linearGradient id="mossDark" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#5a6650"/><stop offset="1" stop-color="#2e3a2a"/>
    </linearGradient>
    <linearGradient id="inside" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#0c0806"/><stop offset="0.7" stop-color="#23150c"/>
      <stop offset="1" stop-color="#5a3414"/>
    </linearGradient>
    <linearGradient id="jungle" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#4f8a3c"/><stop offset="1" stop-color="#1f4a22"/>
    </linearGradient>
    <linearGradient id="far" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#7fa6a8"/><stop offset="1" stop-color="#5e8a78"/>
    </linearGradient>
    <linearGradient id="slab" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#3a2e24" stop-opacity="0.92"/>
      <stop offset="1" stop-color="#1c1510" stop-opacity="0.92"/>
    </linearGradient>
"""


# Temples: a shrine holding three corbelled doorways on stepped tiers with a stair down the
# middle. The doorways lie exactly where the door sprites are drawn.

def doorway(x, y, s, locked):
    frame = [(x + a * s, y + b * s) for a, b in FRAME]
    opening = [(x + a * s, y + b * s) for a, b in OPENING]
    out = ['<polygon points="%s" fill="%s"/>' % (pts(frame), "#6e6252" if locked else "#d8c7a4")]
    out.append('<polygon points="%s" fill="url(#inside)"/>' % pts(opening))
    if locked:
        # Sealed with rubble: the locked picture shows no way in.
        out.append('<polygon points="%s" fill="#5d5244"/>' % pts(opening))
        for i in range(1, 4):
            yy = y + (9 + i * 11.5) * s
            out.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#3e352b" stroke-width="%s"/>'
                       % (f(x + 6 * s), f(yy), f(x + 34 * s), f(yy), f(max(0.6, 1.2 * s))))
    return out


def temple(doors, s, top, locked, tiers, rng, crest=True):
    """doors: three (x, y) in pixels; top: the shrine's top edge. Returns (elements, bbox)."""
    dw, dh = DOOR_W * s, DOOR_H * s
    left = min(x for x, _ in doors) - 12 * s
    right = max(x for x, _ in doors) + dw + 12 * s
    bottom = max(y for _, y in doors) + dh + 5 * s
    body = "url(#stoneDark)" if locked else "url(#stone)"
    step = "url(#mossDark)" if locked else "url(#moss)"
    out = []
    # Tiers, widest at the bottom, drawn from the bottom up.
    tier_h = 18 * s
    for i in reversed(range(tiers)):
        grow = (i + 1) * 15 * s
        y0 = bottom + i * tier_h
        out.append('<rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>'
                   % (f(left - grow), f(y0), f(right - left + 2 * grow), f(tier_h + 0.5), step))
        out.append('<rect x="%s" y="%s" width="%s" height="%s" fill="#000" opacity="0.18"/>'
                   % (f(left - grow), f(y0 + tier_h - 3 * s), f(right - left + 2 * grow), f(3 * s)))
    # The stair down the middle.
    mid = sorted(doors)[1]
    sx = mid[0] + dw / 2
    stair_top = mid[1] + dh
    stair_bottom = bottom + tiers * tier_h
    half_top, half_bottom = 14 * s, 22 * s
    out.append('<polygon points="%s" fill="%s"/>' % (pts([(sx - half_top, stair_top), (sx + half_top, stair_top),
                                                       (sx + half_bottom, stair_bottom),
                                                       (sx - half_bottom, stair_bottom)]),
                                                  "#6a5e4e" if locked else "#c9b895"))
    n = int((stair_bottom - stair_top) / (5 * s))
    for i in range(1, n):
        yy = stair_top + i * (stair_bottom - stair_top) / n
        hw = half_top + (half_bottom - half_top) * i / n
        out.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#000" stroke-opacity="0.25" stroke-width="%s"/>'
                   % (f(sx - hw), f(yy), f(sx + hw), f(yy), f(max(0.5, s))))
    # The shrine and its cornice.
    out.append('<rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>'
               % (f(left), f(top), f(right - left), f(bottom - top), body))
    cornice = min(y for _, y in doors) - 2 * s
    if cornice - top > 8 * s:
        out.append('<rect x="%s" y="%s" width="%s" height="%s" fill="#000" opacity="0.2"/>'
                   % (f(left), f(cornice - 4 * s), f(right - left), f(3 * s)))
        if crest:
            # Carved squares along the frieze.
            k = int((right - left) / (16 * s))
            for i in range(k):
                cx = left + (i + 0.5) * (right - left) / k
                out.append('<rect x="%s" y="%s" width="%s" height="%s" fill="none" stroke="%s" stroke-width="%s"/>'
                           % (f(cx - 4 * s), f(top + 3 * s), f(8 * s), f(min(8 * s, cornice - top - 10 * s)),
                              "#4a4034" if locked else "#8e7a5c", f(max(0.5, 1.2 * s))))
    for x, y in doors:
        out += doorway(x, y, s, locked)
    if locked:
        # Vines hang over a temple not yet reached.
        for i in range(int((right - left) / (14 * s))):
            x0 = left + rng.uniform(0, right - left)
            length = rng.uniform(0.3, 0.9) * (bottom - top)
            out.append('<path d="M%s,%s q%s,%s %s,%s" fill="none" stroke="#2f5a2a" stroke-width="%s" '
                       'stroke-linecap="round"/>' % (f(x0), f(top), f(rng.uniform(-6, 6) * s), f(length / 2),
                                                     f(rng.uniform(-4, 4) * s), f(length), f(2.2 * s)))
    bbox = (left - tiers * 15 * s, top, right + tiers * 15 * s, stair_bottom)
    return out, bbox


def door_sets():
    """Door sprites: 0 sealed, 1 open (nothing over the painted doorway), 2 hovered, 3 chosen."""
    body = []
    body.append('  <g display="${sealed}">')
    body.append('    <polygon points="%s" fill="#6a5d4c"/>' % pts(OPENING))
    for i in range(1, 4):
        y = 9 + i * 11.5
        body.append('    <line x1="6" y1="%s" x2="34" y2="%s" stroke="#3b3129" stroke-width="1.3"/>' % (f(y), f(y)))
    body.append('    <line x1="20" y1="20.5" x2="20" y2="32" stroke="#3b3129" stroke-width="1.3"/>')
    body.append('    <line x1="14" y1="32" x2="14" y2="43.5" stroke="#3b3129" stroke-width="1.3"/>')
    body.append('    <line x1="26" y1="43.5" x2="26" y2="56" stroke="#3b3129" stroke-width="1.3"/>')
    body.append('    <circle cx="20" cy="38" r="5" fill="#2e8a66" stroke="#c6f7de" stroke-width="1"/>')
    body.append('  </g>')
    body.append('  <g display="${lit}">')
    body.append('    <polygon points="%s" fill="url(#glow)" opacity="${inner}"/>' % pts(OPENING))
    body.append('    <polygon points="%s" fill="none" stroke="${rim}" stroke-width="2.5" stroke-linejoin="round"/>'
                % pts(FRAME[1:-1]))
    body.append('    <circle cx="20" cy="44" r="${flame}" fill="#fff6cf" opacity="0.85"/>')
    body.append('  </g>')
    defs = ('    <radialGradient id="glow" cx="0.5" cy="0.75" r="0.7">\n'
            '      <stop offset="0" stop-color="${core}"/><stop offset="1" stop-color="${core}" stop-opacity="0"/>\n'
            '    </radialGradient>\n')
    text = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
            '  <!-- A temple door over its painted doorway: sealed, open (nothing), hovered, chosen.\n'
            '       Frame 0 is the door\'s hit box. Made by tools/arttool/map_scene.py. -->\n'
            '  <defs>\n%s  </defs>\n%s\n</svg>\n' % (DOOR_W, DOOR_H, DOOR_W, DOOR_H, defs, "\n".join(body)))
    write("adv_door.svg", text)


# Skies: gradients with clouds drawn a tile's width to either side, so the tile wraps.

def sky(name, height_px, scale, top, bottom, cloud, seed, comment):
    rng = random.Random(seed)
    w = 640 * scale
    body = ['  <rect width="%s" height="%s" fill="url(#sky)"/>' % (f(w), f(design(height_px, scale) * scale))]
    for i in range(9):
        cx = rng.uniform(0, w)
        cy = rng.uniform(0.08, 0.55) * height_px
        sc = rng.uniform(0.6, 1.3) * scale
        puffs = [(rng.uniform(-60, 60) * sc, rng.uniform(-8, 5) * sc, rng.uniform(20, 36) * sc,
                  rng.uniform(8, 14) * sc) for _ in range(rng.randint(4, 6))]
        for dx in (-w, 0, w):
            body.append('  <g transform="translate(%s %s)" fill="%s" opacity="0.8" filter="url(#soft)">'
                        % (f(cx + dx), f(cy), cloud))
            for px, py, rx, ry in puffs:
                body.append('    <ellipse cx="%s" cy="%s" rx="%s" ry="%s"/>' % (f(px), f(py), f(rx), f(ry)))
            body.append('  </g>')
    defs = ('    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">\n'
            '      <stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/>\n'
            '    </linearGradient>\n'
            '    <filter id="soft" x="-0.3" y="-0.5" width="1.6" height="2">'
            '<feGaussianBlur stdDeviation="%s"/></filter>\n' % (top, bottom, f(2.5 * scale)))
    write(name, svg(640 * scale, height_px, scale, comment, "\n".join(body) + "\n", defs))


# The adventure map.

def hills(w, y0, y1, rng, fill, count, amp):
    """A band of rounded hills from y0 (their tops) down to y1."""
    d = "M0,%s " % f(y1)
    x = 0.0
    step = w / count
    d += "L0,%s " % f(y0 + rng.uniform(0, amp))
    while x < w:
        nx = x + step
        d += "Q%s,%s %s,%s " % (f(x + step / 2), f(y0 - rng.uniform(0, amp)), f(nx), f(y0 + rng.uniform(0, amp)))
        x = nx
    d += "L%s,%s Z" % (f(w), f(y1))
    return '<path d="%s" fill="%s"/>' % (d, fill)


def adventure(folder):
    name, _, s, W, H, _ = folder
    k = INTS[name]
    adv = k["adv"]
    doors = list(zip(k["dx"], k["dy"]))
    dw, dh = DOOR_W * s, DOOR_H * s
    rng = random.Random(11)
    out = {}
    entries = []

    # Temple 1 stands in the back picture; the others are pictures of their own.
    back_at = (adv[0], adv[1])
    t1_top = min(y for _, y in doors[0:3]) - 16 * s
    t1, t1_box = temple(doors[0:3], s, t1_top, False, 3, rng)
    horizon = back_at[1] + 0.30 * (H - back_at[1])
    body = []
    body.append(hills(W, horizon, H, rng, "url(#far)", 5, 14 * s))
    body.append(hills(W, horizon + 40 * s, H, rng, "#3f7a46", 7, 12 * s))
    body.append(hills(W, horizon + 95 * s, H, rng, "url(#jungle)", 9, 10 * s))
    # Tree crowns scattered over the jungle.
    for i in range(int(W / (9 * s))):
        x = rng.uniform(0, W)
        y = rng.uniform(horizon + 60 * s, H)
        r = rng.uniform(7, 14) * s
        body.append('<circle cx="%s" cy="%s" r="%s" fill="%s" opacity="0.9"/>'
                    % (f(x), f(y), f(r), rng.choice(["#2f6a2c", "#3d7f34", "#26562a", "#4c8a3a"])))
    body += t1
    # The high-score plaque in the top left corner, where the layout puts its rows.
    hs = HIGH_SCORE_PLAQUE[name]
    if hs:
        body.append(plaque(*hs, s, "0.82"))
    content = '  <g transform="translate(%s %s)">\n    %s\n  </g>\n' % (f(-back_at[0]), f(-back_at[1]),
                                                                       "\n    ".join(body))
    out["adv_back"] = (W - back_at[0], H - back_at[1], content,
                       "The adventure's landscape with the first temple; the sky shows above it.")

    # Temples 2..4, unlocked and (2, 3) locked, each cut at its own anchor.
    specs = [("adv_temple2", 2, 3, False), ("adv_temple2_locked", 4, 3, True),
             ("adv_temple3", 6, 6, False), ("adv_temple3_locked", 8, 6, True), ("adv_temple4", 10, 9, False)]
    for pic, i, d0, locked in specs:
        ax, ay = adv[i], adv[i + 1]
        # The locked and unlocked pictures of a temple share one shape: the lower anchor's top.
        ys = {3: (3, 5), 6: (7, 9), 9: (11, 11)}[d0]
        top = max(adv[ys[0]], adv[ys[1]]) + 1
        tiers = 4 if d0 == 9 else 3
        elements, box = temple(doors[d0:d0 + 3], s, top, locked, tiers, random.Random(d0 + 50), crest=True)
        width = min(W, box[2]) - ax
        height = min(H, box[3]) - ay
        content = '  <g transform="translate(%s %s)">\n    %s\n  </g>\n' % (f(-ax), f(-ay), "\n    ".join(elements))
        what = "locked, overgrown and sealed" if locked else "open, its doorways dark"
        out[pic] = (width, height, content, "Temple %d %s." % (d0 // 3 + 1, what))

    # The bottom: foreground leaves and a stone ledge holding the captions and buttons.
    band = BOTTOM_BAND[name]
    body = []
    body.append('<rect x="0" y="%s" width="%s" height="%s" fill="#2b231c"/>' % (f(band * 0.18), f(W), f(band)))
    body.append('<rect x="0" y="%s" width="%s" height="%s" fill="#c9a45a"/>' % (f(band * 0.18), f(W), f(max(1, 2 * s))))
    for i in range(int(W / (6 * s))):
        x = rng.uniform(-10 * s, W + 10 * s)
        r = rng.uniform(6, 13) * s
        y = rng.uniform(0, band * 0.22)
        body.append('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" transform="rotate(%s %s %s)"/>'
                    % (f(x), f(y + r * 0.4), f(r), f(r * 0.45), rng.choice(["#2f6a2c", "#3d7f34", "#1f4a22"]),
                       f(rng.uniform(-40, 40)), f(x), f(y + r * 0.4)))
    out["adv_bottom"] = (W, band, "  " + "\n  ".join(body) + "\n",
                         "The ledge in front of the temples; temple 4 rises from behind it.")
    return out


# Where each folder's high-score plaque and bottom ledge go (pixels); the layout matches them.
# The plaques end left of the corner's close button.
HIGH_SCORE_PLAQUE = {
    "i_VGA": (376, 6, 586, 112), "i_800x480": (490, 6, 746, 112), "i_QVGA": (188, 3, 293, 57),
    "i_400x240": (228, 3, 373, 57), "i_320x320": None, "i_240x240": None,
}
# The application's close button in the screen's top right corner, in design units square.
CLOSE_BUTTON = 48
BOTTOM_BAND = {"i_VGA": 116, "i_800x480": 116, "i_QVGA": 58, "i_400x240": 58, "i_320x320": 60, "i_240x240": 78}
SQUARE = ("i_320x320", "i_240x240")


def adventure_ui(folder):
    """Pixel places of the adventure map's widgets: (x, y, alignX) with x the left, centre or right."""
    name, _, s, W, H, (ax, _) = folder
    band = BOTTOM_BAND[name]
    ledge = H - band + round(band * 0.18)
    ui = {}
    btn_h = 48 * s
    button_y = round(ledge + (H - ledge - btn_h) / 2)
    if name not in SQUARE:
        x0, y0, x1, _ = HIGH_SCORE_PLAQUE[name]
        ui["txt_adv_hs_title"] = (round((x0 + x1) / 2), y0 + round(4 * s), "center")
        for i in range(3):
            y = y0 + round((44 + 20 * i) * s)
            ui["txt_hs_name_%d" % (i + 1)] = (x0 + round(10 * s), y, "left")
            ui["txt_hs_value_%d" % (i + 1)] = (x1 - round(10 * s), y, "right")
        ui["txt_adv_stage"] = (ax + round(210 * s), ledge + round(4 * s), "right")
        ui["txt_adv_stage_n"] = (ax + round(218 * s), ledge + round(4 * s), "left")
        ui["txt_adv_temple"] = (ax + round(490 * s), ledge + round(8 * s), "right")
        ui["txt_adv_stage_desc"] = (ax + round(150 * s), ledge + round(32 * s), "left")
        ui["btn_adv_menu"] = (ax + round(72 * s), button_y, "center")
        ui["btn_adv_play"] = (ax + round(568 * s), button_y, "center")
    else:
        line = 11 if name == "i_320x320" else 10
        ui["txt_adv_hs_title"] = (4, 3, "left")
        for i in range(3):
            y = 3 + line * (i + 1) + 2
            ui["txt_hs_name_%d" % (i + 1)] = (4, y, "left")
            ui["txt_hs_value_%d" % (i + 1)] = (round(W * 0.56), y, "right")
        ui["txt_adv_stage"] = (round(W * 0.82), 3, "right")
        ui["txt_adv_stage_n"] = (round(W * 0.82) + 3, 3, "left")
        # The band under the temples: the temple's name, then its door's description.
        ui["txt_adv_temple"] = (W // 2, ledge + 1, "center")
        ui["txt_adv_stage_desc"] = (round(W * 0.22), ledge + line + 2, "left")
        ui["btn_adv_menu"] = (round(W * 0.11), button_y, "center")
        ui["btn_adv_play"] = (W - round(W * 0.11), button_y, "center")
    return ui


def adventure_sizes(folder):
    name, _, s, W, H, _ = folder
    if name in SQUARE:
        return {"txt_adv_stage_desc": round(W * 0.56)}
    return {"txt_adv_stage_desc": round(330 * s)}


def gauntlet_ui(folder):
    name, _, s, W, H, (ax, _) = folder
    k = INTS[name]
    ex, ey = k["emblem"]
    tx, ty, tw, th = k["thumb"]
    ui = {}
    btn = 48 * s
    if name not in SQUARE:
        # Towards the emblem, on the design area, but far enough from its right edge for the longest
        # title to miss the close button, which stands nearer where that edge is the screen's.
        ui["txt_gaunt_title"] = (ax + round((640 - (118 if ax else 126)) * s), round(14 * s), "center")
        ui["txt_gaunt_desc"] = (ax + round(16 * s), round(18 * s), "left")
        ui["chk_gaunt_switch"] = (ax + round(88 * s), round(264 * s), "center")
        ui["btn_gaunt_back"] = (ax + round(88 * s), ty + th // 2 - round(btn / 2) + round(40 * s), "center")
        ui["btn_gaunt_next"] = (tx + tw + round(70 * s), ty + th // 2 - round(btn / 2) + round(40 * s), "center")
        ui["btn_gaunt_menu"] = (ax + round(88 * s), H - round(btn) - round(10 * s), "center")
        ui["btn_gaunt_play"] = (tx + tw + round(70 * s), H - round(btn) - round(10 * s), "center")
        # The scores end 2 design pixels and their shadow's clear of the screen's right edge.
        hx0, hx1 = ex - round(74 * s), ex + round(72 * s)
        top = ey + round(50 * s)
    else:
        line = 11 if name == "i_320x320" else 10
        ui["txt_gaunt_desc"] = (4, 3, "left")
        col = round(tx / 2)
        ui["chk_gaunt_switch"] = (col, k["gy"][1] + 4, "center")
        ui["btn_gaunt_back"] = (col, ty + th // 2 - round(btn / 2) + (10 if name == "i_240x240" else 0), "center")
        ui["btn_gaunt_next"] = (W - col, ty + th // 2 - round(btn / 2) + (10 if name == "i_240x240" else 0), "center")
        ui["btn_gaunt_menu"] = (col, H - round(btn) - 1, "center")
        ui["btn_gaunt_play"] = (W - col, H - round(btn) - 1, "center")
        hx0, hx1 = tx + tw + 3, W - 2
        top = ey + round(EMBLEM * s / 2) + 2
    line = {"i_VGA": 20, "i_800x480": 20}.get(name, 11 if name != "i_240x240" else 10)
    for i in range(3):
        ui["txt_hs_name_%d" % (i + 1)] = (hx0, top + line * i, "left")
        ui["txt_hs_value_%d" % (i + 1)] = (hx1, top + line * i, "right")
    # Hidden: the switch is the mode control the player sees.
    ui["rad_survival"] = (0, 0, "left")
    ui["rad_practice"] = (0, 0, "left")
    return ui


def gauntlet_sizes(folder):
    name, _, s, W, H, _ = folder
    if name in SQUARE:
        # Across the top, short of the corner's close button.
        return {"txt_gaunt_desc": W - 6 - round(CLOSE_BUTTON * s)}
    return {"txt_gaunt_desc": round(148 * s)}


def plaque(x0, y0, x1, y1, s, opacity="0.85"):
    """A dark panel in a gold rim, with the mark of its inside for the layout check: within the rim,
    as far again from it for air, in the screen's pixels, as the picture lies on the screen."""
    rim = max(1, 2 * s)
    return ('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="#2b231c" opacity="%s" stroke="#c9a45a" '
            'stroke-width="%s"/>\n    <rect id="inner_%d_%d" x="%s" y="%s" width="%s" height="%s" fill="none"/>'
            % (f(x0), f(y0), f(x1 - x0), f(y1 - y0), f(6 * s), opacity, f(rim), round(x0), round(y0),
               f(x0 + 2 * rim), f(y0 + 2 * rim), f(x1 - x0 - 4 * rim), f(y1 - y0 - 4 * rim)))


def gauntlet(folder):
    name, _, s, W, H, (ax, _) = folder
    k = INTS[name]
    bx, by = k["bg"]
    tx, ty, tw, th = k["thumb"]
    ex, ey = k["emblem"]
    rng = random.Random(23)
    body = []
    # The jungle reaches up to well above the thumbnail: the sky ends above it.
    horizon = by + (ty - by) * 0.55
    body.append(hills(W, horizon, H, rng, "url(#far)", 5, 10 * s))
    body.append(hills(W, horizon + 22 * s, H, rng, "#3f7a46", 7, 8 * s))
    body.append('<rect x="0" y="%s" width="%s" height="%s" fill="url(#jungle)"/>' % (f(ty - 20 * s), f(W), f(H)))
    for i in range(int(W / (8 * s))):
        x = rng.uniform(0, W)
        y = rng.uniform(horizon + 30 * s, H)
        body.append('<circle cx="%s" cy="%s" r="%s" fill="%s" opacity="0.9"/>'
                    % (f(x), f(y), f(rng.uniform(6, 12) * s), rng.choice(["#2f6a2c", "#3d7f34", "#26562a"])))
    # The pyramid: its four tiers are the rank gems (sealed as painted here), a shrine on top.
    gx, gy = k["gx"], k["gy"]
    cx = gx[0] + TIER_W[0] * s / 2
    base = gy[0] + TIER_H * s
    body.append('<polygon points="%s" fill="#5e5444"/>' % pts([(gx[0] - 8 * s, base + 8 * s), (gx[0] + TIER_W[0] * s + 8 * s, base + 8 * s),
                                                          (gx[0] + TIER_W[0] * s, base), (gx[0], base)]))
    for g in range(4):
        w, h = TIER_W[g] * s, TIER_H * s
        body.append('<rect x="%s" y="%s" width="%s" height="%s" fill="url(#stoneDark)" stroke="#3a3128" '
                    'stroke-width="%s"/>' % (f(gx[g]), f(gy[g]), f(w), f(h), f(max(0.8, 1.5 * s))))
        body.append('<rect x="%s" y="%s" width="%s" height="%s" fill="#000" opacity="0.22"/>'
                    % (f(gx[g] + 6 * s), f(gy[g] + 8 * s), f(w - 12 * s), f(h - 16 * s)))
    top = gy[3]
    body.append('<rect x="%s" y="%s" width="%s" height="%s" fill="url(#stoneDark)"/>'
                % (f(cx - 26 * s), f(top - 18 * s), f(52 * s), f(18 * s)))
    body.append('<rect x="%s" y="%s" width="%s" height="%s" fill="#120c08"/>'
                % (f(cx - 8 * s), f(top - 14 * s), f(16 * s), f(14 * s)))
    # Everything so far leaves a clear window where the thumbnail, drawn first, shows through.
    body = ['<mask id="window" maskUnits="userSpaceOnUse" x="-10" y="-10" width="%s" height="%s">'
            '<rect x="-10" y="-10" width="%s" height="%s" fill="#fff"/>'
            '<rect x="%s" y="%s" width="%s" height="%s" fill="#000"/></mask>'
            % (f(W + 20), f(H + 20), f(W + 20), f(H + 20), f(tx), f(ty), f(tw), f(th)),
            '<g mask="url(#window)">'] + body + ['</g>']
    # The thumbnail's stone frame.
    m = 7 * s
    body.append('<path d="M%s,%s h%s v%s h%s Z M%s,%s v%s h%s v%s Z" fill="#8a7a66" fill-rule="evenodd" '
                'stroke="#c9a45a" stroke-width="%s"/>'
                % (f(tx - m), f(ty - m), f(tw + 2 * m), f(th + 2 * m), f(-(tw + 2 * m)), f(tx), f(ty), f(th), f(tw),
                   f(-th), f(max(1, 1.5 * s))))
    # The emblem's socket and the panels under the texts.
    body.append('<circle cx="%s" cy="%s" r="%s" fill="#2b231c" stroke="#c9a45a" stroke-width="%s"/>'
                % (f(ex), f(ey), f(EMBLEM * s / 2 + 4 * s), f(max(1, 2 * s))))
    # Before a rank is reached the socket holds a carved stone sun, which the medallion covers.
    r = 36 * s
    body.append('<circle cx="%s" cy="%s" r="%s" fill="url(#stoneDark)" stroke="#3a3128" stroke-width="%s"/>'
                % (f(ex), f(ey), f(r), f(max(0.8, 1.5 * s))))
    for i in range(12):
        a = i * math.pi / 6
        body.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="#3a3128" stroke-width="%s" stroke-linecap="round"/>'
                    % (f(ex + 17 * s * math.cos(a)), f(ey + 17 * s * math.sin(a)), f(ex + 29 * s * math.cos(a)),
                       f(ey + 29 * s * math.sin(a)), f(max(1, 3 * s))))
    body.append('<circle cx="%s" cy="%s" r="%s" fill="#6e6252" stroke="#3a3128" stroke-width="%s"/>'
                % (f(ex), f(ey), f(12 * s), f(max(0.8, 2 * s))))
    ui = gauntlet_ui(folder)
    # The score rows' plaque holds their three lines and the rim's width again below them; on the
    # square screens, as on the others, it runs on past the screen's right edge.
    hx, hy, _ = ui["txt_hs_name_1"]
    vx, _, _ = ui["txt_hs_value_1"]
    line = ui["txt_hs_name_2"][1] - hy
    rim = max(1, 2 * s)
    if name not in SQUARE:
        x, y, _ = ui["txt_gaunt_desc"]
        body.append(plaque(x - 8 * s, y - 8 * s, x + 156 * s, y + 200 * s, s))
        body.append(plaque(hx - 6 * s, hy - 4 * s, vx + 8 * s, hy + 3 * line + round(2 * s) + rim, s))
    else:
        body.append(plaque(hx - 2, hy - 2, vx + 1 + 2 * rim, hy + 3 * line + 1 + 2 * rim, s))
    content = '  <g transform="translate(%s %s)">\n    %s\n  </g>\n' % (f(-bx), f(-by), "\n    ".join(body))
    return {"gaunt_bg": (W - bx, H - by, content,
                         "The gauntlet's pyramid of four rank tiers, a window for the thumbnail and the panels.")}


def gem_sets():
    """The rank tiers over the painted pyramid: 0 sealed (its size is the hit box), 1 open, 2 hovered, 3 chosen."""
    for g in range(4):
        w, h = TIER_W[g], TIER_H
        body = ('  <rect x="1" y="1" width="%d" height="%d" fill="${face}" stroke="${rim}" stroke-width="2.5" '
                'opacity="${show}"/>\n'
                '  <rect x="7" y="8" width="%d" height="%d" fill="none" stroke="${inlay}" stroke-width="2" '
                'opacity="${show}"/>\n' % (w - 2, h - 2, w - 14, h - 16))
        text = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
                '  <!-- Rank tier %d of the gauntlet pyramid: sealed, open, hovered, chosen. Made by\n'
                '       tools/arttool/map_scene.py. -->\n%s</svg>\n' % (w, h, w, h, g + 1, body))
        write("gaunt_tier%d.svg" % (g + 1), text)


def switch_sets():
    """The mode switch: a plaque with a lever on its left, up (practice) or down (survival)."""
    # Tall enough for both labels a line each, apart, at the smallest screen's font.
    body = ('  <rect x="1" y="1" width="158" height="70" rx="8" fill="#2b231c" stroke="${rim}" stroke-width="2.5"/>\n'
            '  <rect x="10" y="8" width="10" height="56" rx="5" fill="#120c08"/>\n'
            '  <circle cx="15" cy="${knob}" r="7" fill="${gem}" stroke="#f0d58a" stroke-width="1.5"/>\n')
    text = ('<svg xmlns="http://www.w3.org/2000/svg" width="160" height="72" viewBox="0 0 160 72">\n'
            '  <!-- The gauntlet\'s mode switch: normal, focused, pressed, disabled. Made by\n'
            '       tools/arttool/map_scene.py. -->\n%s</svg>\n' % body)
    write("gaunt_switch.svg", text)


def emblems():
    """Medallions of the ranks reached: eagle, jaguar and sun god."""
    R = EMBLEM / 2
    ring = ('  <circle cx="40" cy="40" r="38" fill="url(#disc)" stroke="#f0d58a" stroke-width="3"/>\n'
            '  <circle cx="40" cy="40" r="31" fill="none" stroke="#7a5a1e" stroke-width="1.5"/>\n')
    defs = ('  <defs><radialGradient id="disc" cx="0.4" cy="0.35" r="0.7"><stop offset="0" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></radialGradient></defs>\n')
    shapes = {
        "eagle": ("#6fd0a8", "#1f6a4c", '  <path d="M40,22 L47,34 L62,30 L52,44 L58,56 L40,49 L22,56 L28,44 L18,30 '
                  'L33,34 Z" fill="#f6e7b8" stroke="#3a2a10" stroke-width="1.5"/>\n'
                  '  <circle cx="40" cy="31" r="2.2" fill="#3a2a10"/>\n'),
        "jaguar": ("#f0b450", "#8a4a10", '  <ellipse cx="40" cy="43" rx="17" ry="15" fill="#f6d36a" stroke="#3a2a10" '
                   'stroke-width="1.5"/>\n  <path d="M25,32 L27,20 L35,29 Z M55,32 L53,20 L45,29 Z" fill="#f6d36a" '
                   'stroke="#3a2a10" stroke-width="1.5"/>\n  <circle cx="34" cy="40" r="2.5" fill="#3a2a10"/>\n'
                   '  <circle cx="46" cy="40" r="2.5" fill="#3a2a10"/>\n  <circle cx="31" cy="50" r="2" '
                   'fill="#8a4a10"/>\n  <circle cx="49" cy="50" r="2" fill="#8a4a10"/>\n  <path d="M37,48 L43,48 '
                   'L40,52 Z" fill="#3a2a10"/>\n'),
        "sungod": ("#ffe48a", "#c0661a", "".join(
            '  <path d="M40,40 L%s,%s L%s,%s Z" fill="#fff2b0" stroke="#7a3a10" stroke-width="1"/>\n'
            % (f(40 + 30 * math.cos(a - 0.12)), f(40 + 30 * math.sin(a - 0.12)), f(40 + 30 * math.cos(a + 0.12)),
               f(40 + 30 * math.sin(a + 0.12))) for a in [i * math.pi / 6 for i in range(12)])
            + '  <circle cx="40" cy="40" r="15" fill="#ffcf40" stroke="#7a3a10" stroke-width="1.5"/>\n'
              '  <circle cx="35" cy="37" r="2" fill="#7a3a10"/>\n  <circle cx="45" cy="37" r="2" fill="#7a3a10"/>\n'
              '  <path d="M34,45 Q40,50 46,45" fill="none" stroke="#7a3a10" stroke-width="1.5"/>\n'),
    }
    for key, (c0, c1, shape) in shapes.items():
        text = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 80 80">\n'
                '  <!-- The %s medallion of a rank reached. Made by tools/arttool/map_scene.py. -->\n%s%s%s</svg>\n'
                % (EMBLEM, EMBLEM, key, defs % (c0, c1), ring, shape))
        write("gaunt_gem_%s.svg" % key, text)


# The layout source: every child placed in each screen's pixels, as a design-area position with
# per-resolution lines where the plain mapping would miss.

RES_MAPPING = {"640x480": (1, 1, 0, 0), "800x480": (1, 1, 80, 0), "320x240": (1, 2, 0, 0),
               "400x240": (1, 2, 40, 0), "320x320": (1, 2, 0, 40), "240x240": (3, 8, 0, 30)}


def to_design(px, num, den, off):
    v = px - off
    base = int(v * den / num)
    for d in sorted(range(base - 4, base + 5), key=lambda d: abs(d - base)):
        if int(d * num / den) == v:  # the tool truncates toward zero
            return d
    raise SystemExit("no design value gives %d" % px)


def placed(ui_of, sizes_of, child):
    """Lines of one child: the 640x480 place, then every resolution whose place differs."""
    lines = []
    base = None
    for folder in FOLDERS:
        name, res = folder[0], folder[1]
        x, y, align = ui_of(folder)[child]
        num, den, ox, oy = RES_MAPPING[res]
        d = (to_design(x, num, den, ox), to_design(y, num, den, oy))
        if base is None:
            base = (d, align)
            lines.append("    area_position: %d, %d" % d)
            if align != "left":
                lines.append("    align: %s" % align)
            continue
        bx, by = base[0]
        if (int(bx * num / den) + ox, int(by * num / den) + oy) != (x, y):
            lines.append("    [%s] area_position: %d, %d" % ((res,) + d))
        if align != base[1]:
            lines.append("    [%s] align: %s" % (res, align))
    return lines


def sized(sizes_of, widget, rows=0):
    lines = []
    base = None
    for folder in FOLDERS:
        res, s = folder[1], folder[2]
        width = sizes_of(folder)[widget]
        num, den, _, _ = RES_MAPPING[res]
        d = to_design(width, num, den, 0)
        if base is None:
            base = d
            lines.append("    size: %d, %d" % (d, rows))
        elif int(base * num / den) != width:
            lines.append("    [%s] size: %d, %d" % (res, d, rows))
    return lines


def layout():
    out = ["// The adventure and gauntlet maps, in 640x480 design units. Written by",
           "// tools/arttool/map_scene.py from the same places as the maps' pictures: change them there.",
           "//",
           "// The roots have no colour and no background widget: the screens draw their own pictures",
           "// and then these children, and no child covers a door or a rank tier.", ""]
    adv_children = ["txt_adv_hs_title", "txt_hs_name_1", "txt_hs_value_1", "txt_hs_name_2", "txt_hs_value_2",
                    "txt_hs_name_3", "txt_hs_value_3", "txt_adv_stage", "txt_adv_stage_n", "txt_adv_temple",
                    "txt_adv_stage_desc", "btn_adv_menu", "btn_adv_play"]
    out.append('root: "root_adventure"')
    for child in adv_children:
        out.append('    child: "%s"' % child)
        out += ["    " + l for l in placed(adventure_ui, adventure_sizes, child)]
        out.append("    end")
    out.append("end")
    out.append("")
    gaunt_children = ["rad_survival", "rad_practice", "txt_gaunt_title", "txt_gaunt_desc", "chk_gaunt_switch",
                      "txt_hs_name_1", "txt_hs_value_1", "txt_hs_name_2", "txt_hs_value_2", "txt_hs_name_3",
                      "txt_hs_value_3", "btn_gaunt_back", "btn_gaunt_next", "btn_gaunt_menu", "btn_gaunt_play"]
    out.append('root: "root_gauntlet"')
    for child in gaunt_children:
        prefix = ""
        if child == "txt_gaunt_title":
            prefix = "[!320x320,240x240] "
            ui_of = lambda f: dict(gauntlet_ui(f), txt_gaunt_title=gauntlet_ui(FOLDERS[0])["txt_gaunt_title"]
                                   if f[0] in SQUARE else gauntlet_ui(f)["txt_gaunt_title"])
        else:
            ui_of = gauntlet_ui
        out.append('    %schild: "%s"' % (prefix, child))
        for l in placed(ui_of, gauntlet_sizes, child):
            # A line of one size carries that size alone: a second prefix would leave it unread.
            if not l.startswith("    ["):
                out.append("    " + prefix + l)
            elif not any(l.startswith("    [%s]" % res) for res in prefix.strip("[]! ").split(",") if prefix):
                out.append("    " + l)
        out.append("    %send" % prefix)
    out.append("end")
    out.append("")
    out.append(WIDGETS.strip("\n"))
    out.append("")
    # The two text blocks that wrap.
    out.append('text_multi: "txt_adv_stage_desc"')
    out += sized(adventure_sizes, "txt_adv_stage_desc")
    out += ['    style: "text"', "    mt_align: left", "end", ""]
    out.append('text_multi: "txt_gaunt_desc"')
    out += sized(gauntlet_sizes, "txt_gaunt_desc")
    out += ['    style: "text"', "    mt_align: left", "end", ""]
    with open(LAYOUT, "w") as f_:
        f_.write("\n".join(out))


WIDGETS = """
// The adventure map's texts; the map fills the number, the temple and the description.
text: "txt_adv_hs_title"
    txtid: "STR_MAP_BEST_SCORES"
    style: "gold"
    [320x240,400x240,320x320,240x240] style: "note"
end

text: "txt_adv_stage"
    txtid: "STR_MAP_DOOR"
    style: "gold"
end

text: "txt_adv_stage_n"
    caption: "1"
    style: "gold"
end

text: "txt_adv_temple"
    caption: " "
    style: "note"
end

button: "btn_adv_menu"
    set: "btn_small"
    txtid: "STR_MAIN_MENU"
    style: "button_small"
end

button: "btn_adv_play"
    set: "btn_small"
    txtid: "STR_MAP_PLAY"
    style: "button_small"
end

// The high-score rows of both maps.
text: "txt_hs_name_1"
    caption: " "
    style: "text"
end

text: "txt_hs_value_1"
    caption: " "
    style: "text"
end

text: "txt_hs_name_2"
    caption: " "
    style: "text"
end

text: "txt_hs_value_2"
    caption: " "
    style: "text"
end

text: "txt_hs_name_3"
    caption: " "
    style: "text"
end

text: "txt_hs_value_3"
    caption: " "
    style: "text"
end

// The gauntlet map: the mode switch (checked is survival) and the radios it stands for.
text: "txt_gaunt_title"
    txtid: "STR_GAUNTLET"
    style: "gold"
end

// A stone plaque whose lever stands up for practice (the upper label) and down for survival.
checkBox: "chk_gaunt_switch"
    set: "gaunt_switch"
    set_checked: "gaunt_switch_on"
    style: "text"
end

checkBox: "rad_survival"
    set: "check_off"
    set_checked: "check_on"
    txtid: "keloui_rad_survival"
    style: "text"
end

checkBox: "rad_practice"
    set: "check_off"
    set_checked: "check_on"
    txtid: "keloui_rad_practice"
    style: "text"
end

button: "btn_gaunt_back"
    set: "btn_small"
    txtid: "STR_MAP_PREVIOUS"
    style: "button_small"
end

button: "btn_gaunt_next"
    set: "btn_small"
    txtid: "STR_MAP_NEXT"
    style: "button_small"
end

button: "btn_gaunt_menu"
    set: "btn_small"
    txtid: "STR_MAIN_MENU"
    style: "button_small"
end

button: "btn_gaunt_play"
    set: "btn_small"
    txtid: "STR_MAP_PLAY"
    style: "button_small"
end
"""


def art_block():
    lines = ["// maps: begin (written by tools/arttool/map_scene.py)",
             "// The adventure and gauntlet maps' pictures, composed per image folder at the layout",
             "// table's anchors; the skies are tiles that wrap sideways."]
    for folder in FOLDERS:
        name, res = folder[0], folder[1]
        for pic in ("adv_back", "adv_bottom", "adv_temple2", "adv_temple2_locked", "adv_temple3",
                    "adv_temple3_locked", "adv_temple4", "gaunt_bg"):
            lines += ["picture ui\\map\\%s" % pic, "  source map/%s_%s.svg" % (pic, res), "  format jpg",
                      "  only %s" % name, "end", ""]
        for pic in ("advsky", "gauntsky"):
            lines += ["picture ui\\map\\%s" % pic, "  source map/%s_%s.svg" % (pic, res), "  format jpg",
                      "  only %s" % name, "end", ""]
    for key in ("eagle", "jaguar", "sungod"):
        lines += ["picture ui\\map\\gaunt_gem_%s" % key, "  source map/gaunt_gem_%s.svg" % key, "  format jpg",
                  "end", ""]
    temple_colours = ["#ffd46a", "#ffd46a", "#ffd46a", "#6af0c0"]
    for d in range(1, 13):
        core = "#ffe08a" if d <= 9 else "#8affd0"
        lines += ["picture ui\\map\\advdoor%d" % d, "  source map/adv_door.svg", "  frames 4 4",
                  "  var sealed inline none none none", "  var lit none none inline inline",
                  "  var inner 0 0 0.45 0.8", "  var rim #000 #000 #ffd46a #6af0c0", "  var flame 0 0 0 3",
                  "  var core %s %s %s %s" % (core, core, core, core), "  set AdvDoor%d sprites" % d, "end", ""]
    for g in range(1, 5):
        lines += ["picture ui\\map\\gauntdoor%d" % g, "  source map/gaunt_tier%d.svg" % g, "  frames 4 2",
                  "  var face #7d6b54 #a8977a #c9a45a #d9b85e", "  var rim #3a3128 #3fb487 #fff0b0 #6af0c0",
                  "  var inlay #2a241c #6af0c0 #fff6cf #ffffff", "  var show 0 0.55 0.7 0.8",
                  "  set GauntDoor%d sprites" % g, "end", ""]
    for name, knob in (("gaunt_switch", 16), ("gaunt_switch_on", 56)):
        lines += ["picture ui\\map\\%s" % name, "  source map/gaunt_switch.svg", "  frames 4 2",
                  "  var rim #8a7664 #ffd46a #c9952f #6a6660", "  var knob %d %d %d %d" % (knob, knob, knob, knob),
                  "  var gem #3fb487 #6af0c0 #2a8a66 #6a706c", "  set %s sprites" % name, "end", ""]
    lines.append("// maps: end")
    text = open(ART + "art.txt").read()
    block = "\n".join(lines) + "\n"
    start = text.find("// maps: begin")
    if start >= 0:
        end = text.index("// maps: end") + len("// maps: end\n")
        text = text[:start] + block + text[end:]
    else:
        text = text.rstrip("\n") + "\n\n" + block
    with open(ART + "art.txt", "w") as out:
        out.write(text)


def main():
    os.makedirs(OUT, exist_ok=True)
    door_sets()
    gem_sets()
    switch_sets()
    emblems()
    for folder in FOLDERS:
        name, res, s, W, H, _ = folder
        pictures = adventure(folder)
        pictures.update(gauntlet(folder))
        for pic, (w, h, content, comment) in pictures.items():
            write("%s_%s.svg" % (pic, res), svg(w, h, s, comment, content, STONE_DEFS))
        sky("advsky_%s.svg" % res, H, s, "#2f64a8", "#bfe0ea", "#ffffff", 5,
            "The adventure's daytime sky, a tile that wraps sideways.")
        ty = INTS[name]["thumb"][1]
        # It ends above the thumbnail, which is drawn before it.
        step = {1.0: 8, 0.5: 4, 0.375: 3}[s]
        sky_h = ty // step * step
        sky("gauntsky_%s.svg" % res, sky_h, s, "#1c2a5a", "#e89a58", "#f4c6a0", 9,
            "The gauntlet's evening sky, a tile that wraps sideways and ends above the thumbnail.")
    art_block()
    layout()


if __name__ == "__main__":
    main()
