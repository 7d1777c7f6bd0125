#!/usr/bin/env python3
"""Looks at X screen dumps (xwd -root) of the program's window.

    xwd_look.py png DUMP OUT.png X Y W H
        writes the window's part of the dump as a PNG; prints "colours=N lit=P" and ends with 3
        when the picture is blank (a handful of colours, or nearly all black)
    xwd_look.py probe DUMP X Y W H GW GH GX,GY,RRGGBB...
        ends with 0 when every game point GX,GY of a GWxGH picture shown in the window at X Y W H
        has about the colour RRGGBB, else prints what it found and ends with 4
    xwd_look.py point W H GW GH GX GY
        prints the point of a W x H window that shows game point GX,GY of a GWxGH picture

The window's picture is fitted as the program fits it: whole multiples where they fit, otherwise
shrunk to the tighter side, centred; with --fill before the command, as on the full screen: as
large as its shape allows. Unreadable dumps end with 1.
"""
import struct
import sys
import zlib

HEADER_FIELDS = (
    "header_size", "version", "format", "depth", "width", "height", "xoffset", "byte_order",
    "bitmap_unit", "bitmap_bit_order", "bitmap_pad", "bits_per_pixel", "bytes_per_line",
    "visual_class", "red_mask", "green_mask", "blue_mask", "bits_per_rgb", "colormap_entries",
    "ncolors", "window_width", "window_height", "window_x", "window_y", "window_bdrwidth",
)
Z_PIXMAP = 2
TRUE_COLOR, DIRECT_COLOR = 4, 5
TOLERANCE = 48  # per channel: scaling smooths edges, and art may be touched up


class Dump:
    def __init__(self, path):
        with open(path, "rb") as dump:
            data = dump.read()
        if len(data) < 100:
            raise ValueError("too short for a header")
        head = dict(zip(HEADER_FIELDS, struct.unpack(">25I", data[:100])))
        if head["version"] != 7 or head["format"] != Z_PIXMAP or head["visual_class"] not in (TRUE_COLOR, DIRECT_COLOR):
            raise ValueError("not a true-colour ZPixmap dump")
        self.width, self.height, self.stride = head["width"], head["height"], head["bytes_per_line"]
        # Xvfb's 24-bit screens come as 3 or 4 bytes a pixel, as the header says.
        self.size = head["bits_per_pixel"] // 8
        if head["depth"] != 24 or self.size not in (3, 4) or self.stride < self.size * self.width:
            raise ValueError("not 24-bit colour in 3 or 4 bytes a pixel")
        # Each colour map entry is 12 bytes: pixel, red, green, blue, flags, pad.
        start = head["header_size"] + 12 * head["ncolors"]
        if self.width <= 0 or self.height <= 0 or start + self.stride * self.height > len(data):
            raise ValueError("sizes do not fit the file")
        self.pixels = data[start:start + self.stride * self.height]
        # Where each channel's byte lies within a pixel.
        self.offsets = []
        for mask in (head["red_mask"], head["green_mask"], head["blue_mask"]):
            shift = 0
            while mask and not (mask >> shift) & 1:
                shift += 1
            byte = shift // 8
            self.offsets.append(byte if head["byte_order"] == 0 else self.size - 1 - byte)

    def clip(self, x, y, w, h):
        x, y = max(0, min(x, self.width - 1)), max(0, min(y, self.height - 1))
        return x, y, max(1, min(w, self.width - x)), max(1, min(h, self.height - y))

    def rgb_row(self, x, y, w):
        start = y * self.stride + self.size * x
        row = self.pixels[start:start + self.size * w]
        line = bytearray(3 * w)
        for channel, offset in enumerate(self.offsets):
            line[channel::3] = row[offset::self.size]
        return bytes(line)

    def colour(self, x, y):
        return tuple(self.rgb_row(x, y, 1))


FILL = False


def fit_picture(x, y, w, h, width, height):
    """The picture's rectangle in a window area, as the SDL back end fits it."""
    scale = min(w // width, h // height)
    if scale >= 1 and not FILL:
        pw, ph = width * scale, height * scale
    elif w * height <= h * width:
        pw, ph = w, (height * w * 2 + width) // (width * 2)
    else:
        pw, ph = (width * h * 2 + height) // (height * 2), h
    pw, ph = max(1, min(pw, w)), max(1, min(ph, h))
    return x + (w - pw) // 2, y + (h - ph) // 2, pw, ph


def game_to_window(rect, width, height, gx, gy):
    """The window pixel whose centre shows the middle of game pixel gx, gy."""
    px, py, pw, ph = rect
    return px + ((2 * gx + 1) * pw) // (2 * width), py + ((2 * gy + 1) * ph) // (2 * height)


def write_png(path, rows, w, h):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(chunk(b"IEND", b""))


def command_png(args):
    dump = Dump(args[0])
    x, y, w, h = dump.clip(*(int(v) for v in args[2:6]))
    rows = [dump.rgb_row(x, row, w) for row in range(y, y + h)]
    write_png(args[1], rows, w, h)
    colours = set()
    lit = total = 0
    for row in rows[::4]:
        for i in range(0, len(row), 12):
            pixel = row[i:i + 3]
            colours.add(pixel)
            total += 1
            lit += pixel != b"\0\0\0"
    lit = 1000 * lit // max(total, 1)
    print("colours=%d lit=%d" % (len(colours), lit))
    return 3 if len(colours) < 8 or lit < 100 else 0


def command_probe(args):
    dump = Dump(args[0])
    x, y, w, h, width, height = (int(v) for v in args[1:7])
    rect = fit_picture(x, y, w, h, width, height)
    wrong = []
    for point in args[7:]:
        gx, gy, hexcolour = point.split(",")
        want = tuple(int(hexcolour[i:i + 2], 16) for i in (0, 2, 4))
        wx, wy = game_to_window(rect, width, height, int(gx), int(gy))
        wx, wy, _, _ = dump.clip(wx, wy, 1, 1)
        got = dump.colour(wx, wy)
        if any(abs(a - b) > TOLERANCE for a, b in zip(got, want)):
            wrong.append("%s,%s is %02x%02x%02x not %s" % (gx, gy, got[0], got[1], got[2], hexcolour))
    if wrong:
        print("; ".join(wrong))
        return 4
    return 0


def command_point(args):
    w, h, width, height, gx, gy = (int(v) for v in args[:6])
    if min(w, h, width, height) <= 0:
        raise ValueError("no window or picture to map")
    print("%d %d" % game_to_window(fit_picture(0, 0, w, h, width, height), width, height, gx, gy))
    return 0


COMMANDS = {"png": (command_png, 6), "probe": (command_probe, 8), "point": (command_point, 6)}


def main(argv):
    global FILL
    if len(argv) > 1 and argv[1] == "--fill":
        FILL = True
        argv = argv[:1] + argv[2:]
    command = COMMANDS.get(argv[1]) if len(argv) > 1 else None
    if not command or len(argv) - 2 < command[1]:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        return command[0](argv[2:])
    except (OSError, ValueError, struct.error) as error:
        print("cannot read the dump: %s" % error, file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
