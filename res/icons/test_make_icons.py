#!/usr/bin/env python3
"""Checks the .ico files that make_icons.py writes."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # keep the source tree clean
import make_icons  # noqa: E402

SOURCE = os.path.join(HERE, "icons.txt")
EXPECTED_SIZES = {128: 32, 129: 16, 130: 16, 131: 16, 132: 16,
                  135: 32, 136: 32, 138: 32, 147: 32}


def read_ico(data, index=0):
    """Decodes image index of a 4-bpp .ico: (fields, rows of (index, transparent))."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    w, h, colours, res2, planes, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
    hdr = struct.unpack_from("<IiiHHIIiiII", data, offset)
    fields = dict(reserved=reserved, kind=kind, count=count, width=w, height=h,
                  colours=colours, entry_reserved=res2, planes=planes, bpp=bpp,
                  bytes_in_res=size, offset=offset, bi_size=hdr[0], bi_width=hdr[1],
                  bi_height=hdr[2], bi_planes=hdr[3], bi_bpp=hdr[4], bi_compression=hdr[5])
    pal_at = offset + hdr[0]
    fields["palette"] = [b << 0 | g << 8 | r << 16 for b, g, r, _ in
                         struct.iter_unpack("<BBBB", data[pal_at:pal_at + 64])]
    n = hdr[1]
    xor_stride, and_stride = (n * 4 + 31) // 32 * 4, (n + 31) // 32 * 4
    xor_at = pal_at + 64
    and_at = xor_at + xor_stride * n
    fields["end"] = and_at + and_stride * n
    rows = []
    for y in range(n):  # bottom-up: the first stored row is the lowest
        stored = n - 1 - y
        xrow = data[xor_at + stored * xor_stride:]
        arow = data[and_at + stored * and_stride:]
        rows.append([((xrow[x // 2] >> (4 if x % 2 == 0 else 0)) & 15,
                      bool(arow[x // 8] >> (7 - x % 8) & 1)) for x in range(n)])
    return fields, rows


def generate(outdir):
    rc = make_icons.main(["make_icons.py", SOURCE, outdir])
    if rc != 0:
        raise AssertionError(f"make_icons failed with {rc}")
    files = {}
    for name in sorted(os.listdir(outdir)):
        with open(os.path.join(outdir, name), "rb") as f:
            files[name] = f.read()
    return files


class GeneratedIconsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.files = generate(os.path.join(cls.tmp.name, "a"))

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_one_file_per_resource(self):
        self.assertEqual(sorted(self.files), sorted(f"icon{i}.ico" for i in EXPECTED_SIZES))

    def test_headers(self):
        # The drawn size first, then 1.25, 1.5, 2 and 3 times it, the images
        # one after the other with nothing between or after them.
        for icon_id, drawn in EXPECTED_SIZES.items():
            data = self.files[f"icon{icon_id}.ico"]
            sizes = [drawn * q // 4 for q in (4, 5, 6, 8, 12)]
            offset = 6 + 16 * len(sizes)
            for i, n in enumerate(sizes):
                with self.subTest(icon=icon_id, size=n):
                    f, _ = read_ico(data, i)
                    self.assertEqual((f["reserved"], f["kind"], f["count"]), (0, 1, len(sizes)))
                    self.assertEqual((f["width"], f["height"]), (n, n))
                    self.assertEqual((f["colours"], f["entry_reserved"], f["planes"], f["bpp"]),
                                     (16, 0, 1, 4))
                    self.assertEqual(f["offset"], offset)
                    self.assertEqual((f["bi_size"], f["bi_width"], f["bi_height"]), (40, n, 2 * n))
                    self.assertEqual((f["bi_planes"], f["bi_bpp"], f["bi_compression"]), (1, 4, 0))
                    self.assertEqual(f["palette"], make_icons.VGA_PALETTE)
                    # XOR and AND rows are each padded to 4 bytes.
                    self.assertEqual(f["end"], offset + f["bytes_in_res"])
                    offset = f["end"]
            self.assertEqual(offset, len(data))

    def test_enlarged_images_repeat_the_drawn_pixels(self):
        # Each pixel of the drawn image becomes a block; at 1.25 times the
        # size every fourth row and column is doubled.
        for name, data in self.files.items():
            _, drawn = read_ico(data, 0)
            n = len(drawn)
            for i, q in enumerate((4, 5, 6, 8, 12)):
                _, rows = read_ico(data, i)
                m = len(rows)
                with self.subTest(icon=name, size=m):
                    self.assertEqual(m, n * q // 4)
                    self.assertEqual(rows, [[drawn[y * n // m][x * n // m] for x in range(m)]
                                            for y in range(m)])

    def test_mask_and_colours_agree(self):
        for name, data in self.files.items():
            with self.subTest(icon=name):
                _, rows = read_ico(data)  # the enlarged images repeat its pixels
                pixels = [p for row in rows for p in row]
                self.assertTrue(all(i == 0 for i, clear in pixels if clear),
                                "a transparent pixel has a colour")
                self.assertTrue(any(clear for _, clear in pixels), "no transparent pixel")
                self.assertTrue(any(not clear for _, clear in pixels), "no visible pixel")

    def test_runs_are_identical(self):
        again = generate(os.path.join(self.tmp.name, "b"))
        self.assertEqual(again, self.files)

    @unittest.skipUnless(shutil.which("icotool"), "icoutils not installed")
    def test_icotool_reads_them(self):
        for icon_id, n in EXPECTED_SIZES.items():
            path = os.path.join(self.tmp.name, "a", f"icon{icon_id}.ico")
            out = subprocess.run(["icotool", "-l", path], capture_output=True, text=True,
                                 check=True).stdout.split()
            self.assertIn(f"--width={n}", out)
            self.assertIn(f"--height={n}", out)
            self.assertIn("--bit-depth=4", out)
            self.assertIn("--palette-size=16", out)


LEGEND = "legend . transparent\n" + "".join(f"legend {c} {i}\n"
                                             for i, c in enumerate("0123456789abcdef"))


class PixelLayoutTest(unittest.TestCase):
    def test_pixels_round_trip(self):
        # Every row and column differs, so a flipped image, swapped nibbles
        # or a shifted mask shows up.
        rows = ["".join("0123456789abcdef"[(x + 3 * y) % 16] for x in range(16))
                for y in range(16)]
        rows[0] = "." + rows[0][1:]
        rows[15] = rows[15][:14] + ".."
        icons = make_icons.parse_source(LEGEND + "icon 7 16\n" + "\n".join(rows) + "\n")
        _, decoded = read_ico(make_icons.build_ico(icons[7], (4,)))
        for y in range(16):
            for x in range(16):
                clear = rows[y][x] == "."
                want = (0 if clear else int(rows[y][x], 16), clear)
                self.assertEqual(decoded[y][x], want, f"pixel {x},{y}")


class SourceErrorsTest(unittest.TestCase):
    def assertFails(self, text, lineno, words):
        with self.assertRaises(make_icons.SourceError) as cm:
            make_icons.parse_source(LEGEND + text, "x.txt")
        message = str(cm.exception)
        self.assertIn(f"x.txt:{LEGEND.count(chr(10)) + lineno}:", message)
        self.assertIn(words, message)

    def test_malformed_sources(self):
        good = "0" * 16 + "\n"
        self.assertFails("icon 1 16\n" + good * 3 + "0" * 15 + "\n", 5, "15 pixels wide")
        self.assertFails("icon 1 16\n" + good + "0" * 15 + "z\n", 3, "'z' is not in the legend")
        self.assertFails("icon 1 16\n" + good * 4, 5, "4 of 16 rows")
        self.assertFails("icon 1 24\n", 1, "must be 16 or 32")
        self.assertFails("icon 1 16\n" + good * 16 + "icon 1 16\n", 18, "defined twice")
        self.assertFails("legend 0 3\n", 1, "defined twice")
        self.assertFails("legend x 16\n", 1, "bad palette index")
        self.assertFails("picture 1 16\n", 1, "cannot read")

    def test_comments_and_blank_lines_are_ignored(self):
        icons = make_icons.parse_source(LEGEND + "\n# note\nicon 3 16  # trailing\n"
                                        + ("f" * 16 + "\n") * 16 + "\n")
        self.assertEqual(icons[3], [[15] * 16] * 16)


if __name__ == "__main__":
    unittest.main()
