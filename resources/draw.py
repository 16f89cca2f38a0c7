#!/usr/bin/env python3
"""Draws the program's bitmaps and icons with ImageMagick's convert and packs them as .bmp and .ico.

Run it from anywhere: python3 resources/draw.py. It rewrites every picture in this folder. The build uses
the committed files, so only whoever changes the artwork needs ImageMagick.

convert does the drawing and the lettering; the packing is done here, because the resources need exact
formats that convert does not let one choose reliably: palette bitmaps whose first colour is the white
background (the program loads them with the transparent option, which replaces that colour), a 24-bit
banner, and icons with a 16-colour and a 256-colour image of 32 x 32 pixels each, with their masks.
"""

import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))

# The sixteen colours of the standard VGA palette, the palette of a 16-colour icon.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def raster(width, height, arguments, canvas=None):
    """Runs convert on a transparent canvas with the drawing arguments; gives rows of (r, g, b, a). A
    canvas smaller than the picture is drawn on and then scaled up, pixel by pixel."""
    size = canvas or (width, height)
    command = ["convert", "-size", f"{size[0]}x{size[1]}", "xc:none", *arguments]
    if size != (width, height):
        command += ["-scale", f"{width}x{height}!"]
    command += ["-depth", "8", "rgba:-"]
    data = subprocess.run(command, check=True, capture_output=True).stdout
    assert len(data) == width * height * 4, f"convert gave {len(data)} bytes"
    pixels = [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]
    return [pixels[y * width:(y + 1) * width] for y in range(height)]


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) * (a - b) for a, b in zip(colour, palette[i])))


def padded(row):
    return row + b"\0" * (-len(row) % 4)


def packed_indices(indices, bits):
    """One row of palette indices at 4 or 8 bits a pixel."""
    if bits == 8:
        return bytes(indices)
    out = bytearray()
    for i in range(0, len(indices), 2):
        low = indices[i + 1] if i + 1 < len(indices) else 0
        out.append(indices[i] << 4 | low)
    return bytes(out)


def info_header(width, height, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835, colours, 0)


def palette_bytes(palette, count):
    entries = list(palette) + [(0, 0, 0)] * (count - len(palette))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in entries)


def write_file(name, data):
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(data)


def write_palette_bitmap(name, rows, bits):
    """A bottom-up palette bitmap; colour 0 is the colour of the top-left pixel, the background."""
    palette = [rows[0][0][:3]]
    for row in rows:
        for pixel in row:
            if pixel[:3] not in palette:
                palette.append(pixel[:3])
    assert len(palette) <= 1 << bits, f"{name}: {len(palette)} colours"
    body = b"".join(padded(packed_indices([palette.index(p[:3]) for p in row], bits)) for row in reversed(rows))
    header = info_header(len(rows[0]), len(rows), bits, len(body), len(palette))
    table = palette_bytes(palette, len(palette))
    offset = 14 + len(header) + len(table)
    write_file(name, b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset) + header + table + body)


def write_true_colour_bitmap(name, rows):
    body = b"".join(padded(b"".join(struct.pack("<BBB", p[2], p[1], p[0]) for p in row)) for row in reversed(rows))
    header = info_header(len(rows[0]), len(rows), 24, len(body), 0)
    offset = 14 + len(header)
    write_file(name, b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset) + header + body)


def icon_image(rows, bits, palette):
    """The DIB of one icon image: colours, then the mask (set bits are transparent), both bottom-up."""
    size = len(rows)
    black = nearest((0, 0, 0), palette)
    colour_rows = []
    mask_rows = []
    for row in reversed(rows):
        opaque = [p[3] >= 128 for p in row]
        indices = [nearest(p[:3], palette) if o else black for p, o in zip(row, opaque)]
        colour_rows.append(padded(packed_indices(indices, bits)))
        mask = bytearray(size // 8)
        for x, o in enumerate(opaque):
            if not o:
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(padded(bytes(mask)))
    body = b"".join(colour_rows) + b"".join(mask_rows)
    colours = 1 << bits
    return info_header(size, size * 2, bits, len(body), 0) + palette_bytes(palette, colours) + body


def reduced_palette(rows, count):
    """The opaque colours of a picture that holds no more than count of them."""
    palette = []
    for row in rows:
        for pixel in row:
            if pixel[3] >= 128 and pixel[:3] not in palette:
                palette.append(pixel[:3])
    if (0, 0, 0) not in palette:
        palette.append((0, 0, 0))
    assert len(palette) <= count, f"{len(palette)} colours"
    return palette


def write_icon(name, drawing16, drawing256, side=32, small=False):
    """An icon of two 32 x 32 images, 16 colours (the VGA palette) and 256 colours, drawn on a canvas of
    side x side pixels. With small, the 16-colour drawing also makes two 16 x 16 images, in both colour
    depths, drawn on a 16 x 16 canvas."""
    canvas = (side, side)
    rows16 = raster(32, 32, ["+antialias", *drawing16], canvas)
    rows256 = raster(32, 32, drawing256 + ["-colors", "240", "+dither"], canvas)
    images = [(32, 4, icon_image(rows16, 4, VGA16)), (32, 8, icon_image(rows256, 8, reduced_palette(rows256, 256)))]
    if small:
        rows = raster(16, 16, ["+antialias", *drawing16])
        images += [(16, 4, icon_image(rows, 4, VGA16)), (16, 8, icon_image(rows, 8, reduced_palette(rows, 256)))]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, bits, image in images:
        directory += struct.pack("<BBBBHHII", size, size, 16 if bits == 4 else 0, 0, 1, bits, len(image), offset)
        offset += len(image)
        data += image
    write_file(name, directory + data)


# The flags and the cross are drawn on 16 x 16 pixels (see main). The Union Jack takes 16 x 10 of them:
# B blue, W white, R red. St Patrick's red saltire runs beside the white diagonals, below them at the
# hoist's top, and turns with them: the grid reads the same upside down.
UNION_JACK = [
    "RWBBBBWRRWBBBBRW",
    "BBRWBBWRRWBBRWBB",
    "BBBBRWWRRWRWBBBB",
    "WWWWWWWRRWWWWWWW",
    "RRRRRRRRRRRRRRRR",
    "RRRRRRRRRRRRRRRR",
    "WWWWWWWRRWWWWWWW",
    "BBBBWRWRRWWRBBBB",
    "BBWRBBWRRWBBWRBB",
    "WRBBBBWRRWBBBBWR",
]


def pixel_art(grid, colours, top):
    """convert arguments that draw a character grid, one character a pixel, from row top down."""
    arguments = []
    for y, row in enumerate(grid):
        for x, key in enumerate(row):
            arguments += ["-fill", colours[key], "-draw", f"point {x},{y + top}"]
    return arguments


def union_jack(blue, red):
    return pixel_art(UNION_JACK, {"B": blue, "W": "white", "R": red}, 3)


def italian_flag(green, red, edge):
    return [
        "+antialias",
        "-fill", green, "-draw", "rectangle 0,3 4,12",
        "-fill", "white", "-draw", "rectangle 5,3 10,12",
        "-fill", red, "-draw", "rectangle 11,3 15,12",
        "-fill", "none", "-stroke", edge, "-strokewidth", "1", "-draw", "rectangle 0,3 15,12",
    ]


def red_cross(red, dark):
    return [
        "+antialias",
        "-stroke", dark, "-strokewidth", "4", "-draw", "line 2,2 13,13", "-draw", "line 2,13 13,2",
        "-stroke", red, "-strokewidth", "2", "-draw", "line 2,2 13,13", "-draw", "line 2,13 13,2",
    ]


# The program's icon: a closed book whose cover bears a double arrow, from one language to the other.
def application_icon(cover, spine, pages, arrow):
    return [
        "-fill", pages, "-draw", "rectangle 6,4 28,29",
        "-fill", cover, "-draw", "rectangle 3,2 26,27",
        "-fill", spine, "-draw", "rectangle 3,2 6,27",
        "-stroke", arrow, "-strokewidth", "2", "-draw", "line 10,15 22,15",
        "-stroke", "none", "-fill", arrow,
        "-draw", "polygon 8,15 13,10 13,20", "-draw", "polygon 24,15 19,10 19,20",
    ]


def banner():
    # The three game titles stand over the dialog's three columns of file names.
    column_centres = [172, 338, 503]
    arguments = [
        "-fill", "#1c120b", "-draw", "rectangle 0,0 599,162",
        "(", "-size", "600x163", "gradient:#3b2816-#120a05", ")", "-composite",
        "-fill", "none", "-stroke", "#a8823c", "-strokewidth", "2", "-draw", "rectangle 5,5 594,157",
        "-stroke", "#6e5428", "-strokewidth", "1", "-draw", "rectangle 9,9 590,153",
        "-stroke", "none", "-font", "Palatino-Bold", "-pointsize", "56", "-fill", "#0a0502",
        "-gravity", "North", "-annotate", "+2+17", "LRK Orvella",
        "-fill", "#e6c264", "-annotate", "+0+15", "LRK Orvella",
        "-stroke", "#a8823c", "-strokewidth", "1", "-draw", "line 100,90 500,90",
        "-stroke", "none", "-font", "Palatino-Italic", "-pointsize", "26", "-fill", "#dccdae",
    ]
    for centre, title in zip(column_centres, ["Morrowind", "Tribunal", "Bloodmoon"]):
        arguments += ["-annotate", f"{centre - 300:+d}+105", title]
    rows = raster(600, 163, arguments)
    write_true_colour_bitmap("banner.bmp", rows)


def status_word(name, width, word, colour):
    rows = raster(width, 14, [
        "-fill", "white", "-draw", f"rectangle 0,0 {width - 1},13", "+antialias",
        "-font", "Helvetica-Bold", "-pointsize", "12", "-fill", colour,
        "-gravity", "Center", "-annotate", "+0+0", word,
    ])
    write_palette_bitmap(name, rows, 4)


def main():
    banner()
    status_word("ok.bmp", 25, "OK", "#009a00")
    status_word("fail.bmp", 35, "FAIL", "#d80000")
    write_icon("orvella.ico", application_icon("#000080", "#000000", "#ffffff", "#ffff00"),
               application_icon("#1f3f8f", "#142a60", "#f2ead8", "#f0c040"))
    # The save list shows these at the system's small-icon size, in an image list of 16 colours: their
    # 16 x 16 images, in the VGA colours, need neither scaling nor new colours. The 32 x 32 images are the
    # same pictures doubled.
    write_icon("english.ico", union_jack("#000080", "#ff0000"), union_jack("#012169", "#c8102e"), 16, True)
    write_icon("italian.ico", italian_flag("#008000", "#ff0000", "#808080"),
               italian_flag("#009246", "#ce2b37", "#8a8a8a"), 16, True)
    write_icon("unsupported.ico", red_cross("#ff0000", "#800000"), red_cross("#e01010", "#700000"), 16, True)

if __name__ == "__main__":
    main()
