#!/usr/bin/env python3
# Quorvantel's images are drawn from code so anyone can redraw or change them
# without an image editor:
#     python3 res/draw_images.py
# Only the Python standard library is used. The icon, app.ico, holds one
# image for every size Windows asks for, each drawn for its size. The three
# pictures of the main window, the banner, the usage button's question mark
# and the footer, are drawn once for each display scale: banner.bmp,
# usage.bmp and footer.bmp for 100 %, banner_125.bmp and so on for 125, 150,
# 175 and 200 %. Every image has 16 colours, the standard VGA palette, and
# is pixel art: no edge is smoothed. The files are written next to this
# script.
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# Standard 16-colour VGA palette, in Windows order.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
           (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
           (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
           (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, NAVY, SILVER, GREY = 0, 1, 4, 7, 8
RED, YELLOW, BLUE, AQUA, WHITE = 9, 11, 12, 14, 15

# Pixel-art letters used by the art below: '.' marks a transparent pixel.
ART_COLOURS = {'k': BLACK, 'm': MAROON, 'n': NAVY, 's': SILVER, 'g': GREY,
               'r': RED, 'y': YELLOW, 'b': BLUE, 'c': AQUA, 'w': WHITE}

# A 5x7 pixel font; rows are separated by spaces, '#' is ink. Rows 8 and 9,
# where present, hang below the baseline (g, j, p, q, y and the comma).
FONT = {
    'A': ".###. #...# #...# ##### #...# #...# #...#",
    'B': "####. #...# #...# ####. #...# #...# ####.",
    'C': ".###. #...# #.... #.... #.... #...# .###.",
    'D': "####. #...# #...# #...# #...# #...# ####.",
    'E': "##### #.... #.... ####. #.... #.... #####",
    'F': "##### #.... #.... ####. #.... #.... #....",
    'G': ".###. #...# #.... #.### #...# #...# .####",
    'H': "#...# #...# #...# ##### #...# #...# #...#",
    'I': "### .#. .#. .#. .#. .#. ###",
    'J': "..### ...#. ...#. ...#. ...#. #..#. .##..",
    'K': "#...# #..#. #.#.. ##... #.#.. #..#. #...#",
    'L': "#.... #.... #.... #.... #.... #.... #####",
    'M': "#...# ##.## #.#.# #.#.# #...# #...# #...#",
    'N': "#...# #...# ##..# #.#.# #..## #...# #...#",
    'O': ".###. #...# #...# #...# #...# #...# .###.",
    'P': "####. #...# #...# ####. #.... #.... #....",
    'Q': ".###. #...# #...# #...# #.#.# #..#. .##.#",
    'R': "####. #...# #...# ####. #.#.. #..#. #...#",
    'S': ".#### #.... #.... .###. ....# ....# ####.",
    'T': "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..",
    'U': "#...# #...# #...# #...# #...# #...# .###.",
    'V': "#...# #...# #...# #...# #...# .#.#. ..#..",
    'W': "#...# #...# #...# #.#.# #.#.# #.#.# .#.#.",
    'X': "#...# #...# .#.#. ..#.. .#.#. #...# #...#",
    'Y': "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..",
    'Z': "##### ....# ...#. ..#.. .#... #.... #####",
    'a': "..... ..... .###. ....# .#### #...# .####",
    'b': "#.... #.... #.##. ##..# #...# #...# ####.",
    'c': "..... ..... .###. #.... #.... #...# .###.",
    'd': "....# ....# .##.# #..## #...# #...# .####",
    'e': "..... ..... .###. #...# ##### #.... .###.",
    'f': "..##. .#..# .#... ###.. .#... .#... .#...",
    'g': "..... ..... .#### #...# #...# #...# .#### ....# .###.",
    'h': "#.... #.... #.##. ##..# #...# #...# #...#",
    'i': ".#. ... ##. .#. .#. .#. ###",
    'j': "...# .... ..## ...# ...# ...# ...# #..# .##.",
    'k': "#... #... #..# #.#. ##.. #.#. #..#",
    'l': "##. .#. .#. .#. .#. .#. ###",
    'm': "..... ..... ##.#. #.#.# #.#.# #.#.# #.#.#",
    'n': "..... ..... #.##. ##..# #...# #...# #...#",
    'o': "..... ..... .###. #...# #...# #...# .###.",
    'p': "..... ..... ####. #...# #...# #...# ####. #.... #....",
    'q': "..... ..... .#### #...# #...# #...# .#### ....# ....#",
    'r': "..... ..... #.##. ##..# #.... #.... #....",
    's': "..... ..... .#### #.... .###. ....# ####.",
    't': ".#.. .#.. ###. .#.. .#.. .#.. ..##",
    'u': "..... ..... #...# #...# #...# #..## .##.#",
    'v': "..... ..... #...# #...# #...# .#.#. ..#..",
    'w': "..... ..... #...# #...# #.#.# #.#.# .#.#.",
    'x': "..... ..... #...# .#.#. ..#.. .#.#. #...#",
    'y': "..... ..... #...# #...# #...# #...# .#### ....# .###.",
    'z': "..... ..... ##### ...#. ..#.. .#... #####",
    '0': ".###. #...# #..## #.#.# ##..# #...# .###.",
    '1': ".#. ##. .#. .#. .#. .#. ###",
    '2': ".###. #...# ....# ...#. ..#.. .#... #####",
    '3': "##### ...#. ..#.. ...#. ....# #...# .###.",
    '4': "...#. ..##. .#.#. #..#. ##### ...#. ...#.",
    '5': "##### #.... ####. ....# ....# #...# .###.",
    '6': "..##. .#... #.... ####. #...# #...# .###.",
    '7': "##### ....# ...#. ..#.. .#... .#... .#...",
    '8': ".###. #...# #...# .###. #...# #...# .###.",
    '9': ".###. #...# #...# .#### ....# ...#. .##..",
    '.': ".. .. .. .. .. ## ##",
    ',': ".. .. .. .. .. ## ## .# #.",
    ' ': "... ... ... ... ... ... ...",
    '(': "..# .#. #.. #.. #.. .#. ..#",
    ')': "#.. .#. ..# ..# ..# .#. #..",
    '-': ".... .... .... #### .... .... ....",
    '?': ".###. #...# ....# ...#. ..#.. ..... ..#..",
}

# The icon drawn by hand at 16, 20, 24 and 32 pixels: a red page dropping
# into a grey funnel over a glass flask. Every other size is drawn from
# ICON_PARTS below.
ICON_16 = """
....mmmmmm......
....mrrrrmm.....
....mrmmrmmm....
....mrrrrrrm....
.kkkkkkkkkkkkkk.
..kwssssssssgk..
...kwssssssgk...
....kwssssgk....
.....kwssgk.....
.....kkwgkk.....
.....kwwgwk.....
.....kwkkwk.....
....kwwwwwwk....
...kcccccccck...
..kbwbbbbbbbbk..
..kkkkkkkkkkkk..
"""
ICON_20 = """
.....mmmmmmmm.......
.....mrrrrrrmm......
.....mrmmmmrmmm.....
.....mrrrrrrrrm.....
.....mrmmmmmmrm.....
.kkkkkkkkkkkkkkkkkk.
..kwssssssssssssgk..
...kwssssssssssgk...
....kwssssssssgk....
.....kwssssssgk.....
......kwssssgk......
.......kwssgk.......
......kkkwgkkk......
......kwkwgkwk......
......kwkwgkwk......
......kwwkkwwk......
.....kwwwwwwwwk.....
....kcccccccccck....
...kbbwbbbbbbbbbk...
...kkkkkkkkkkkkkk...
"""
ICON_24 = """
......mmmmmmmmmm........
......mrrrrrrrrmm.......
......mrmmmmmmrmmm......
......mrrrrrrrrmmmm.....
......mrmmmmmmmmmmm.....
......mrrrrrrrrrrrm.....
.kkkkkkkkkkkkkkkkkkkkkk.
..kkwssssssssssssssgkk..
....kwssssssssssssgk....
.....kwssssssssssgk.....
......kwssssssssgk......
.......kwssssssgk.......
........kwssssgk........
.........kwssgk.........
........kkkwgkkk........
........kwkwgkwk........
........kwkwgkwk........
........kwwkkwwk........
.......kwwwwwwwwk.......
......kwwwwwwwwwwk......
.....kcccccccccccck.....
....kbbwbbbbbbbbbbbk....
...kbbwbbbbbbbbbbbbbk...
....kkkkkkkkkkkkkkkk....
"""
ICON_32 = """
.........mmmmmmmmm..............
.........mrrrrrrrmm.............
.........mrrrrrrrmmm............
.........mrmmmmmrmmmm...........
.........mrrrrrrrmmmmm..........
.........mrmmmmmmmmmmmm.........
.........mrrrrrrrrrrrrm.........
.........mrmmmmmmmmmmrm.........
..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..
...kkwssssssssssssssssssssgkk...
....kwssssssssssssssssssggk.....
.....kkwsssssssssssssssgkk......
.......kwssssssssssssggk........
........kkwsssssssssgkk.........
..........kwssssssggk...........
...........kkwsssgkk............
.............kwsgk..............
..............kwgk..............
...........kkkkwgkkkk...........
............kwkwgkwk............
............kwkwgkwk............
............kwwkkwwk............
...........kwwwwwwwwk...........
..........kwwwwwwwwwwk..........
.........kwwwwwwwwwwwwk.........
........kwcccccccccccccck.......
.......kbbbbbbbbbbbbbbbbbk......
......kbbwbbbbbbbbbbbbbbbbk.....
.....kbbwbbbbbbbbbbbbbbbbbbk....
....kbbbbbbbbbbbbbbbbbbbbbbbk...
....kbbbbbbbbbbbbbbbbbbbbbbbk...
.....kkkkkkkkkkkkkkkkkkkkkkk....
"""

# The same icon as shapes on a grid of 32 x 32 units, for every other size:
# each is drawn anew for its size, a pixel taking the colour of the shape
# under its centre, so no edge is scaled or smeared. Later parts lie on top.
# A part: its outline, its fill, its outline's colour, and what lies on it
# (filled shapes, each clipped to the part's inside).
ICON_PARTS = [
    ('flask', [(11, 18), (21, 18), (21, 19), (20, 19), (20, 22), (29, 30), (29, 32),
               (4, 32), (4, 30), (12, 22), (12, 19), (11, 19)], WHITE, BLACK,
     [(BLUE, [(0, 25), (32, 25), (32, 32), (0, 32)]),
      (AQUA, [(0, 25), (32, 25), (32, 26), (0, 26)]),
      (WHITE, [(9, 27), (10.2, 27), (9.2, 29), (8, 29)])]),
    ('page', [(9, 0), (18, 0), (23.5, 5.5), (23.5, 8.5), (9, 8.5)], RED, MAROON,
     [(MAROON, [(17.5, 0), (17.5, 5.5), (23.5, 5.5)]),
      (MAROON, [(11, 3), (16, 3), (16, 4), (11, 4)]),
      (MAROON, [(11, 5), (17, 5), (17, 6), (11, 6)]),
      (MAROON, [(11, 7), (21, 7), (21, 8), (11, 8)])]),
    # Lit from the left: a white edge inside the outline there, grey on the right.
    ('funnel', [(2, 8), (30, 8), (30, 9), (18.5, 17), (18, 17), (18, 22), (14, 22),
                (14, 17), (13.5, 17), (2, 9)], SILVER, BLACK, []),
]
ICON_ART = {16: ICON_16, 20: ICON_20, 24: ICON_24, 32: ICON_32}
ICON_SIZES = (16, 20, 24, 28, 32, 40, 48, 56, 64, 256)

# The usage button: a yellow question mark ('#'), outlined in black on silver,
# drawn by hand for 100, 125, 150 and 175 %.
USAGE_MARKS = {100: """
................
.....######.....
....########....
...###....###...
...###....###...
..........###...
.........###....
........###.....
.......###......
.......###......
.......###......
................
.......###......
.......###......
................
................
""", 125: """
....................
......########......
.....##########.....
....####....####....
....###......###....
....###......###....
.............###....
............####....
...........####.....
..........####......
.........####.......
.........###........
.........###........
.........###........
....................
.........###........
.........###........
.........###........
....................
....................
""", 150: """
........................
.......##########.......
......############......
.....####......####.....
.....####......####.....
.....####......####.....
...............####.....
..............####......
.............####.......
............####........
...........####.........
..........####..........
..........####..........
..........####..........
..........####..........
........................
........................
..........####..........
..........####..........
..........####..........
..........####..........
........................
........................
........................
""", 175: """
............................
........###########.........
.......#############........
......######...######.......
......#####.....#####.......
......#####.....#####.......
......#####.....#####.......
................#####.......
...............#####........
..............#####.........
.............#####..........
............#####...........
............#####...........
............#####...........
............#####...........
............#####...........
............................
............................
............#####...........
............#####...........
............#####...........
............#####...........
............................
............................
............................
............................
............................
............................
"""}

# The drawings for the larger scales. The program shows the largest drawing
# that fits a picture's frame and fills the rest of the frame with the
# drawing's own background, so each is drawn a little inside the frame that
# the dialog font gives the picture at its scale. Under Wine the banner's
# frames are 530 x 58, 596 x 65, 728 x 81 and 795 x 89 pixels at 125 to
# 200 %, the footer's 516 x 28, 580 x 31, 709 x 39 and 774 x 43: MS Sans
# Serif grows less in height than the scale.
# Scale: the banner's width, height, name and version letter size.
# At 200 % each picture is its 100 % drawing with every pixel doubled, less
# the rows of ground its frame has no room for.
BANNERS = {100: (389, 50, 5, 3), 125: (484, 56, 6, 4), 150: (581, 63, 7, 4),
           175: (678, 79, 9, 5)}
CREDIT = 'Quorvantel 1.5 - a front end for the HELPDECO WinHelp decompiler'
SHORT_CREDIT = 'Quorvantel 1.5 - a front end for HELPDECO'
# Scale: the footer's width, height, credit line and letter size. Letters
# grow by whole pixels only, so the full line, twice as large, fits 200 %
# alone.
FOOTERS = {100: (387, 25, CREDIT, 1), 125: (481, 26, CREDIT, 1),
           150: (578, 29, SHORT_CREDIT, 2), 175: (675, 37, SHORT_CREDIT, 2)}
DOUBLED_HEIGHTS = {'banner': 87, 'usage': 32, 'footer': 41}
SCALES = (100, 125, 150, 175, 200)


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def from_art(art):
    """Turns pixel art into rows of colours (None where transparent)."""
    return [[ART_COLOURS.get(ch) for ch in row]
            for row in art.strip().splitlines()]


def glyph(ch):
    return FONT[ch].split()


def text_width(text, scale):
    return sum((len(glyph(ch)[0]) + 1) * scale for ch in text) - scale


def draw_text(img, x, top, text, colour, scale=1):
    """Draws text with its cap tops at `top`; returns the x after it."""
    for ch in text:
        rows = glyph(ch)
        for gy, row in enumerate(rows):
            for gx, bit in enumerate(row):
                if bit != '#':
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        py, px = top + gy * scale + dy, x + gx * scale + dx
                        if 0 <= py < len(img) and 0 <= px < len(img[0]):
                            img[py][px] = colour
        x += (len(rows[0]) + 1) * scale
    return x


def inside(polygon, x, y):
    """Whether the point lies inside the polygon (even-odd rule)."""
    result = False
    for (x1, y1), (x2, y2) in zip(polygon, polygon[1:] + polygon[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def icon_at(size):
    """The icon drawn for SIZE pixels, None where transparent."""
    if size in ICON_ART:
        return from_art(ICON_ART[size])
    unit = 32 / size
    line = max(1, size // 32)  # an outline is one unit wide, at least a pixel
    img = [[None] * size for _ in range(size)]
    centres = [(x + 0.5) * unit for x in range(size)]
    for name, outline, fill, edge, marks in ICON_PARTS:
        part = [[inside(outline, cx, cy) for cx in centres] for cy in centres]

        def within(x, y):
            return 0 <= x < size and 0 <= y < size and part[y][x]

        def on_edge(x, y):
            return any(not within(x + dx, y + dy)
                       for dx in range(-line, line + 1) for dy in range(-line, line + 1)
                       if abs(dx) + abs(dy) <= line)

        for y in range(size):
            for x in range(size):
                if not part[y][x]:
                    continue
                colour = fill
                for mark_colour, mark in marks:
                    if inside(mark, centres[x], centres[y]):
                        colour = mark_colour
                if name == 'funnel' and on_edge(x - line, y):
                    colour = WHITE
                elif name == 'funnel' and on_edge(x + line, y):
                    colour = GREY
                img[y][x] = edge if on_edge(x, y) else colour
    return img


def doubled(img):
    return [[c for c in row for _ in (0, 1)] for row in img for _ in (0, 1)]


def cropped(img, height):
    """The HEIGHT rows of IMG around what is drawn on its ground."""
    drawn = [y for y, row in enumerate(img) if any(c != img[0][0] for c in row)]
    top = max(0, (drawn[0] + drawn[-1] + 1 - height) // 2)
    return img[top:top + height]


def draw_usage(scale):
    """The question mark for SCALE, on its silver ground."""
    mark = [[ch == '#' for ch in row] for row in USAGE_MARKS[scale].strip().splitlines()]
    size = len(mark)
    assert all(len(row) == size for row in mark), 'the mark must be square'
    img = canvas(size, size, SILVER)
    for y in range(size):
        for x in range(size):
            if mark[y][x]:
                # Black on the neighbouring ground, heavier below and right.
                for dy, dx in ((-1, 0), (0, -1), (1, 0), (0, 1), (1, 1)):
                    if 0 <= y + dy < size and 0 <= x + dx < size:
                        img[y + dy][x + dx] = BLACK
    for y in range(size):
        for x in range(size):
            if mark[y][x]:
                img[y][x] = YELLOW
    return img


def draw_banner(scale):
    """The name and the version in red on black, over a red line."""
    width, height, big, small = BANNERS[scale]
    img = canvas(width, height, BLACK)
    margin = round(10 * width / 389)
    shadow = round(2 * big / 5)
    line_top = height - round(4 * height / 50)
    line_height = max(1, round(big / 5))
    top = (line_top - 7 * big - shadow) // 2
    draw_text(img, margin + shadow, top + shadow, 'Quorvantel', MAROON, big)
    end = draw_text(img, margin, top, 'Quorvantel', RED, big)
    version = 'v1.5'
    version_x = width - margin - text_width(version, small)
    assert version_x > end, 'version would overlap the name'
    draw_text(img, version_x, top + 7 * big - 7 * small, version, RED, small)
    for y in range(line_top, line_top + line_height):
        for x in range(margin, width - margin):
            img[y][x] = RED
    return img


def draw_footer(scale):
    """A credit line in red on black."""
    width, height, line, letter = FOOTERS[scale]
    img = canvas(width, height, BLACK)
    line_width = text_width(line, letter)
    assert line_width <= width - 4, 'credit line is too long for the footer'
    draw_text(img, (width - line_width) // 2, (height - 7 * letter) // 2, line, RED, letter)
    return img


def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)


def pack_4bpp(img):
    """Packs rows bottom-up, two pixels a byte, each row padded to 4 bytes."""
    out = bytearray()
    for row in reversed(img):
        if len(row) % 2:
            row = row + [0]
        line = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
        out += line + b'\0' * (-len(line) % 4)
    return bytes(out)


def pack_rle4(img):
    """Packs rows bottom-up as runs of one colour (BI_RLE4): the large
    drawings are mostly ground, which this keeps to a few bytes a row."""
    out = bytearray()
    for row in reversed(img):
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and row[x + run] == row[x] and run < 255:
                run += 1
            out += bytes((run, row[x] << 4 | row[x]))
            x += run
        out += b'\0\0'  # end of the row
    return bytes(out + b'\0\1')  # end of the bitmap


BI_RGB, BI_RLE4 = 0, 2


def info_header(width, height, image_size, compression=BI_RGB):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, compression,
                       image_size, 2835, 2835, 16, 16)


def write_bmp(name, img, compression=BI_RGB):
    pixels = pack_rle4(img) if compression == BI_RLE4 else pack_4bpp(img)
    offset = 14 + 40 + 16 * 4
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + info_header(len(img[0]), len(img), len(pixels), compression)
                + palette_bytes() + pixels)


def icon_bitmap(art):
    """An icon image as Windows keeps it: 16 colours and a transparency mask."""
    size = len(art)
    colours = [[BLACK if c is None else c for c in row] for row in art]
    xor = pack_4bpp(colours)
    mask = bytearray()  # 1 bit a pixel, set where the icon is transparent
    for row in reversed(art):
        bits = bytearray((size + 31) // 32 * 4)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return (info_header(size, size * 2, len(xor) + len(mask))
            + palette_bytes() + xor + bytes(mask))


def icon_png(art):
    """An icon image as a PNG, as Windows Vista and later keep the 256 one."""
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    rows = b''.join(b'\0' + b''.join(bytes(PALETTE[c]) + b'\xff' if c is not None else
                                     b'\0\0\0\0' for c in row) for row in art)
    size = len(art)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


def write_ico(name):
    images = [(size, icon_png(icon_at(size)) if size == 256 else icon_bitmap(icon_at(size)))
              for size in ICON_SIZES]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        bits = 32 if size == 256 else 4
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, 0 if bits == 32 else 16,
                                 0, 1, bits, len(data), offset)
        offset += len(data)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(directory + b''.join(data for _, data in images))


DRAWERS = {'banner': draw_banner, 'usage': draw_usage, 'footer': draw_footer}


def drawing(kind, scale):
    """The picture KIND drawn for SCALE."""
    if scale == 200:
        return cropped(doubled(DRAWERS[kind](100)), DOUBLED_HEIGHTS[kind])
    return DRAWERS[kind](scale)


def picture_name(kind, scale):
    return kind + ('' if scale == 100 else '_%d' % scale) + '.bmp'


def main():
    write_ico('app.ico')
    # The 100 % pictures stay as they always were; the larger ones are
    # packed.
    for scale in SCALES:
        compression = BI_RGB if scale == 100 else BI_RLE4
        for kind in DRAWERS:
            write_bmp(picture_name(kind, scale), drawing(kind, scale), compression)


if __name__ == '__main__':
    main()
