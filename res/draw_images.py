#!/usr/bin/env python3
# Quorvantel's four images (app.ico, banner.bmp, usage.bmp, footer.bmp) are
# drawn from code so anyone can redraw or change them without an image editor:
#     python3 res/draw_images.py
# Only the Python standard library is used. Every file is 16 colours (4 bits
# per pixel) with the standard VGA palette, and is written next to this script.
import os
import struct

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

# The program icon: a red page dropping into a grey funnel over a glass flask.
ICON_ART = """
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

# The usage button: a yellow question mark ('#'), outlined in black on silver.
USAGE_MARK = """
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
"""


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


def info_header(width, height, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0,
                       image_size, 2835, 2835, 16, 16)


def write_bmp(name, img):
    pixels = pack_4bpp(img)
    offset = 14 + 40 + 16 * 4
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + info_header(len(img[0]), len(img), len(pixels))
                + palette_bytes() + pixels)


def write_ico(name, art):
    size = len(art)
    assert all(len(row) == size for row in art), 'icon art must be square'
    colours = [[BLACK if c is None else c for c in row] for row in art]
    xor = pack_4bpp(colours)
    mask = bytearray()  # 1 bit a pixel, set where the icon is transparent
    for row in reversed(art):
        bits = bytearray((size + 31) // 32 * 4)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    image = (info_header(size, size * 2, len(xor) + len(mask))
             + palette_bytes() + xor + bytes(mask))
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack(
        '<BBBBHHII', size % 256, size % 256, 16, 0, 1, 4, len(image), 6 + 16)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(directory + image)


def draw_banner():
    img = canvas(389, 50, BLACK)
    big, small = 5, 3
    name_x, version = 10, 'v1.5'
    top = 4
    draw_text(img, name_x + 2, top + 2, 'Quorvantel', MAROON, big)  # shadow
    end = draw_text(img, name_x, top, 'Quorvantel', RED, big)
    version_x = 389 - 10 - text_width(version, small)
    assert version_x > end, 'version would overlap the name'
    draw_text(img, version_x, top + 7 * big - 7 * small, version, RED, small)
    for x in range(name_x, 389 - 10):
        img[46][x] = RED
    return img


def draw_usage():
    mark = [[ch == '#' for ch in row] for row in USAGE_MARK.strip().splitlines()]
    assert len(mark) == 16 and all(len(row) == 16 for row in mark)
    img = canvas(16, 16, SILVER)
    for y in range(16):
        for x in range(16):
            if mark[y][x]:
                # Black on the neighbouring ground, heavier below and right.
                for dy, dx in ((-1, 0), (0, -1), (1, 0), (0, 1), (1, 1)):
                    if 0 <= y + dy < 16 and 0 <= x + dx < 16:
                        img[y + dy][x + dx] = BLACK
    for y in range(16):
        for x in range(16):
            if mark[y][x]:
                img[y][x] = YELLOW
    return img


def draw_footer():
    img = canvas(387, 25, BLACK)
    line = 'Quorvantel 1.5 - a front end for the HELPDECO WinHelp decompiler'
    width = text_width(line, 1)
    assert width <= 387 - 4, 'credit line is too long for the footer'
    draw_text(img, (387 - width) // 2, 9, line, RED)
    return img


def main():
    write_ico('app.ico', from_art(ICON_ART))
    write_bmp('banner.bmp', draw_banner())
    write_bmp('usage.bmp', draw_usage())
    write_bmp('footer.bmp', draw_footer())


if __name__ == '__main__':
    main()
