#!/usr/bin/python3
"""Draws the application icon (resource 128) and the logo bitmap (resource 136).

Writes src/resources/images/application-icon.png and src/resources/images/logo.bmp, and the icon at
the desktop's usual sizes under packaging/icons/ for installing. Needs Pillow
(Debian: python3-pil) and the DejaVu fonts (fonts-dejavu-core, fonts-dejavu-extra). The output is
committed; run this again only to change the pictures.
"""

import colorsys
import pathlib

from PIL import Image, ImageDraw, ImageFilter, ImageFont

OUT_DIR = pathlib.Path(__file__).resolve().parent.parent / "src" / "resources" / "images"
DESKTOP_ICON_DIR = pathlib.Path(__file__).resolve().parent.parent / "packaging" / "icons"
DESKTOP_ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
FONT_DIR = pathlib.Path("/usr/share/fonts/truetype/dejavu")

ICON_SIZE = 32
BAND_TOP = 7  # the letters fill rows 7 to 23
EDGE_GREY = (128, 128, 128, 255)

# Heavy block letters, 17 rows high, three-pixel strokes. Together with a one-pixel gap between
# letters they span columns 0 to 30; column 31 stays transparent.
GLYPH_D = [
    "#######..",
    "########.",
    "###..####",
    "###...###",
    "###...###",
    "###...###",
    "###...###",
    "###...###",
    "###...###",
    "###...###",
    "###...###",
    "###...###",
    "###...###",
    "###...###",
    "###..####",
    "########.",
    "#######..",
]
GLYPH_M = [
    "###.....###",
    "####...####",
    "#####.#####",
    "###########",
    "###.###.###",
    "###..#..###",
    "###.....###",
    "###.....###",
    "###.....###",
    "###.....###",
    "###.....###",
    "###.....###",
    "###.....###",
    "###.....###",
    "###.....###",
    "###.....###",
    "###.....###",
]
GLYPH_X = [
    "###...###",
    "###...###",
    ".###.###.",
    ".###.###.",
    "..#####..",
    "..#####..",
    "...###...",
    "...###...",
    "...###...",
    "...###...",
    "...###...",
    "..#####..",
    "..#####..",
    ".###.###.",
    ".###.###.",
    "###...###",
    "###...###",
]


def rainbow(row, rows):
    """Magenta at the top through blue, cyan, green and yellow to red at the bottom."""
    hue = (300.0 - 300.0 * row / (rows - 1)) / 360.0
    r, g, b = colorsys.hsv_to_rgb(hue, 1.0, 1.0)
    return (round(r * 255), round(g * 255), round(b * 255), 255)


def make_icon():
    glyphs = [GLYPH_D, GLYPH_M, GLYPH_X]
    rows = len(GLYPH_D)
    strokes = set()
    left = 0
    for glyph in glyphs:
        for y, line in enumerate(glyph):
            for x, cell in enumerate(line):
                if cell == "#":
                    strokes.add((left + x, BAND_TOP + y))
        left += len(glyph[0]) + 1
    width = left - 1
    assert width == ICON_SIZE - 1, width

    icon = Image.new("RGBA", (ICON_SIZE, ICON_SIZE), (0, 0, 0, 0))
    for y in range(BAND_TOP, BAND_TOP + rows):
        for x in range(width):
            if (x, y) in strokes:
                icon.putpixel((x, y), rainbow(y - BAND_TOP, rows))
            elif any((x + dx, y + dy) in strokes for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1))):
                # The gaps and counters next to a stroke get a grey edge so the letters stand apart.
                icon.putpixel((x, y), EDGE_GREY)
    icon.save(OUT_DIR / "application-icon.png")
    return icon


def make_desktop_icons(icon):
    # Block letters scale up as whole pixels; only the 16 and 24 pixel sizes are smoothed down.
    for size in DESKTOP_ICON_SIZES:
        resample = Image.Resampling.NEAREST if size % ICON_SIZE == 0 else Image.Resampling.LANCZOS
        folder = DESKTOP_ICON_DIR / f"{size}x{size}"
        folder.mkdir(parents=True, exist_ok=True)
        icon.resize((size, size), resample).save(folder / "example.lumora.dmx.png")


LOGO_SIZE = (143, 43)
WHITE = (255, 255, 255)
DARK_BLUE = (16, 32, 120)
SHADOW_GREY = (160, 160, 160)
SLOGAN_COLOUR = (40, 40, 40)
NAME = "Lumora"
SLOGAN = "DMX512 lighting control"
LOGO_COLOURS = 25


def fitting_font(path, text, max_width, start):
    size = start
    while size > 6:
        font = ImageFont.truetype(str(path), size)
        left, _, right, _ = font.getbbox(text)
        if right - left <= max_width:
            return font
        size -= 1
    return ImageFont.truetype(str(path), size)


def make_logo():
    logo = Image.new("RGB", LOGO_SIZE, WHITE)
    draw = ImageDraw.Draw(logo)

    name_font = fitting_font(FONT_DIR / "DejaVuSans-Bold.ttf", NAME, LOGO_SIZE[0] - 10, 30)
    left, top, right, bottom = name_font.getbbox(NAME)
    name_x = (LOGO_SIZE[0] - (right - left)) // 2 - left
    name_y = 2 - top
    draw.text((name_x + 2, name_y + 2), NAME, font=name_font, fill=SHADOW_GREY)
    draw.text((name_x, name_y), NAME, font=name_font, fill=DARK_BLUE)

    slogan_font = fitting_font(FONT_DIR / "DejaVuSansCondensed-Oblique.ttf", SLOGAN, LOGO_SIZE[0] - 6, 11)
    left, top, right, bottom = slogan_font.getbbox(SLOGAN)
    slogan_x = (LOGO_SIZE[0] - (right - left)) // 2 - left
    slogan_y = LOGO_SIZE[1] - 2 - bottom
    draw.text((slogan_x, slogan_y), SLOGAN, font=slogan_font, fill=SLOGAN_COLOUR)

    indexed = logo.quantize(colors=LOGO_COLOURS, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = indexed.getpalette()[: LOGO_COLOURS * 3]
    # The file carries a full 256-entry palette; the entries past the colours used stay black.
    indexed.putpalette(palette + [0] * (768 - len(palette)))
    indexed.save(OUT_DIR / "logo.bmp")


def main():
    OUT_DIR.mkdir(parents=True, exist_ok=True)
    make_desktop_icons(make_icon())
    make_logo()


if __name__ == "__main__":
    main()
