#!/usr/bin/env python3
"""How sharp the board's grid lines are on a full-screen screenshot of the
empty game screen: along the middles of the board's cells, every screen
pixel shows one of the picture's own pixels under or beside it, except at
most one blended pixel at each edge.

Usage: sharpness.py SCREENSHOT.png WIDTHxHEIGHT PICTURE.bmp (exits 1 when too soft)."""
import subprocess
import sys

CELL = 22
FIRST = 15  # the first cell's left and top edge in the 800 x 600 picture


# Gray levels that count as the same: the screen shows 5-6-5 pixels.
SAME = 8


def gray(path, size):
    return subprocess.run(['convert', path, '-colorspace', 'gray', '-depth', '8', '-resize', size + '!', 'gray:-'],
                          check=True, capture_output=True).stdout


def main():
    shot, size, picture = sys.argv[1], sys.argv[2], sys.argv[3]
    width, height = (int(n) for n in size.split('x'))
    screen = gray(shot, size)
    source = gray(picture, '800x600')
    scale = min(width / 800, height / 600)
    left, top = (width - 800 * scale) / 2, (height - 600 * scale) / 2

    widest = 0
    # Down the middles of cell columns and across the middles of cell rows.
    for k in range(2, 24, 3):
        middle = FIRST + CELL * k + CELL // 2
        strips = [
            [(screen[y * width + int(left + middle * scale)], source[int((y - top) / scale) * 800 + middle], 800)
             for y in range(int(top + 40 * scale), int(top + 560 * scale))],
            [(screen[int(top + middle * scale) * width + x], source[middle * 800 + int((x - left) / scale)], 1)
             for x in range(int(left + 40 * scale), int(left + 560 * scale))],
        ]
        for strip in strips:
            run = 0
            for i, (shown, _, _) in enumerate(strip):
                near = [strip[j][1] for j in range(max(0, i - 1), min(len(strip), i + 2))]
                blended = all(abs(shown - v) > SAME for v in near)
                run = run + 1 if blended else 0
                widest = max(widest, run)
    print(f'sharpness: {size}: the widest blended edge is {widest} pixel(s)')
    return 0 if widest <= 1 else 1


if __name__ == '__main__':
    sys.exit(main())
