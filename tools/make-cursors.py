#!/usr/bin/env python3
"""Writes the library's own monochrome 32x32 cursors into resources/: the
bar manager's (bars/), the editors' wheel cursor (editors/) and the vertical
grid's row-dragging cursors (grid/).

Each picture is drawn in characters: '#' black, '.' white, ' ' transparent.
Run it again after changing a picture and commit what it writes.
"""
import os
import struct
import sys

ARROW = [
    "#",
    "##",
    "#.#",
    "#..#",
    "#...#",
    "#....#",
    "#.....#",
    "#......#",
    "#.......#",
    "#........#",
    "#.....#####",
    "#..#..#",
    "#.# #..#",
    "##  #..#",
    "#    #..#",
    "     #..#",
    "      ##",
]

# The box under the arrow that stands for the dragged item.
BOX = [
    "#########",
    "#.......#",
    "#.......#",
    "#.......#",
    "#.......#",
    "#########",
]

BOX_PLUS = [
    "#########",
    "#...#...#",
    "#...#...#",
    "#.#####.#",
    "#...#...#",
    "#...#...#",
    "#########",
]

NO_DROP = [
    "    #####    ",
    "  ##.....##  ",
    " #...###...# ",
    " #.##   ##.# ",
    "#..#    #..#",
    "#.#    #.#.#",
    "#.#   #.# .#",
    "#.#  #.#  .#",
    "#.# #.#  #.#",
    "#..#.#  #..#",
    " #.##  ##.# ",
    " #...###...# ",
    "  ##.....##  ",
    "    #####    ",
]

# A mouse with its wheel between an up and a down arrow: an editor that
# scrolls its value with the wheel.
MOUSE_WHEEL = [
    "      #      ",
    "     #.#     ",
    "    #...#    ",
    "   #######   ",
    "             ",
    "  #########  ",
    " #....#....# ",
    " #...###...# ",
    " #...#.#...# ",
    " #...#.#...# ",
    " #...###...# ",
    " #....#....# ",
    " ########### ",
    " #.........# ",
    " #.........# ",
    " #.........# ",
    "  #.......#  ",
    "   #######   ",
    "             ",
    "   #######   ",
    "    #...#    ",
    "     #.#     ",
    "      #      ",
]

# A horizontal double arrow through a vertical bar: the edit's width handle.
EDIT_SIZING = [
    "       ###       ",
    "       #.#       ",
    "   #   #.#   #   ",
    "  ##   #.#   ##  ",
    " #.#####.#####.# ",
    "#...............#",
    " #.#####.#####.# ",
    "  ##   #.#   ##  ",
    "   #   #.#   #   ",
    "       #.#       ",
    "       ###       ",
]


# The grid's row drags: a row dropped between two rows (an insertion bar
# with its two end marks), onto a row's caption as its child (a box hung
# below and right of a line), added (the box with a plus), hidden in the
# customization form (the box crossed out) and refused (the no-drop sign).
INSERT_BAR = [
    "#            #",
    "##          ##",
    "#.##########.#",
    "#............#",
    "#.##########.#",
    "##          ##",
    "#            #",
]

CHILD_LINK = [
    "#  ",
    "#  ",
    "#  ",
    "###",
]

BOX_CROSS = [
    "#########",
    "##.....##",
    "#.#...#.#",
    "#..#.#..#",
    "#...#...#",
    "#..#.#..#",
    "#.#...#.#",
    "##.....##",
    "#########",
]


def compose(*layers):
    """Layers of (picture, x, y); later layers cover earlier ones."""
    grid = [[" "] * 32 for _ in range(32)]
    for picture, ox, oy in layers:
        for y, row in enumerate(picture):
            for x, c in enumerate(row):
                if c != " ":
                    grid[oy + y][ox + x] = c
    return grid


def image_bytes(grid):
    # XOR mask: 1 = white; AND mask: 1 = transparent. Rows bottom-up, each
    # 32 bits wide.
    xor_rows, and_rows = [], []
    for row in reversed(grid):
        xor_bits = and_bits = 0
        for x, c in enumerate(row):
            bit = 1 << (31 - x)
            if c == ".":
                xor_bits |= bit
            if c == " ":
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def cursor_file(grid, hotspot):
    # A .cur file: the directory header, one entry with the hot spot, then
    # the image (a DIB whose height counts both masks).
    image = image_bytes(grid)
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, hotspot[0], hotspot[1],
                        len(image), 6 + 16)
    return header + entry + image


# Folder, file name, picture and hot spot.
CURSORS = [
    ("editors", "mousewheel", compose((MOUSE_WHEEL, 9, 4)), (15, 15)),
    ("bars", "drag", compose((ARROW, 0, 0), (BOX, 4, 19)), (0, 0)),
    ("bars", "dragcopy", compose((ARROW, 0, 0), (BOX_PLUS, 4, 18)), (0, 0)),
    ("bars", "nodrop", compose((NO_DROP, 9, 9)), (15, 15)),
    ("bars", "editsizing", compose((EDIT_SIZING, 8, 10)), (16, 15)),
    ("grid", "insert", compose((ARROW, 0, 0), (INSERT_BAR, 2, 18)), (0, 0)),
    ("grid", "addchild",
     compose((ARROW, 0, 0), (CHILD_LINK, 3, 18), (BOX, 6, 19)), (0, 0)),
    ("grid", "add", compose((ARROW, 0, 0), (BOX_PLUS, 4, 18)), (0, 0)),
    ("grid", "hide", compose((ARROW, 0, 0), (BOX_CROSS, 4, 18)), (0, 0)),
    ("grid", "nodrag", compose((NO_DROP, 9, 9)), (15, 15)),
]


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "resources")
    for folder, name, grid, hotspot in CURSORS:
        os.makedirs(os.path.join(root, folder), exist_ok=True)
        with open(os.path.join(root, folder, name + ".cur"), "wb") as f:
            f.write(cursor_file(grid, hotspot))


if __name__ == "__main__":
    main()
