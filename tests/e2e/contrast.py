#!/usr/bin/env python3
"""Reads a window dump (xwd's format) and reports, for each region given, the
region's background colour (its most frequent one), the colour that stands out
most from it (the text's), and their contrast ratio as the web's accessibility
guidelines measure it.

Usage: contrast.py <file.xwd> <name>=<x>,<y>,<width>,<height> ...
Prints per region: <name> <contrast ratio> <background luminance>
"""
import collections
import struct
import sys


def read_xwd(path):
    data = open(path, "rb").read()
    for order in (">", "<"):
        fields = struct.unpack(order + "25I", data[:100])
        if fields[1] == 7:  # the format's version
            break
    else:
        sys.exit("not a window dump: " + path)
    (header_size, _version, _format, _depth, width, height, _xoffset, byte_order, _unit, _bit_order, _pad,
     bits_per_pixel, bytes_per_line, _visual, red_mask, green_mask, blue_mask, _bits_per_rgb, _entries,
     ncolors) = fields[:20]
    if bits_per_pixel != 32:
        sys.exit("expected 32 bits a pixel, not %d" % bits_per_pixel)
    start = header_size + 12 * ncolors
    pixel_order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [(mask, shift(mask)) for mask in (red_mask, green_mask, blue_mask)]

    def pixel(x, y):
        (value,) = struct.unpack_from(pixel_order + "I", data, start + y * bytes_per_line + 4 * x)
        return tuple((value & mask) >> at for mask, at in shifts)

    return width, height, pixel


def luminance(rgb):
    def linear(c):
        c /= 255.0
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def main():
    width, height, pixel = read_xwd(sys.argv[1])
    for region in sys.argv[2:]:
        name, box = region.split("=")
        x0, y0, w, h = (int(v) for v in box.split(","))
        colours = collections.Counter(pixel(x, y) for y in range(max(y0, 0), min(y0 + h, height))
                                      for x in range(max(x0, 0), min(x0 + w, width)))
        if not colours:
            sys.exit("region %s lies outside the %dx%d window" % (name, width, height))
        background = colours.most_common(1)[0][0]
        text = max(colours, key=lambda c: contrast(c, background))
        print("%s %.2f %.3f" % (name, contrast(text, background), luminance(background)))


main()
