#!/usr/bin/env python3
"""Waits until parts of the program's window stand still, read straight from the X server.

    x_still.py X Y W H GW GH SECONDS GX,GY,GW,GH...
        ends with 0 once the game rectangles GX,GY,GW,GH of a GWxGH picture shown in the window at
        X Y W H have not changed for a while, printing a checksum of them; ends with 5 when they
        are still changing after SECONDS

A screen or dialog takes no input while it fades in, and its colours come close to their last
ones before the fade ends: a tap is safe only once the picture under it stops changing. "A while"
is a quarter of a second, or twice the longest pause seen between two changes when the program
draws more slowly than that. With --fill before the arguments the picture is fitted as on the
full screen (see xwd_look.py). Without a display to read it ends with 1.
"""
import ctypes
import sys
import time
import zlib

import xwd_look

STILL = 0.25  # seconds unchanged: several frames of a program drawing at its full rate
POLL = 0.02  # seconds between reads: each is a few small rectangles
Z_PIXMAP = 2
ALL_PLANES = 0xFFFFFFFF


class XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, as far as the pixels and their row length.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int)]


class Screen:
    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XDisplayWidth.argtypes = self.x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XGetImage.restype = ctypes.POINTER(XImage)
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            raise OSError("cannot open the display")
        self.root = self.x11.XDefaultRootWindow(self.display)
        self.width = self.x11.XDisplayWidth(self.display, 0)
        self.height = self.x11.XDisplayHeight(self.display, 0)

    def read(self, x, y, w, h):
        x, y = max(0, min(x, self.width - 1)), max(0, min(y, self.height - 1))
        w, h = max(1, min(w, self.width - x)), max(1, min(h, self.height - y))
        image = self.x11.XGetImage(self.display, self.root, x, y, w, h, ALL_PLANES, Z_PIXMAP)
        if not image:
            raise OSError("cannot read %dx%d at %d,%d" % (w, h, x, y))
        pixels = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * h)
        self.x11.XDestroyImage(image)
        return pixels


def main(argv):
    if len(argv) > 1 and argv[1] == "--fill":
        xwd_look.FILL = True
        argv = argv[:1] + argv[2:]
    if len(argv) < 9:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    x, y, w, h, width, height = (int(v) for v in argv[1:7])
    seconds = float(argv[7])
    fit = xwd_look.fit_picture(x, y, w, h, width, height)
    areas = []
    for area in argv[8:]:
        gx, gy, gw, gh = (int(v) for v in area.split(","))
        left, top = xwd_look.game_to_window(fit, width, height, gx, gy)
        right, bottom = xwd_look.game_to_window(fit, width, height, gx + gw - 1, gy + gh - 1)
        areas.append((left, top, right - left + 1, bottom - top + 1))
    try:
        screen = Screen()
        start = changed = time.monotonic()
        longest = 0.0
        last = None
        while True:
            checksum = 0
            for area in areas:
                checksum = zlib.crc32(screen.read(*area), checksum)
            now = time.monotonic()
            if checksum != last:
                if last is not None:
                    longest = max(longest, now - changed)
                last, changed = checksum, now
            elif now - changed >= max(STILL, 2 * longest):
                print("%08x" % checksum)
                return 0
            if now - start >= seconds:
                print("still changing after %gs" % seconds)
                return 5
            time.sleep(POLL)
    except OSError as error:
        print("cannot read the screen: %s" % error)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
