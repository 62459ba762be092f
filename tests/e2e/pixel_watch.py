#!/usr/bin/env python3
"""Watches one pixel of the X screen ($DISPLAY) every few milliseconds.

    pixel_watch.py X Y R,G,B SECONDS

waits up to SECONDS for the pixel to take the colour (each channel within
48), then until it has another colour, and prints how long the colour was
seen: "seen MS at-most MS then R,G,B" (the last sample with the colour
minus the first one, and the first sample without it minus the last one
before the colour came). Exit status 1 when the colour does not come, or
does not go, within SECONDS."""
import ctypes
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                          ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XGetPixel.restype = ctypes.c_ulong
x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
x11.XDestroyImage.argtypes = [ctypes.c_void_p]
Z_PIXMAP = 2


def main():
    x, y = int(sys.argv[1]), int(sys.argv[2])
    want = [int(c) for c in sys.argv[3].split(",")]
    limit = time.monotonic() + float(sys.argv[4])
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    root = x11.XDefaultRootWindow(display)

    def sample():
        image = x11.XGetImage(display, root, x, y, 1, 1, 0xFFFFFFFF, Z_PIXMAP)
        value = x11.XGetPixel(image, 0, 0)
        x11.XDestroyImage(image)
        return time.monotonic(), ((value >> 16) & 255, (value >> 8) & 255, value & 255)

    def near(colour):
        return all(abs(a - b) <= 48 for a, b in zip(colour, want))

    before = time.monotonic()
    while True:
        now, colour = sample()
        if near(colour):
            first = last = now
            break
        if now > limit:
            print("never seen; the pixel is %d,%d,%d" % colour)
            sys.exit(1)
        before = now
        time.sleep(0.002)
    while True:
        now, colour = sample()
        if not near(colour):
            print("seen %d at-most %d then %d,%d,%d"
                  % ((last - first) * 1000, (now - before) * 1000, *colour))
            return
        if now > limit:
            print("still there after %d" % ((now - first) * 1000))
            sys.exit(1)
        last = now
        time.sleep(0.002)


main()
