#!/usr/bin/env python3
"""Writes the start menu's SVG sources into assets/art and prints their art list entries.

The menu draws a drifting sky, a screen-size picture over it (a stone frog idol on temple steps,
jungle, a temple wall), then the pupils inside the idol's eye sockets, where the layout table puts
them (integers 166-175, copied below per image folder). The pupils walk an alpha mask from each
socket centre until they meet the socket's rim, so the picture's hollows and the mask's holes are
drawn from the same numbers here. Run it from the project root and paste the printed entries into
assets/art/art.txt.
"""

import math
import random

ART = "assets/art/"

# folder, scale, screen size, design offset of the screen (layout ints 0/1 over the scale),
# mask origin on screen (166, 167), eye centres in the mask (168..171)
FOLDERS = [
    ("i_VGA", 1.0, 640, 480, (0, 0), (191, 331), (29, 25), (87, 16)),
    ("i_800x480", 1.0, 800, 480, (80, 0), (191, 331), (29, 25), (87, 16)),
    ("i_QVGA", 0.5, 320, 240, (0, 0), (95, 165), (14, 12), (43, 8)),
    ("i_400x240", 0.5, 400, 240, (40, 0), (95, 165), (14, 12), (43, 8)),
    ("i_320x320", 0.5, 320, 320, (0, 40), (95, 245), (14, 12), (43, 8)),
    ("i_240x240", 0.375, 240, 240, (0, 30), (71, 184), (10, 9), (32, 6)),
]

# The socket hollow (design units): an ellipse whose centre lies this far below the eye centre,
# since the pupils rest looking down (start positions 172-175 lie below the centres).
HOLLOW_DROP = 6
HOLLOW_RX, HOLLOW_RY = 17, 18
# The eye mask's design size: both sockets with room below the left one.
MASK_W, MASK_H = 112, 56
# The idol is drawn for the 640x480 left socket centre; other folders move it.
IDOL_LEFT = (220.5, 356.5)


def f(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")


def socket_design(folder):
    """Design coordinates of both socket centres (pixel centres) on the canvas."""
    _, s, _, _, (ox, oy), (mx, my), l, r = folder
    out = []
    for cx, cy in (l, r):
        sx, sy = mx + cx + 0.5, my + cy + 0.5
        out.append(((sx - ox) / s, (sy - oy) / s))
    return out


def mask_centres(folder):
    _, s, _, _, _, _, l, r = folder
    return [((cx + 0.5) / s, (cy + 0.5) / s + HOLLOW_DROP) for cx, cy in (l, r)]


# The sky: a dusk gradient and clouds drawn twice, one width apart, so the tile wraps.

def sky_svg(height, shift):
    rng = random.Random(7)
    w = 640
    clouds = []
    for i in range(11):
        cx = rng.uniform(0, w)
        cy = rng.uniform(30, 300) + shift
        scale = rng.uniform(0.6, 1.4) * (0.6 + (cy - shift) / 420)
        warm = (cy - shift) / 330
        puffs = []
        for j in range(rng.randint(4, 7)):
            puffs.append((rng.uniform(-70, 70) * scale, rng.uniform(-9, 6) * scale,
                          rng.uniform(22, 40) * scale, rng.uniform(8, 15) * scale))
        clouds.append((cx, cy, puffs, warm))
    body = []
    for cx, cy, puffs, warm in clouds:
        lit = "#%02x%02x%02x" % (int(120 + 120 * warm), int(70 + 70 * warm), int(110 - 30 * warm))
        dark = "#%02x%02x%02x" % (int(50 + 60 * warm), int(30 + 30 * warm), int(70 + 0 * warm))
        for dx in (-w, 0, w):
            g = ['<g transform="translate(%s %s)">' % (f(cx + dx), f(cy))]
            for px, py, rx, ry in puffs:
                g.append('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" opacity="0.75"/>' %
                         (f(px), f(py + ry * 0.35), f(rx), f(ry), dark))
            for px, py, rx, ry in puffs:
                g.append('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" opacity="0.55"/>' %
                         (f(px), f(py + ry * 0.6), f(rx * 0.8), f(ry * 0.45), lit))
            g.append("</g>")
            body.append("".join(g))
    stars = []
    for i in range(40):
        x, y = rng.uniform(0, w), rng.uniform(0, 150) + shift * 0.5
        o = rng.uniform(0.3, 0.9) * max(0.0, 1 - y / (200 + shift))
        for dx in (-w, 0, w):
            stars.append('<circle cx="%s" cy="%s" r="%s" fill="#fff6e0" opacity="%s"/>' %
                         (f(x + dx), f(y), f(rng.uniform(0.6, 1.2)), f(o)))
    return """<svg xmlns="http://www.w3.org/2000/svg" width="640" height="%d" viewBox="0 0 640 %d">
  <!-- The start menu's evening sky: it drifts sideways in copies side by side, so what leaves the
       right edge comes back on the left; the gradient is vertical and every cloud and star is
       drawn a tile's width to either side as well. Made by tools/arttool/startmenu_scene.py. -->
  <defs>
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="%d" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#141030"/>
      <stop offset="0.3" stop-color="#33204a"/>
      <stop offset="0.55" stop-color="#7a3550"/>
      <stop offset="0.75" stop-color="#d06a40"/>
      <stop offset="0.9" stop-color="#f0a050"/>
      <stop offset="1" stop-color="#f8c878"/>
    </linearGradient>
    <filter id="soft" x="-0.3" y="-0.5" width="1.6" height="2"><feGaussianBlur stdDeviation="3"/></filter>
  </defs>
  <rect width="640" height="%d" fill="url(#sky)"/>
  %s
  <g filter="url(#soft)">
  %s
  </g>
</svg>
""" % (height, height, int(420 + shift), height, "\n  ".join(stars), "\n  ".join(body))


# The bottom picture.

def leaf(x, y, length, width, angle, fill, vein):
    a = math.radians(angle)
    ca, sa = math.cos(a), math.sin(a)

    def p(u, v):
        return "%s %s" % (f(x + u * ca - v * sa), f(y + u * sa + v * ca))

    d = "M%s Q%s %s Q%s %s Z" % (p(0, 0), p(length * 0.45, -width), p(length, 0), p(length * 0.45, width),
                                 p(0, 0))
    return ('<path d="%s" fill="%s"/><path d="M%s L%s" stroke="%s" stroke-width="1.2" opacity="0.5"/>' %
            (d, fill, p(length * 0.05, 0), p(length * 0.9, 0), vein))


def frond(rng, x, y, angle, length, colours):
    out = []
    a = math.radians(angle)
    for i in range(9):
        t = (i + 1) / 10
        px, py = x + math.cos(a) * length * t, y + math.sin(a) * length * t + length * 0.15 * t * t
        size = length * 0.42 * (1 - t * 0.6)
        for side in (-1, 1):
            out.append(leaf(px, py, size, size * 0.22, angle + side * (55 - 20 * t) + rng.uniform(-8, 8),
                            rng.choice(colours), "#0c1808"))
    out.insert(0, '<path d="M%s %s Q%s %s %s %s" stroke="#1a2a10" stroke-width="3" fill="none"/>' %
               (f(x), f(y), f(x + math.cos(a) * length * 0.5), f(y + math.sin(a) * length * 0.5),
                f(x + math.cos(a) * length), f(y + math.sin(a) * length + length * 0.15)))
    return "".join(out)


def jungle(rng):
    dark = ["#0f2414", "#143018", "#1a3a1c", "#12281a"]
    mid = ["#1f4a22", "#27562a", "#2c6030", "#224824"]
    out = []
    # Distant tree line behind the idol, under the sky's glow.
    pts = []
    x = -80
    while x <= 380:
        pts.append("%s %s" % (f(x), f(395 + 18 * math.sin(x / 37) + rng.uniform(-10, 6))))
        x += 12
    out.append('<path d="M-80 560 L%s L380 560 Z" fill="#3a2038" opacity="0.95"/>' % " L".join(pts))
    pts = []
    x = -80
    while x <= 380:
        pts.append("%s %s" % (f(x), f(425 + 14 * math.sin(x / 23 + 1) + rng.uniform(-8, 6))))
        x += 10
    out.append('<path d="M-80 560 L%s L380 560 Z" fill="#241a26"/>' % " L".join(pts))
    # Fronds at the left edge, kept below the sun.
    for i in range(7):
        y = 150 + i * 55 + rng.uniform(-10, 10)
        out.append(frond(rng, -90, y, rng.uniform(-25, 25), rng.uniform(110, 170), dark if i % 2 else mid))
    # Ground.
    out.append('<path d="M-80 560 L-80 470 Q100 455 200 468 Q300 478 400 466 L720 470 L720 560 Z" '
               'fill="url(#ground)"/>')
    return "\n  ".join(out)


def wall(rng):
    out = ['<path d="M286 -80 H720 V560 H372 V112 H286 Z" fill="url(#wall)"/>']
    # Courses of stone blocks, low contrast so captions read over them.
    y = 112
    row = 0
    while y < 560:
        h = 46
        out.append('<path d="M372 %s H720" stroke="#120c0e" stroke-width="2" opacity="0.55"/>' % f(y))
        out.append('<path d="M372 %s H720" stroke="#8a6a5a" stroke-width="1" opacity="0.18"/>' % f(y + 2))
        x = 372 + (row % 2) * 44 + rng.uniform(10, 40)
        while x < 720:
            out.append('<path d="M%s %s V%s" stroke="#120c0e" stroke-width="2" opacity="0.45"/>' %
                       (f(x), f(y), f(y + h)))
            x += rng.uniform(80, 120)
        y += h
        row += 1
    # The frieze over the wall: a smooth band for the welcome text, edged by a carved cornice.
    out.append('<rect x="286" y="-80" width="434" height="184" fill="url(#frieze)"/>')
    # Where the welcome may stand, marked for the layout check: the smooth band right of the lit
    # edge and above the cornice, 2 pixels clear of both.
    out.append('<rect id="inner_welcome" x="294" y="-80" width="426" height="174" fill="none"/>')
    out.append('<rect x="286" y="96" width="434" height="16" fill="#4a3630"/>')
    out.append('<rect x="286" y="96" width="434" height="2" fill="#c08a5a" opacity="0.55"/>')
    zig = []
    x = 290
    while x < 720:
        zig.append("M%s 101 l6 6 l6 -6" % f(x))
        x += 12
    out.append('<path d="%s" stroke="#1a1012" stroke-width="1.6" fill="none" opacity="0.8"/>' % " ".join(zig))
    out.append('<rect x="286" y="110" width="434" height="3" fill="#100a0c" opacity="0.7"/>')
    out.append('<rect x="286" y="0" width="434" height="2" fill="#c08a5a" opacity="0.25"/>')
    # The pillar edge facing the idol, lit by the sunset.
    out.append('<rect x="372" y="112" width="22" height="448" fill="url(#pillar)"/>')
    out.append('<rect x="286" y="-80" width="6" height="192" fill="#b07050" opacity="0.35"/>')
    # Grain over all the stone.
    out.append('<path d="M286 -80 H720 V560 H372 V112 H286 Z" filter="url(#grain)" opacity="0.6"/>')
    # Vines down the pillar and the far edge.
    for vx in (384, 702, 712):
        pts = []
        y = 100
        while y < 500:
            pts.append("%s %s" % (f(vx + 5 * math.sin(y / 19 + vx)), f(y)))
            y += 10
        out.append('<path d="M%s" stroke="#1e3a1a" stroke-width="2.4" fill="none"/>' % " L".join(pts))
        y = 120
        while y < 480:
            out.append(leaf(vx + 5 * math.sin(y / 19 + vx), y, rng.uniform(9, 15), 3.5,
                            rng.choice((30, 150, 60, 120)), rng.choice(("#2a5a26", "#21461f", "#346a2c")), "#0c1808"))
            y += rng.uniform(14, 26)
    return "\n  ".join(out)


def idol(tx, ty):
    """The frog idol and its dais in local units around the midpoint of the 640x480 eyes."""
    mx = (220.5 + 278.5) / 2
    my = (356.5 + 347.5) / 2
    angle = math.degrees(math.atan2(347.5 - 356.5, 278.5 - 220.5))
    # Steps first, unrotated, under the idol.
    steps = []
    for i in range(10):
        y = my + 96 + i * 13
        half = 124 + i * 22
        steps.append('<rect x="%s" y="%s" width="%s" height="13" fill="url(#step)"/>' %
                     (f(mx - half), f(y), f(2 * half)))
        steps.append('<rect x="%s" y="%s" width="%s" height="2" fill="#d8a070" opacity="0.35"/>' %
                     (f(mx - half), f(y), f(2 * half)))
        steps.append('<rect x="%s" y="%s" width="%s" height="2" fill="#0c0808" opacity="0.6"/>' %
                     (f(mx - half), f(y + 11), f(2 * half)))
    # Moss on the steps' edges.
    steps.append('<path d="M%s %s q20 -6 40 0 q12 4 30 -1 v6 h-70 Z" fill="#3c6a2a" opacity="0.8"/>' %
                 (f(mx - 150), f(my + 109)))
    steps.append('<path d="M%s %s q16 -5 34 0 q10 3 26 -1 v6 h-60 Z" fill="#3c6a2a" opacity="0.7"/>' %
                 (f(mx + 90), f(my + 122)))
    # The body sits upright on its dais; the head turns with the line through the eyes.
    body = """
    <ellipse cx="0" cy="96" rx="118" ry="9" fill="#000" opacity="0.45"/>
    <rect x="-112" y="82" width="224" height="14" rx="2" fill="url(#step)"/>
    <rect x="-112" y="82" width="224" height="2" fill="#e0a878" opacity="0.4"/>
    <rect x="-112" y="82" width="224" height="14" filter="url(#grain)" opacity="0.6"/>
    <ellipse cx="0" cy="52" rx="96" ry="36" fill="url(#idolbody)"/>
    <ellipse cx="0" cy="52" rx="96" ry="36" filter="url(#grain)" opacity="0.55"/>
    <path d="M-94 82 q-18 -2 -16 -22 q4 -22 24 -28 q10 10 8 30 q-4 14 -16 20 Z" fill="url(#idolleg)"/>
    <path d="M94 82 q18 -2 16 -22 q-4 -22 -24 -28 q-10 10 -8 30 q4 14 16 20 Z" fill="url(#idolleg)"/>
    <path d="M-70 84 q-2 -26 8 -40 q10 12 10 40 Z M70 84 q2 -26 -8 -40 q-10 12 -10 40 Z" fill="url(#idolleg)"/>
    <path d="M-92 83 h-14 M-84 84 v-8 M-66 83 h-10 M92 83 h14 M84 84 v-8 M66 83 h10" stroke="#20261a"
          stroke-width="2.4" stroke-linecap="round"/>
    <path d="M-30 58 q30 10 60 0 q-6 16 -30 18 q-24 -2 -30 -18 Z" fill="#55604a" opacity="0.6"/>
    <path d="M-20 66 h40 M-16 73 h32" stroke="#2a3022" stroke-width="1.6" opacity="0.7"/>
    <path d="M-64 40 q-10 10 -6 24" stroke="#f0b070" stroke-width="2.4" opacity="0.3" fill="none"/>
    <path d="M40 68 q20 -4 30 8 q-14 2 -30 -8 Z" fill="#4a7a30" opacity="0.6"/>
    <path d="M-12 84 l6 -14 l6 14 Z M24 84 l4 -10 l4 10 Z" fill="#6a9040" opacity="0.7"/>
    <path d="M-104 93 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6"
          stroke="#2a1e1a" stroke-width="2" fill="none" opacity="0.55"/>
    <path d="M-104 94 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6 l8 -6 l8 6"
          stroke="#e0b080" stroke-width="1" fill="none" opacity="0.25"/>
    <path d="M-66 58 m-7 0 a7 7 0 1 0 7 -7 a4 4 0 1 0 -4 4 M66 58 m7 0 a7 7 0 1 1 -7 -7 a4 4 0 1 1 4 4"
          stroke="#262c1e" stroke-width="2" fill="none" opacity="0.6"/>
    <path d="M30 30 l6 8 l-3 7 l7 9 M-40 62 l-5 9 l3 6" stroke="#1a1e14" stroke-width="1.4" fill="none" opacity="0.7"/>
"""
    frog = """
    <ellipse cx="0" cy="16" rx="76" ry="38" fill="url(#idolhead)"/>
    <ellipse cx="0" cy="16" rx="76" ry="38" filter="url(#grain)" opacity="0.6"/>
    <circle cx="-29" cy="2" r="27" fill="url(#mound)"/>
    <circle cx="29" cy="2" r="27" fill="url(#mound)"/>
    <circle cx="-29" cy="2" r="27" filter="url(#grain)" opacity="0.5"/>
    <circle cx="29" cy="2" r="27" filter="url(#grain)" opacity="0.5"/>
    <path d="M-66 32 Q-40 48 0 46 Q40 48 66 32" stroke="#161a12" stroke-width="4" fill="none" stroke-linecap="round"/>
    <path d="M-64 35 Q-40 51 0 49 Q40 51 64 35" stroke="#a0a878" stroke-width="1.2" fill="none" opacity="0.45"/>
    <circle cx="-10" cy="25" r="2.4" fill="#1a1e14"/>
    <circle cx="10" cy="25" r="2.4" fill="#1a1e14"/>
    <path d="M-50 -20 q6 -10 14 -12 M8 -30 q8 -4 16 0" stroke="#d8c890" stroke-width="2" opacity="0.35" fill="none"/>
    <path d="M-60 16 q-8 10 -4 20" stroke="#f0b070" stroke-width="2.4" opacity="0.3" fill="none"/>
    <path d="M-50 -8 q-16 10 -22 30 q10 -8 20 -10 Z" fill="#4a7a30" opacity="0.55"/>
    <path d="M48 -2 l5 7 l-2 6 l6 8 M-6 6 l2 6 l-3 5" stroke="#1a1e14" stroke-width="1.3" fill="none" opacity="0.6"/>
    <path d="M0 -14 l5 6 l-5 6 l-5 -6 Z" fill="#2a8a66"/>
    <path d="M0 -12 l3 4 l-3 4 l-3 -4 Z" fill="#6ae0b0"/>
"""
    return """<g transform="translate(%s %s)">
  %s
  <g transform="translate(%s %s)">%s  </g>
  <g transform="translate(%s %s) rotate(%s)">%s  </g>
  </g>""" % (tx, ty, "\n  ".join(steps), f(mx), f(my), body, f(mx), f(my), f(angle), frog)


def hollows(sockets):
    out = []
    for sx, sy in sockets:
        out.append('<g transform="translate(%s %s)">' % (sx, sy))
        out.append('<ellipse cx="0.8" cy="%s" rx="%s" ry="%s" fill="#e8c890" opacity="0.35"/>' %
                   (f(HOLLOW_DROP + 1.6), f(HOLLOW_RX + 2.4), f(HOLLOW_RY + 2.4)))
        out.append('<ellipse cx="0" cy="%s" rx="%s" ry="%s" fill="#141410"/>' %
                   (f(HOLLOW_DROP), f(HOLLOW_RX + 2.2), f(HOLLOW_RY + 2.2)))
        out.append('<ellipse cx="0" cy="%s" rx="%s" ry="%s" fill="url(#hollow)"/>' %
                   (f(HOLLOW_DROP), f(HOLLOW_RX), f(HOLLOW_RY)))
        out.append("</g>")
    return "\n  ".join(out)


def bottom_svg():
    rng = random.Random(21)
    return """<svg xmlns="http://www.w3.org/2000/svg" width="800" height="640" viewBox="-80 -80 800 640">
  <!-- The start menu's picture over the drifting sky: a stone frog idol on temple steps with jungle
       to the left and a temple wall to the right, where the buttons go; clear where the sky shows.
       ${tx} ${ty} move the idol so that its socket hollows (${lx} ${ly}, ${rx} ${ry}) sit where the
       folder's layout puts the pupils. Made by tools/arttool/startmenu_scene.py. -->
  <defs>
    <linearGradient id="wall" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#3c2c2c"/>
      <stop offset="1" stop-color="#261c1e"/>
    </linearGradient>
    <linearGradient id="frieze" x1="0" y1="-80" x2="0" y2="104" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#1e1618"/>
      <stop offset="1" stop-color="#2e2224"/>
    </linearGradient>
    <linearGradient id="pillar" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#8a5a44"/>
      <stop offset="0.3" stop-color="#5a3e36"/>
      <stop offset="1" stop-color="#3a2c2c"/>
    </linearGradient>
    <linearGradient id="ground" x1="0" y1="455" x2="0" y2="560" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#1a2a14"/>
      <stop offset="1" stop-color="#080c06"/>
    </linearGradient>
    <linearGradient id="step" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#7a6458"/>
      <stop offset="1" stop-color="#4a3a36"/>
    </linearGradient>
    <radialGradient id="idolhead" cx="0.4" cy="0.3" r="0.8">
      <stop offset="0" stop-color="#8a9470"/>
      <stop offset="0.6" stop-color="#5a664a"/>
      <stop offset="1" stop-color="#2e3626"/>
    </radialGradient>
    <radialGradient id="idolbody" cx="0.4" cy="0.25" r="0.8">
      <stop offset="0" stop-color="#7a8464"/>
      <stop offset="0.7" stop-color="#4a5440"/>
      <stop offset="1" stop-color="#262c20"/>
    </radialGradient>
    <linearGradient id="idolleg" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#6a7458"/>
      <stop offset="1" stop-color="#343c2a"/>
    </linearGradient>
    <radialGradient id="mound" cx="0.35" cy="0.3" r="0.75">
      <stop offset="0" stop-color="#a8ae84"/>
      <stop offset="0.6" stop-color="#667052"/>
      <stop offset="1" stop-color="#363e2c"/>
    </radialGradient>
    <radialGradient id="hollow" cx="0.5" cy="0.4" r="0.6">
      <stop offset="0" stop-color="#040302"/>
      <stop offset="0.7" stop-color="#120e0a"/>
      <stop offset="1" stop-color="#2a2216"/>
    </radialGradient>
    <filter id="grain" x="0" y="0" width="1" height="1">
      <feTurbulence type="fractalNoise" baseFrequency="0.07 0.2" numOctaves="3" seed="5"/>
      <feColorMatrix type="matrix" values="0 0 0 0 0.08  0 0 0 0 0.06  0 0 0 0 0.06  0 0 0 -1.5 0.8"/>
      <feComposite in2="SourceAlpha" operator="in"/>
    </filter>
  </defs>
  %s
  %s
  %s
  %s
</svg>
""" % (jungle(rng), wall(rng), idol("${tx}", "${ty}"), hollows([("${lx}", "${ly}"), ("${rx}", "${ry}")]))


# The mask, pupils, sun and glow.

def mask_svg():
    d = "M0 0 H%d V%d H0 Z" % (MASK_W, MASK_H)
    for side in ("l", "r"):
        d += " M${%sa} ${%sy} a%d %d 0 1 0 %d 0 a%d %d 0 1 0 %d 0 Z" % (
            side, side, HOLLOW_RX, HOLLOW_RY, 2 * HOLLOW_RX, HOLLOW_RX, HOLLOW_RY, -2 * HOLLOW_RX)
    return """<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">
  <!-- The eye mask (alpha only): solid stone with one hole per socket, so each hole's rim is closed
       all round; the pupils walk from a socket centre until they meet it. ${la}/${ra} are the holes'
       left ends. Made by tools/arttool/startmenu_scene.py. -->
  <path d="%s" fill="#fff" fill-rule="evenodd"/>
</svg>
""" % (MASK_W, MASK_H, MASK_W, MASK_H, d)


PUPIL_SVG = """<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
  <!-- A pupil: a glowing amber eye with a frog's slit, drawn inside the idol's dark sockets. -->
  <defs>
    <radialGradient id="eye" cx="0.4" cy="0.35" r="0.65">
      <stop offset="0" stop-color="#fff4a8"/>
      <stop offset="0.45" stop-color="#ffc030"/>
      <stop offset="1" stop-color="#b05808"/>
    </radialGradient>
  </defs>
  <circle cx="8" cy="8" r="7.6" fill="#2a1404"/>
  <circle cx="8" cy="8" r="6.8" fill="url(#eye)"/>
  <ellipse cx="8" cy="8.4" rx="4.6" ry="1.9" fill="#120802"/>
  <circle cx="${gx}" cy="5" r="1.5" fill="#fffff0" opacity="0.9"/>
</svg>
"""

SUN_SVG = """<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <!-- The evening sun over the start menu: a warm disc with a soft edge. -->
  <defs>
    <radialGradient id="sun" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#fffbe0"/>
      <stop offset="0.5" stop-color="#ffe690"/>
      <stop offset="0.72" stop-color="#ffc050"/>
      <stop offset="0.8" stop-color="#ffa040" stop-opacity="0.8"/>
      <stop offset="1" stop-color="#ff8030" stop-opacity="0"/>
    </radialGradient>
  </defs>
  <circle cx="32" cy="32" r="31" fill="url(#sun)"/>
</svg>
"""


def glow_svg():
    rays = []
    n = 16
    for i in range(n):
        a = 2 * math.pi * i / n
        long = 94 if i % 2 == 0 else 70
        half = math.radians(7 if i % 2 == 0 else 5)
        p0 = (96 + 14 * math.cos(a - half * 2), 96 + 14 * math.sin(a - half * 2))
        p1 = (96 + long * math.cos(a), 96 + long * math.sin(a))
        p2 = (96 + 14 * math.cos(a + half * 2), 96 + 14 * math.sin(a + half * 2))
        rays.append("M%s %s L%s %s L%s %s Z" % (f(p0[0]), f(p0[1]), f(p1[0]), f(p1[1]), f(p2[0]), f(p2[1])))
    return """<svg xmlns="http://www.w3.org/2000/svg" width="192" height="192" viewBox="0 0 192 192">
  <!-- The sun's glow (alpha only): a halo and sixteen rays fading outwards; the menu turns it about
       its centre and tints it. Made by tools/arttool/startmenu_scene.py. -->
  <defs>
    <radialGradient id="fade" cx="96" cy="96" r="96" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#fff" stop-opacity="0.6"/>
      <stop offset="0.3" stop-color="#fff" stop-opacity="0.42"/>
      <stop offset="1" stop-color="#fff" stop-opacity="0"/>
    </radialGradient>
    <radialGradient id="halo" cx="96" cy="96" r="60" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#fff" stop-opacity="0.75"/>
      <stop offset="0.45" stop-color="#fff" stop-opacity="0.35"/>
      <stop offset="1" stop-color="#fff" stop-opacity="0"/>
    </radialGradient>
    <filter id="soft" x="-0.1" y="-0.1" width="1.2" height="1.2"><feGaussianBlur stdDeviation="2.5"/></filter>
  </defs>
  <circle cx="96" cy="96" r="60" fill="url(#halo)"/>
  <path d="%s" fill="url(#fade)" filter="url(#soft)"/>
</svg>
""" % " ".join(rays)


# Button tablets: four frames (normal, focused, pressed, disabled) of carved stone.

# The menu draws its buttons' captions off the frame's centre by layout integers 158/159 (negated),
# and a pressed caption moves on by (160, 161) on the big buttons and by (160, 162) or (160, 163)
# on the small ones, which share one picture: only the sideways move is common to them all. In
# design units: 240x240 rounds its offsets to whole pixels at 3/8 scale, so it has sources of its
# own. Source suffix, folders, caption offset, big and small pressed moves.
SLAB_SOURCES = [
    ("", "i_VGA i_800x480 i_QVGA i_400x240 i_320x320", (-8, -10), (8, 14), (8, 0)),
    ("_240", "i_240x240", (-8, -8), (8, 13), (8, 0)),
]


def slab_svg(w, h, shift, press):
    """A stone slab standing out of the wall: its carved face lies up-left, centred where the menu
    draws the caption, and its sides fill the rest of the frame down-right. Pressed, the face sinks
    towards the sides' foot, under the pressed caption."""
    m = 2                                          # room for the drop shadow
    dx, dy = -2 * shift[0], -2 * shift[1]
    fw, fh = w - 2 * m - dx, h - 2 * m - dy        # the face, centred on the caption
    r = 5 if h > 36 else 4
    foot = (m + dx, m + dy)                        # where the sides meet the wall

    def rect(x, y, extra="", inset=0.0):
        """The face's rectangle at (x, y), or a ring inset that far within it."""
        return '<rect x="%s" y="%s" width="%s" height="%s" rx="%d"%s/>' % (
            f(x + inset), f(y + inset), f(fw - 2 * inset), f(fh - 2 * inset), r, extra)

    def slab(face, cid):
        fx, fy = face
        bx, by = foot
        steps = max(1, int(max(bx - fx, by - fy)))
        hull = "".join(rect(fx + (bx - fx) * i / steps, fy + (by - fy) * i / steps) for i in range(steps + 1))
        # The sides: the front below the face, lit a little from above, and the right side in shade,
        # parted by the line from the face's lower right corner to the foot's.
        ax, ay = fx + fw, fy + fh
        slope = (by - fy) / max(1, bx - fx)
        right = "M%s %s V%s H%s V%s Z" % (f(ax), f(ay), f(fy - 100), f(ax + 1000), f(ay + 1000 * slope))
        layers = "".join('<path d="M%s %s H%s" stroke="#1a120c" stroke-opacity="0.35" stroke-width="1"/>' %
                         (f(fx + 2), f(fy + fh + (by - fy) * k / 3), f(bx + fw - r))
                         for k in (1, 2) if by > fy + 4)
        # Carved frog-foot marks on the front side, leaving the whole face to the caption; a face
        # sunk nearly to the foot leaves no room for them.
        gems = ""
        depth = by - fy
        if depth >= 10:
            gy = fy + fh + depth / 2
            gx0 = fx + (bx - fx) / 2
            for gx in (gx0 + 14, gx0 + fw - 14):
                gems += ('<g transform="translate(%s %s)"><path d="M0 -5 L5 0 L0 5 L-5 0 Z" fill="#120c08" '
                         'opacity="0.7"/><path d="M0 -3 L3 0 L0 3 L-3 0 Z" fill="${gem}"/></g>' % (f(gx), f(gy)))
        return """<clipPath id="hull%(c)s">%(hull)s</clipPath>
    <g clip-path="url(#hull%(c)s)">
      <rect x="0" y="0" width="%(w)d" height="%(h)d" fill="url(#front)"/>
      <path d="%(right)s" fill="#1e1612"/>
      %(layers)s
      <rect x="0" y="0" width="%(w)d" height="%(h)d" filter="url(#grain)" opacity="0.6"/>
    </g>
    %(face)s
    %(grain)s
    %(pressed)s
    %(lip)s
    %(light)s
    <path d="M%(hx0)s %(hy)s H%(hx1)s" stroke="#f0d8a8" stroke-opacity="0.3" stroke-width="1"/>
    %(gems)s
    %(ring)s""" % dict(
            c=cid, hull=hull, w=w, h=h, right=right, layers=layers, gems=gems,
            face=rect(fx, fy, ' fill="url(#face)"'),
            grain=rect(fx, fy, ' filter="url(#grain)" opacity="0.7"'),
            pressed=rect(fx, fy, ' fill="none" stroke="#000" stroke-opacity="${press}" stroke-width="3"', 1.5),
            lip=rect(fx, fy, ' fill="none" stroke="${edge0}" stroke-width="1.2"', 0.5),
            light=rect(fx, fy, ' fill="none" stroke="#f0d8a8" stroke-opacity="0.22" stroke-width="1"', 2),
            hx0=f(fx + r), hy=f(fy + 1.5), hx1=f(fx + fw - r),
            ring=rect(fx, fy, ' fill="none" stroke="${ring}" stroke-width="1.6" stroke-opacity="${ringa}"', 0.8))

    px, py = press
    shadow = rect(foot[0] + 1, foot[1] + 1.5, ' fill="#000" opacity="0.45"')
    return """<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">
  <!-- A carved stone slab for the start menu's buttons, mid-dark so gold captions read on it. The
       menu draws captions above and left of the frame's centre, so the face lies there and the
       slab's sides fill the frame down-right. Frames: normal, focused, pressed (the face sunk
       toward the sides' foot), disabled. Made by tools/arttool/startmenu_scene.py. -->
  <defs>
    <linearGradient id="face" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="${face0}"/>
      <stop offset="1" stop-color="${face1}"/>
    </linearGradient>
    <linearGradient id="front" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#574739"/>
      <stop offset="1" stop-color="#2c221b"/>
    </linearGradient>
    <filter id="grain" x="0" y="0" width="1" height="1">
      <feTurbulence type="fractalNoise" baseFrequency="0.12 0.3" numOctaves="2" seed="3"/>
      <feColorMatrix type="matrix" values="0 0 0 0 0.1  0 0 0 0 0.08  0 0 0 0 0.06  0 0 0 -1.5 0.7"/>
      <feComposite in2="SourceAlpha" operator="in"/>
    </filter>
  </defs>
  %s
  <g opacity="${up}">
    %s
  </g>
  <g opacity="${down}">
    %s
  </g>
</svg>
""" % (w, h, w, h, shadow, slab((m, m), "up"), slab((m + px, m + py), "down"))


def tablet_svg(w, h):
    """The change-player plaque: its caption sits on the frame's centre."""
    r = 4
    inset = 3
    return """<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">
  <!-- A stone plaque for the start menu's change-player button.
       Frames: normal, focused, pressed, disabled. Made by tools/arttool/startmenu_scene.py. -->
  <defs>
    <linearGradient id="face" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="${face0}"/>
      <stop offset="1" stop-color="${face1}"/>
    </linearGradient>
    <linearGradient id="edge" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="${edge0}"/>
      <stop offset="1" stop-color="#1c1410"/>
    </linearGradient>
    <filter id="grain" x="0" y="0" width="1" height="1">
      <feTurbulence type="fractalNoise" baseFrequency="0.12 0.3" numOctaves="2" seed="3"/>
      <feColorMatrix type="matrix" values="0 0 0 0 0.1  0 0 0 0 0.08  0 0 0 0 0.06  0 0 0 -1.5 0.7"/>
      <feComposite in2="SourceAlpha" operator="in"/>
    </filter>
  </defs>
  <rect x="1" y="2" width="%s" height="%s" rx="%d" fill="#000" opacity="0.45"/>
  <rect x="0.5" y="0.5" width="%s" height="%s" rx="%d" fill="url(#edge)"/>
  <rect x="%d" y="%s" width="%d" height="%d" rx="%d" fill="url(#face)"/>
  <rect x="%d" y="%s" width="%d" height="%d" rx="%d" filter="url(#grain)" opacity="0.7"/>
  <rect x="%d" y="%s" width="%d" height="%d" rx="%d" fill="none" stroke="#000" stroke-opacity="${press}" stroke-width="3"/>
  <rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="none" stroke="#1a120c" stroke-opacity="0.55" stroke-width="1.2"/>
  <rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="none" stroke="#f0d8a8" stroke-opacity="0.22" stroke-width="1"/>
  <path d="M%d %s H%d" stroke="#f0d8a8" stroke-opacity="0.3" stroke-width="1"/>
  <rect x="1" y="1" width="%s" height="%s" rx="%d" fill="none" stroke="${ring}" stroke-width="1.6" stroke-opacity="${ringa}"/>
</svg>
""" % (w, h, w, h,
       f(w - 2), f(h - 3), r,
       f(w - 1), f(h - 2.5), r,
       inset, f(inset), w - 2 * inset, h - 2 * inset - 1, r - 2,
       inset, f(inset), w - 2 * inset, h - 2 * inset - 1, r - 2,
       inset, f(inset), w - 2 * inset, h - 2 * inset - 1, r - 2,
       f(inset + 2.5), f(inset + 2.5), f(w - 2 * inset - 5), f(h - 2 * inset - 6), f(max(1, r - 3)),
       f(inset + 3.5), f(inset + 3.5), f(w - 2 * inset - 5), f(h - 2 * inset - 6), f(max(1, r - 3)),
       inset + r, f(inset + 1), w - inset - r,
       f(w - 2), f(h - 3), r)


def write(name, text):
    with open(ART + name, "w") as out:
        out.write(text)


def main():
    write("startmenu_sky.svg", sky_svg(480, 0))
    write("startmenu_sky_tall.svg", sky_svg(640, 80))
    write("startmenu_bottom.svg", bottom_svg())
    write("startmenu_eyemask.svg", mask_svg())
    write("startmenu_pupil.svg", PUPIL_SVG)
    write("startmenu_sun.svg", SUN_SVG)
    write("startmenu_sunglow.svg", glow_svg())
    for suffix, _, shift, big, small in SLAB_SOURCES:
        write("sm_button_big%s.svg" % suffix, slab_svg(224, 56, shift, big))
        write("sm_button_small%s.svg" % suffix, slab_svg(160, 48, shift, small))
    write("sm_change_player.svg", tablet_svg(112, 32))

    entries = []
    groups = {}
    for folder in FOLDERS:
        (lx, ly), (rx, ry) = socket_design(folder)
        tx, ty = lx - IDOL_LEFT[0], ly - IDOL_LEFT[1]
        key = tuple(f(v) for v in (tx, ty, lx, ly, rx, ry))
        groups.setdefault(key, []).append(folder[0])
    for (tx, ty, lx, ly, rx, ry), names in groups.items():
        entries.append("picture ui\\startmenu\\startmenu_bottom\n  source startmenu_bottom.svg\n  screen\n"
                       "  format jpg\n  var tx %s\n  var ty %s\n  var lx %s\n  var ly %s\n  var rx %s\n"
                       "  var ry %s\n  only %s\nend\n" % (tx, ty, lx, ly, rx, ry, " ".join(names)))
    masks = {}
    for folder in FOLDERS:
        (lx, ly), (rx, ry) = mask_centres(folder)
        key = tuple(f(v) for v in (lx - HOLLOW_RX, ly, rx - HOLLOW_RX, ry))
        masks.setdefault(key, []).append(folder[0])
    for (la, ly, ra, ry), names in masks.items():
        entries.append("picture ui\\startmenu\\mmeyemask_a\n  source startmenu_eyemask.svg\n"
                       "  var la %s\n  var ly %s\n  var ra %s\n  var ry %s\n  only %s\nend\n" %
                       (la, ly, ra, ry, " ".join(names)))
    print("\n".join(entries))


if __name__ == "__main__":
    main()
