#!/usr/bin/env python3
"""Draws the program's icons and bitmaps into src/resources/ (run after changing a drawing;
the results are committed, so the build does not need Python)."""
import os
import sys
from draw import Canvas, rgb, save_ico, save_bmp, save_bmp8

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')

BLUE, DBLUE, LBLUE = rgb('2f6fb5'), rgb('1d4577'), rgb('9cc3ea')
GREEN, DGREEN = rgb('3a9d4a'), rgb('236b2f')
RED, DRED = rgb('d23b30'), rgb('8c1f18')
YELLOW, DYELLOW = rgb('f2c12e'), rgb('a8801a')
GREY, DGREY, LGREY = rgb('8a8f96'), rgb('4d5157'), rgb('d9dce0')
WHITE, BLACK = rgb('ffffff'), rgb('202326')


def sheet(c, x, y, w, h, fill=WHITE, edge=DGREY):
    """A sheet of paper with a folded corner."""
    f = w * 0.3
    c.polygon([(x, y), (x + w - f, y), (x + w, y + f), (x + w, y + h), (x, y + h)], edge)
    c.polygon([(x + 1, y + 1), (x + w - f, y + 1), (x + w - 1, y + f), (x + w - 1, y + h - 1), (x + 1, y + h - 1)], fill)
    c.polygon([(x + w - f, y), (x + w - f, y + f), (x + w, y + f)], LGREY)


def program_icon():
    """The editor: a queue of jobs (stacked bars) with a pencil."""
    c = Canvas(32, 32)
    c.round_rect(1, 2, 30, 28, 4, DBLUE)
    c.round_rect(2, 3, 28, 26, 3, BLUE)
    for i, col in enumerate((WHITE, LBLUE, WHITE)):
        c.round_rect(5, 7 + i * 6, 16, 4, 1.5, col)
    c.line(27, 9, 16, 24, 4.2, DYELLOW)
    c.line(27, 9, 16, 24, 2.6, YELLOW)
    c.polygon([(14.2, 22.5), (17.6, 25.4), (13, 27)], BLACK)
    return c


def no_processes_icon():
    c = Canvas(32, 32)
    sheet(c, 8, 4, 16, 22)
    c.ring(16, 17, 12, 3, RED)
    c.line(8, 9, 24, 25, 3, RED)
    return c


def parallel_icon():
    c = Canvas(32, 32)
    for y in (7, 16, 25):
        c.arrow(3, y, 29, y, 3, 7, GREEN)
    return c


def series_icon():
    c = Canvas(32, 32)
    for x in (1, 12, 23):
        c.round_rect(x, 11, 8, 10, 1.5, DBLUE)
        c.round_rect(x + 1, 12, 6, 8, 1, LBLUE)
    c.arrow(9, 16, 12.5, 16, 2, 3.5, DGREEN)
    c.arrow(20, 16, 23.5, 16, 2, 3.5, DGREEN)
    return c


def folder(c, x, y, w, h):
    c.polygon([(x, y + 3), (x + w * 0.4, y + 3), (x + w * 0.48, y), (x + w * 0.9, y), (x + w * 0.9, y + 3),
               (x + w, y + 3), (x + w, y + h), (x, y + h)], DYELLOW)
    c.rect(x + 1, y + 5, w - 2, h - 6, YELLOW)


def move_jobs_icon():
    c = Canvas(32, 32)
    folder(c, 2, 10, 24, 18)
    c.arrow(14, 6, 29, 6, 3.5, 7, GREEN)
    c.line(14, 6, 14, 17, 3.5, GREEN)
    return c


def delete_jobs_icon():
    c = Canvas(32, 32)
    sheet(c, 6, 2, 18, 24)
    c.line(12, 14, 28, 30, 4, RED)
    c.line(28, 14, 12, 30, 4, RED)
    return c


def recycle_icon():
    c = Canvas(32, 32)
    c.polygon([(6, 9), (26, 9), (23.5, 30), (8.5, 30)], DGREY)
    c.polygon([(7.5, 10), (24.5, 10), (22.5, 29), (9.5, 29)], LGREY)
    for x in (12, 16, 20):
        c.line(x, 13, x, 26, 1.6, GREY)
    c.round_rect(4, 5, 24, 4, 1.5, DGREY)
    c.round_rect(12, 2, 8, 4, 1.5, DGREY)
    c.arrow(10, 20, 22, 20, 2.2, 4, GREEN)
    return c


ICONS = {
    'program.ico': program_icon,
    'noprocs.ico': no_processes_icon,
    'parallel.ico': parallel_icon,
    'series.ico': series_icon,
    'movejobs.ico': move_jobs_icon,
    'deljobs.ico': delete_jobs_icon,
    'recycle.ico': recycle_icon,
}


def main(names):
    for name, fn in ICONS.items():
        if names and name not in names:
            continue
        save_ico(os.path.join(OUT, name), fn())
        print('wrote', name)


if __name__ == '__main__':
    main(sys.argv[1:])
