#!/usr/bin/env python3
"""Writes the art list's block for the frame round the board (hud_piece.svg, hud_progress.svg).

Each piece is drawn per image folder: its edge band, the rows or columns along the screen's edge
that are copied opaque every frame, must be exactly the folder's band size in pixels, and the top
and bottom pieces span the screen's width. Sizes are in design units (pixels / scale), multiples of
8 so that every scale gives whole pixels. Run: hud_frame.py > block, then paste it into art.txt."""

from fractions import Fraction as F

# name, scale, screen w, h, bands TL TR L R BL B BR (pixels), bar x, y and design width, top-left width
# (the small screen's survival caption needs a wider top-left piece)
FOLDERS = [
    ("i_VGA", F(1), 640, 480, (32, 24, 11, 11, 11, 11, 11), 481, 2, 104, 160),
    ("i_800x480", F(1), 800, 480, (32, 24, 11, 11, 11, 11, 11), 481, 2, 104, 160),
    ("i_QVGA", F(1, 2), 320, 240, (16, 12, 5, 5, 5, 5, 5), 240, 1, 104, 160),
    ("i_400x240", F(1, 2), 400, 240, (16, 12, 5, 5, 5, 5, 5), 240, 1, 104, 160),
    ("i_320x320", F(1, 2), 320, 320, (16, 12, 5, 5, 5, 5, 5), 240, 1, 104, 160),
    ("i_240x240", F(3, 8), 240, 240, (16, 12, 5, 5, 5, 5, 5), 188, 1, 80, 176),
]

CORNER_W, BAR_H = 48, 16  # design units


def up8(design):
    """The smallest multiple of 8 design units at least this long."""
    return -(-design // 8) * 8


def fmt(v):
    return ("%.3f" % float(v)).rstrip("0").rstrip(".")


def piece(name, folder, w, h, side, band, seed, trough=None):
    ex, ey, ew, eh = {"top": (0, 0, w, band), "bottom": (0, h - band, w, band),
                      "left": (0, 0, band, h), "right": (w - band, 0, band, h)}[side]
    ix, iy, iw, ih = {"top": (0, band, w, h - band), "bottom": (0, 0, w, h - band),
                      "left": (band, 0, w - band, h), "right": (0, 0, w - band, h)}[side]
    inset = F(3, 2)
    line = {"top": (0, band - inset, w, band - inset), "bottom": (0, h - band + inset, w, h - band + inset),
            "left": (band - inset, 0, band - inset, h), "right": (w - band + inset, 0, w - band + inset, h)}[side]
    grad = {"top": (0, 0, 0, 1), "bottom": (0, 1, 0, 0), "left": (0, 0, 1, 0), "right": (1, 0, 0, 0)}[side]
    tx, ty, tw, th = trough or (0, 0, 0, 0)
    g = max(band, 8)
    out = ["picture ui\\hud\\%s" % name, "  source hud_piece.svg"]
    vals = dict(w=w, h=h, ex=ex, ey=ey, ew=ew, eh=eh, ix=ix, iy=iy, iw=iw, ih=ih, lx1=line[0], ly1=line[1],
                lx2=line[2], ly2=line[3], sx1=grad[0], sy1=grad[1], sx2=grad[2], sy2=grad[3],
                tx=tx, ty=ty, tw=tw, th=th, seed=seed, gw=g * 2, gh=g * 2, gx=g / 4, gy=g / 4, gs=g / 2,
                gcx=g * 3 / 2, gcy=g * 3 / 2, gr=g / 8)
    out += ["  var %s %s" % (k, fmt(v)) for k, v in vals.items()]
    out += ["  set %s game" % name, "  only %s" % folder[0], "end", ""]
    return out


def block():
    lines = ["// The frame round the board, drawn per folder by tools/arttool/hud_frame.py: the edge band of",
             "// each piece is the folder's band size, the top and bottom pieces span the screen.", ""]
    for folder in FOLDERS:
        fname, s, W, H, bands, bar_x, bar_y, bar_w, tl_w = folder
        d = [F(b) / s for b in bands]  # band sizes in design units
        sw, sh = F(W) / s, F(H) / s  # screen in design units
        tl_h, tr_h = up8(int(d[0]) + 6), up8(int(d[1]) + 6)
        side_w = up8(int(max(d[2], d[3])) + 4)
        bottom_h = up8(int(max(d[4], d[5], d[6])) + 4)
        tr_w = sw - tl_w
        trough = (F(bar_x) / s - tl_w - 1, F(bar_y) / s - 1, bar_w + 2, BAR_H + 2)
        lines += piece("GameUIFrameTL", folder, tl_w, tl_h, "top", d[0], 3)
        lines += piece("GameUIFrameTR", folder, tr_w, tr_h, "top", d[1], 4, trough)
        lines += piece("GameUIFrameL", folder, side_w, sh - tl_h - bottom_h, "left", d[2], 5)
        lines += piece("GameUIFrameR", folder, side_w, sh - tr_h - bottom_h, "right", d[3], 6)
        lines += piece("GameUIFrameBL", folder, CORNER_W, bottom_h, "bottom", d[4], 7)
        lines += piece("GameUIFrameB", folder, sw - 2 * CORNER_W, bottom_h, "bottom", d[5], 8)
        lines += piece("GameUIFrameBR", folder, CORNER_W, bottom_h, "bottom", d[6], 9)
        lines += ["picture ui\\hud\\LevelProgress", "  source hud_progress.svg", "  frames 2 1",
                  "  var w %d %d" % (bar_w, bar_w), "  var h %d %d" % (BAR_H, BAR_H),
                  "  var iw %d %d" % (bar_w - 2, bar_w - 2), "  var ih %d %d" % (BAR_H - 2, BAR_H - 2),
                  "  var iw2 %d %d" % (bar_w - 4, bar_w - 4), "  var hl 4 4",
                  "  var c0 #c6f7de #fff6cf", "  var c1 #35a77c #ffd46a", "  var c2 #1f6b4d #c9952f",
                  "  set LevelProgress game", "  only %s" % fname, "end", ""]
    lines += ["picture ui\\hud\\LivesFrog", "  source hud_lives.svg", "  set LivesFrog game", "end", "",
              "picture ui\\hud\\Tap", "  source hud_tap.svg", "  set Tap game", "end"]
    return "\n".join(lines)


if __name__ == "__main__":
    print(block())
