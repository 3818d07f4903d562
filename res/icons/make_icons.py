#!/usr/bin/env python3
"""Writes the dialog's .ico files from the pixel maps in icons.txt.

    python3 make_icons.py <source-file> <output-dir>

Each icon block in the source becomes <output-dir>/icon<id>.ico holding
16-colour images (4 bits per pixel, standard VGA palette) with 1-bit AND
masks: first the image as drawn (the one for 96 dots per inch), then the
same picture enlarged pixel by pixel for 120, 144, 192 and 288 dots per
inch (1.25, 1.5, 2 and 3 times its size). The output depends only on the
source, so builds are reproducible.
"""

import os
import struct
import sys

# The standard Windows 16-colour palette, in index order, as RGB.
VGA_PALETTE = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]

TRANSPARENT = None  # legend value of the transparent character

# The sizes of each icon's images, in quarters of the drawn size.
SCALES = (4, 5, 6, 8, 12)


class SourceError(Exception):
    """A malformed source file; the message names the line."""


def parse_source(text, name="<source>"):
    """Returns {icon id: rows}, each row a list of palette indices or None.

    Grammar, one statement a line, '#' starts a comment:
        legend <char> <index 0-15>|transparent
        icon <id> <size>       followed by <size> rows of <size> characters
    """
    legend = {}
    icons = {}
    lines = text.splitlines()
    i = 0

    def fail(lineno, message):
        raise SourceError(f"{name}:{lineno}: {message}")

    while i < len(lines):
        lineno, line = i + 1, lines[i].split("#", 1)[0].strip()
        i += 1
        if not line:
            continue
        words = line.split()
        if words[0] == "legend" and len(words) == 3 and len(words[1]) == 1:
            char, value = words[1], words[2]
            if char in legend:
                fail(lineno, f"character {char!r} defined twice")
            if value == "transparent":
                legend[char] = TRANSPARENT
            elif value.isdigit() and 0 <= int(value) < 16:
                legend[char] = int(value)
            else:
                fail(lineno, f"bad palette index {value!r}")
        elif words[0] == "icon" and len(words) == 3 and words[1].isdigit() and words[2].isdigit():
            icon_id, size = int(words[1]), int(words[2])
            if size not in (16, 32):
                fail(lineno, f"icon size must be 16 or 32, not {size}")
            if icon_id in icons:
                fail(lineno, f"icon {icon_id} defined twice")
            rows = []
            while len(rows) < size:
                if i >= len(lines):
                    fail(i, f"icon {icon_id} ends after {len(rows)} of {size} rows")
                row, rowno = lines[i].strip(), i + 1
                i += 1
                if len(row) != size:
                    fail(rowno, f"row is {len(row)} pixels wide, icon {icon_id} is {size}")
                try:
                    rows.append([legend[c] for c in row])
                except KeyError as e:
                    fail(rowno, f"character {e.args[0]!r} is not in the legend")
            icons[icon_id] = rows
        else:
            fail(lineno, f"cannot read {line!r}")
    return icons


def _pack_row(bits):
    """Packs a string of '0'/'1' into bytes, padded to a 4-byte boundary."""
    stride = (len(bits) + 31) // 32 * 4
    bits = bits.ljust((len(bits) + 7) // 8 * 8, "0")
    return int(bits, 2).to_bytes(len(bits) // 8, "big").ljust(stride, b"\0")


def scale(rows, quarters):
    """The pixel map enlarged to quarters/4 of its size, nearest pixel."""
    size = len(rows)
    n = size * quarters // 4
    return [[rows[y * size // n][x * size // n] for x in range(n)] for y in range(n)]


def build_image(rows):
    """Returns the bytes of one icon image (header, palette, colours, mask)."""
    size = len(rows)
    xor = b""
    mask = b""
    for row in reversed(rows):  # DIB rows are stored bottom-up
        xor += _pack_row("".join(f"{0 if p is TRANSPARENT else p:04b}" for p in row))
        mask += _pack_row("".join("1" if p is TRANSPARENT else "0" for p in row))
    palette = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0)
                       for c in VGA_PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    return header + palette + xor + mask


def build_ico(rows, scales=SCALES):
    """Returns the bytes of an .ico holding the square pixel map at each scale."""
    images = [(len(rows) * q // 4, build_image(scale(rows, q))) for q in scales]
    icondir = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    offset = 6 + 16 * len(images)
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return icondir + entries + b"".join(image for _, image in images)


def main(argv):
    if len(argv) != 3:
        print("usage: make_icons.py <source-file> <output-dir>", file=sys.stderr)
        return 2
    source, outdir = argv[1], argv[2]
    with open(source, encoding="ascii") as f:
        try:
            icons = parse_source(f.read(), source)
        except SourceError as e:
            print(f"make_icons: {e}", file=sys.stderr)
            return 1
    os.makedirs(outdir, exist_ok=True)
    for icon_id, rows in sorted(icons.items()):
        data = build_ico(rows)
        with open(os.path.join(outdir, f"icon{icon_id}.ico"), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
