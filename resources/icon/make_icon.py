#!/usr/bin/env python3
"""Builds the program's icon from its text pixel map.

    python3 make_icon.py [--preview PNG] [--scale N]

reads calculator.txt beside this script and writes ../calculator.ico: one
32 x 32 image, 4 bits per pixel, the standard 16-colour palette and a 1-bit
transparency mask (744 bytes of image). With --preview it also writes the
picture scaled up N times (default 8) on a light background as a PNG, so the
pixels can be looked at without a Windows machine.

Standard library only, and the output depends on nothing but the map, so the
committed .ico can be checked by running this again.
"""

import argparse
import os
import re
import struct
import sys
import zlib

SIZE = 32

# The standard 16-colour palette, in the order of the palette indices.
PALETTE = [
    ("black", (0x00, 0x00, 0x00)),
    ("maroon", (0x80, 0x00, 0x00)),
    ("green", (0x00, 0x80, 0x00)),
    ("olive", (0x80, 0x80, 0x00)),
    ("navy", (0x00, 0x00, 0x80)),
    ("purple", (0x80, 0x00, 0x80)),
    ("teal", (0x00, 0x80, 0x80)),
    ("silver", (0xC0, 0xC0, 0xC0)),
    ("grey", (0x80, 0x80, 0x80)),
    ("red", (0xFF, 0x00, 0x00)),
    ("lime", (0x00, 0xFF, 0x00)),
    ("yellow", (0xFF, 0xFF, 0x00)),
    ("blue", (0x00, 0x00, 0xFF)),
    ("fuchsia", (0xFF, 0x00, 0xFF)),
    ("aqua", (0x00, 0xFF, 0xFF)),
    ("white", (0xFF, 0xFF, 0xFF)),
]
TRANSPARENT = "transparent"
PREVIEW_BACKGROUND = (0xF0, 0xF0, 0xF0)

HEADER_SIZE = 40
XOR_SIZE = SIZE * SIZE // 2  # 4 bits per pixel; rows of 16 bytes need no padding
AND_SIZE = SIZE * SIZE // 8  # 1 bit per pixel; rows of 4 bytes need no padding
IMAGE_SIZE = HEADER_SIZE + 4 * len(PALETTE) + XOR_SIZE + AND_SIZE

LEGEND_LINE = re.compile(r"^#\s+(\S)\s+(\w+)\s*$")


def read_map(path):
    """Returns the map as 32 rows of palette indices (None = transparent)."""
    legend = {}
    rows = []
    in_legend = False
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if line.startswith("#"):
                if line.startswith("# Legend"):
                    in_legend = True
                    continue
                match = LEGEND_LINE.match(line) if in_legend else None
                if match:
                    legend[match.group(1)] = colour_index(match.group(2), path, number)
                else:
                    in_legend = False
                continue
            if not line:
                continue
            if len(line) != SIZE:
                sys.exit(f"{path}:{number}: row has {len(line)} pixels, not {SIZE}")
            unknown = sorted(set(line) - legend.keys())
            if unknown:
                sys.exit(f"{path}:{number}: characters not in the legend: {unknown}")
            rows.append([legend[c] for c in line])
    if len(rows) != SIZE:
        sys.exit(f"{path}: {len(rows)} rows, not {SIZE}")
    return rows


def colour_index(name, path, number):
    if name == TRANSPARENT:
        return None
    for index, (colour, _) in enumerate(PALETTE):
        if colour == name:
            return index
    sys.exit(f"{path}:{number}: unknown colour {name!r}")


def icon_image(rows):
    """BITMAPINFOHEADER, palette, colour pixels and mask, rows bottom-up.

    The height in the header counts both bitmaps (64). Transparent pixels
    get colour 0 with mask bit 1, so they show the background unchanged
    rather than inverting it.
    """
    header = struct.pack("<IiiHHIIiiII", HEADER_SIZE, SIZE, 2 * SIZE, 1, 4, 0,
                         XOR_SIZE + AND_SIZE, 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        for x in range(0, SIZE, 2):
            left, right = (row[x] or 0), (row[x + 1] or 0)
            xor.append(left << 4 | right)
        for x in range(0, SIZE, 8):
            bits = 0
            for pixel in row[x:x + 8]:
                bits = bits << 1 | (pixel is None)
            mask.append(bits)
    image = header + palette + bytes(xor) + bytes(mask)
    assert len(image) == IMAGE_SIZE == 744
    return image


def icon_file(image):
    """An .ico with one directory entry that points just past itself."""
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, len(PALETTE), 0, 1, 4,
                        len(image), len(directory) + 16)
    return directory + entry + image


def preview_png(rows, scale):
    """RGB PNG of the picture, each pixel a scale x scale square."""
    raw = bytearray()
    for row in rows:
        line = bytearray()
        for pixel in row:
            rgb = PREVIEW_BACKGROUND if pixel is None else PALETTE[pixel][1]
            line += bytes(rgb) * scale
        for _ in range(scale):
            raw.append(0)  # filter type: none
            raw += line

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    side = SIZE * scale
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--map", default=os.path.join(here, "calculator.txt"))
    parser.add_argument("--output", default=os.path.join(here, os.pardir, "calculator.ico"))
    parser.add_argument("--preview", help="also write a scaled-up PNG here")
    parser.add_argument("--scale", type=int, default=8)
    args = parser.parse_args()

    rows = read_map(args.map)
    with open(args.output, "wb") as f:
        f.write(icon_file(icon_image(rows)))
    if args.preview:
        with open(args.preview, "wb") as f:
            f.write(preview_png(rows, args.scale))


if __name__ == "__main__":
    main()
