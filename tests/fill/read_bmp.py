"""Reads bitmap files back with two readers independent of ours: Pillow and ImageMagick.

For each file prints two lines:
  pillow <rawmode> <width> <height> <rrggbb> ...
  magick <depth> <alpha> <width> <height> <rrggbb> ...
where rawmode is how Pillow unpacks the rows (1, P;4, P, BGR, BGRX) and depth is
ImageMagick's %z. Pixels run row by row from the top.
"""
import subprocess
import sys

from PIL import Image


def hex_pixels(data):
    return " ".join("%02x%02x%02x" % p[:3] for p in data)


for path in sys.argv[1:]:
    with Image.open(path) as im:
        rawmode = im.tile[0][3][0]
        rgb = im.convert("RGB")
        print("pillow", rawmode, im.width, im.height, hex_pixels(rgb.getdata()))
    info = subprocess.run(["identify", "-format", "%z %A %w %h", path],
                          check=True, capture_output=True, text=True).stdout.split()
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"],
                         check=True, capture_output=True).stdout
    pixels = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    print("magick", info[0], info[1], info[2], info[3], hex_pixels(pixels))
