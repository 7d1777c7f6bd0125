#!/usr/bin/env python3
"""Writes the art list entries of the four quake pieces for every image folder.

The pieces are drawn at the screen offsets the layout table gives per display mode (its integer
entries 95-102, copied below), so each folder gets its own outlines: together the four cover the
screen once, split by jagged cracks that both neighbours share. Run it and paste the output into
assets/art/art.txt.
"""

import random

# folder, scale of the design space, screen size, (x, y) of pieces 1..4
FOLDERS = [
    ("i_VGA", 1.0, 640, 480, [(0, 0), (293, 0), (81, 138), (382, 174)]),
    ("i_800x480", 1.0, 800, 480, [(0, 0), (373, 0), (161, 138), (462, 174)]),
    ("i_QVGA", 0.5, 320, 240, [(0, 0), (146, 0), (40, 69), (191, 87)]),
    ("i_400x240", 0.5, 400, 240, [(0, 0), (186, 0), (80, 69), (231, 87)]),
    ("i_320x320", 0.5, 320, 320, [(0, 0), (131, 0), (0, 92), (190, 134)]),
    ("i_240x240", 0.375, 240, 240, [(0, 0), (106, 0), (0, 69), (150, 87)]),
]


def crack(a, b, amplitude, rng):
    """A jagged line from a to b: short steps, each corner pushed sideways by up to amplitude."""
    (ax, ay), (bx, by) = a, b
    length = ((bx - ax) ** 2 + (by - ay) ** 2) ** 0.5
    steps = max(2, int(length / (amplitude * 1.6)))
    nx, ny = -(by - ay) / length, (bx - ax) / length
    points = [a]
    for i in range(1, steps):
        t = (i + rng.uniform(-0.3, 0.3)) / steps
        side = rng.uniform(-amplitude, amplitude)
        points.append((ax + (bx - ax) * t + nx * side, ay + (by - ay) * t + ny * side))
    points.append(b)
    return points


def outlines(w, h, offsets):
    """Screen-pixel outlines of the four pieces; every crack keeps clear of the pieces' top-left."""
    (x1, _), (x2, y2), (x3, y3) = offsets[1], offsets[2], offsets[3]
    m = max(6.0, 0.04 * w)
    rng = random.Random(w * 1000 + h)
    top = (x1 + 0.35 * (w - x1), 0.0)
    meet13 = (max(x3 + 2 * m, top[0] + m), y3 + 0.3 * (h - y3))
    right = (float(w), y3 + 0.2 * (h - y3))
    meet23 = (x3 + m, max(y3 + 0.6 * (h - y3), y2 + 2 * m))
    bottom = (x3 + 0.3 * (w - x3), float(h))
    bend = (x2 + 0.25 * (x3 - x2), y2 + 0.35 * (h - y2))
    foot = (x2 + 1.5 * m, float(h))
    amp = 0.35 * m
    c01 = crack(top, meet13, amp, rng)
    c13 = crack(meet13, right, amp, rng)
    c03 = crack(meet13, meet23, amp, rng)
    c23 = crack(meet23, bottom, amp, rng)
    c02 = crack(meet23, bend, amp, rng) + crack(bend, foot, amp, rng)[1:]
    # Outer corners reach past the screen so its edges stay hard.
    far_w, far_h = w + 2 * m, h + 2 * m
    piece0 = [(-1, -1), (top[0], -1)] + c01 + c03[1:] + c02[1:] + [(foot[0], far_h), (-1, far_h)]
    piece1 = [(top[0], -1), (far_w, -1), (far_w, right[1])] + c13[::-1] + c01[::-1][1:]
    piece2 = c02[::-1] + c23[1:] + [(bottom[0], far_h), (foot[0], far_h)]
    piece3 = c03 + c23[1:] + [(bottom[0], far_h), (far_w, far_h), (far_w, right[1])] + c13[::-1]
    return [piece0, piece1, piece2, piece3]


def main():
    for folder, scale, w, h, offsets in FOLDERS:
        print("// The quake pieces of %s." % folder[2:])
        for i, (outline, (ox, oy)) in enumerate(zip(outlines(w, h, offsets), offsets)):
            # Design units from the piece's own corner; the picture reaches the screen's far edges.
            pw = -(-(w - ox) / scale // 8) * 8
            ph = -(-(h - oy) / scale // 8) * 8
            d = "M" + "L".join("%.2f,%.2f" % (max(0.0, (x - ox) / scale), max(0.0, (y - oy) / scale))
                               for x, y in outline) + "Z"
            print("picture quake%02d" % (i + 1))
            print("  source quake_piece.svg")
            print("  format jpg")
            print("  var w %d" % pw)
            print("  var h %d" % ph)
            print("  var d %s" % d)
            print("  only %s" % folder)
            print("end")
            print()


if __name__ == "__main__":
    main()
