#!/usr/bin/env python3
"""Draws the program's icons and bitmaps into src/resources/, and the demo installation's profile
pictures into demo/Profile/Editor/ (run after changing a drawing; the results are committed, so
the build does not need Python).

    make_art.py [NAME...]            draw everything, or only the files named
    make_art.py --preview DIR        also write PNG contact sheets into DIR to look at"""
import math
import os
import sys
from draw import Canvas, rgb, arc, text_width, save_ico, save_bmp, save_bmp8, save_png, sheet_of

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..')
DEMO_DIR = os.path.join(HERE, '..', '..', '..', 'demo', 'Profile', 'Editor')

BLUE, DBLUE, LBLUE = rgb('2f6fb5'), rgb('1d4577'), rgb('9cc3ea')
GREEN, DGREEN = rgb('3a9d4a'), rgb('236b2f')
RED, DRED = rgb('d23b30'), rgb('8c1f18')
YELLOW, DYELLOW = rgb('f2c12e'), rgb('a8801a')
GREY, DGREY, LGREY = rgb('8a8f96'), rgb('4d5157'), rgb('d9dce0')
WHITE, BLACK = rgb('ffffff'), rgb('202326')
TEAL, DTEAL, LTEAL = rgb('1f9a8f'), rgb('11635c'), rgb('a6e3dc')
BROWN, DBROWN = rgb('b07a45'), rgb('7a5028')
NAVY = rgb('14305a')


# Every icon is drawn on a grid of 32 units, once for each size in ICON_SIZES, so that it is as
# sharp at 48 and 64 pixels (screens of 144 and 192 dots per inch) as at 32; the 16-pixel image is
# the 32-pixel one box-filtered.
ICON_SIZES = (32, 48, 64)
_icon_scale = 1


def icon_canvas():
    """The drawing surface of the icon being drawn: 32 x 32 units at the size being drawn."""
    return Canvas(32, 32, scale=_icon_scale)


def draw_icon(fn):
    """The images of one icon, one for each size in ICON_SIZES."""
    global _icon_scale
    images = []
    for size in ICON_SIZES:
        _icon_scale = size / 32
        images.append(fn())
    _icon_scale = 1
    return images


def sheet(c, x, y, w, h, fill=WHITE, edge=DGREY):
    """A sheet of paper with a folded corner."""
    f = w * 0.3
    c.polygon([(x, y), (x + w - f, y), (x + w, y + f), (x + w, y + h), (x, y + h)], edge)
    c.polygon([(x + 1, y + 1), (x + w - f, y + 1), (x + w - 1, y + f), (x + w - 1, y + h - 1), (x + 1, y + h - 1)], fill)
    c.polygon([(x + w - f, y), (x + w - f, y + f), (x + w, y + f)], LGREY)


def program_icon():
    """The editor: a queue of jobs (stacked bars) with a pencil."""
    c = icon_canvas()
    c.round_rect(1, 2, 30, 28, 4, DBLUE)
    c.round_rect(2, 3, 28, 26, 3, BLUE)
    for i, col in enumerate((WHITE, LBLUE, WHITE)):
        c.round_rect(5, 7 + i * 6, 16, 4, 1.5, col)
    c.line(27, 9, 16, 24, 4.2, DYELLOW)
    c.line(27, 9, 16, 24, 2.6, YELLOW)
    c.polygon([(14.2, 22.5), (17.6, 25.4), (13, 27)], BLACK)
    return c


def no_processes_icon():
    c = icon_canvas()
    sheet(c, 8, 4, 16, 22)
    c.ring(16, 17, 12, 3, RED)
    c.line(8, 9, 24, 25, 3, RED)
    return c


def parallel_icon():
    c = icon_canvas()
    for y in (7, 16, 25):
        c.arrow(3, y, 29, y, 3, 7, GREEN)
    return c


def series_icon():
    c = icon_canvas()
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
    c = icon_canvas()
    folder(c, 2, 10, 24, 18)
    c.arrow(14, 6, 29, 6, 3.5, 7, GREEN)
    c.line(14, 6, 14, 17, 3.5, GREEN)
    return c


def delete_jobs_icon():
    c = icon_canvas()
    sheet(c, 6, 2, 18, 24)
    c.line(12, 14, 28, 30, 4, RED)
    c.line(28, 14, 12, 30, 4, RED)
    return c


def recycle_icon():
    c = icon_canvas()
    c.polygon([(6, 9), (26, 9), (23.5, 30), (8.5, 30)], DGREY)
    c.polygon([(7.5, 10), (24.5, 10), (22.5, 29), (9.5, 29)], LGREY)
    for x in (12, 16, 20):
        c.line(x, 13, x, 26, 1.6, GREY)
    c.round_rect(4, 5, 24, 4, 1.5, DGREY)
    c.round_rect(12, 2, 8, 4, 1.5, DGREY)
    c.arrow(10, 20, 22, 20, 2.2, 4, GREEN)
    return c


def gear(c, cx, cy, r, teeth, colour, hub):
    """A cog wheel: teeth around a disc, with a hole in the hub colour."""
    pts = []
    for i in range(teeth):
        a = 2 * math.pi * i / teeth
        w = math.pi / teeth
        for da, rr in ((-w * 0.95, r * 0.78), (-w * 0.45, r), (w * 0.45, r), (w * 0.95, r * 0.78)):
            pts.append((cx + rr * math.cos(a + da), cy + rr * math.sin(a + da)))
    c.polygon(pts, colour)
    c.ellipse(cx, cy, r * 0.32, r * 0.32, hub)


def processes_icon():
    """A queue's processes: a large and a small cog."""
    c = icon_canvas()
    gear(c, 12.5, 13, 11, 8, DBLUE, WHITE)
    gear(c, 12.5, 13, 9.5, 8, BLUE, WHITE)
    gear(c, 24, 24, 7, 6, DGREEN, WHITE)
    gear(c, 24, 24, 5.8, 6, GREEN, WHITE)
    return c


def parameters_icon():
    """Process parameters: three sliders."""
    c = icon_canvas()
    for y, knob in ((7, 20), (16, 9), (25, 16)):
        c.line(4, y, 28, y, 2.4, DGREY)
        c.round_rect(knob - 3.5, y - 5, 7, 10, 2, DBLUE)
        c.round_rect(knob - 2.5, y - 4, 5, 8, 1.5, LBLUE)
    return c


def param_file_icon():
    """A parameter file: a sheet of "key = value" lines."""
    c = icon_canvas()
    sheet(c, 5, 1, 21, 28)
    for i, (k, v) in enumerate(((5, 7), (7, 5), (4, 8), (6, 6), (5, 4))):
        y = 8 + i * 4
        c.rect(8, y, k, 2, DBLUE)
        c.rect(8 + k + 1, y, 2, 2, DGREY)
        c.rect(8 + k + 4, y, v, 2, GREY)
    gear(c, 25, 25, 6.5, 6, DGREEN, WHITE)
    gear(c, 25, 25, 5.2, 6, GREEN, WHITE)
    return c


def identity_icon():
    """A queue's identity: a name badge."""
    c = icon_canvas()
    c.round_rect(1, 6, 30, 21, 3, DGREY)
    c.round_rect(2, 7, 28, 19, 2, WHITE)
    c.rect(2, 7, 28, 5, BLUE)
    c.round_rect(13, 3, 6, 6, 1.5, DGREY)
    c.ellipse(9.5, 16, 3, 3, DBLUE)
    c.polygon([(4, 24.5), (5.5, 20.5), (13.5, 20.5), (15, 24.5)], DBLUE)
    for y, w in ((15, 11), (19, 9), (23, 10)):
        c.rect(17, y, w, 2, GREY)
    return c


def job_settings_icon():
    """A queue's job settings: a clipboard with ticked lines."""
    c = icon_canvas()
    c.round_rect(4, 3, 24, 28, 3, DBROWN)
    c.round_rect(5, 4, 22, 26, 2, BROWN)
    c.rect(8, 7, 16, 21, WHITE)
    c.round_rect(11, 1, 10, 5, 1.5, DGREY)
    for y in (11, 17, 23):
        c.polyline([(9.5, y), (11.5, y + 2.2), (14.5, y - 2)], 1.8, DGREEN)
        c.rect(16, y - 1, 6, 2, GREY)
    return c


def file_names_icon():
    """How file names are read: the four separations of one job, fanned out, each in its colour."""
    c = icon_canvas()
    for i, col in enumerate((rgb('00a0e0'), rgb('e0007a'), rgb('f5d000'), BLACK)):
        x, y = 1 + i * 5, 1 + i * 3.5
        sheet(c, x, y, 15, 20)
        c.rect(x + 1, y + 1, 4, 18, col)
    for k in range(4):
        c.rect(22, 17 + k * 3, 7 - (k % 2) * 2, 1.6, GREY)
    return c


def timeout_icon():
    """A time-out: a stopwatch."""
    c = icon_canvas()
    c.round_rect(13, 1, 6, 4, 1, DGREY)
    c.line(16, 4, 16, 7, 3, DGREY)
    c.line(25, 7, 27.5, 4.5, 3, DGREY)
    c.ellipse(16, 18, 13, 13, DGREY)
    c.ellipse(16, 18, 11, 11, WHITE)
    for i in range(12):
        a = math.radians(i * 30)
        c.line(16 + 8.5 * math.cos(a), 18 + 8.5 * math.sin(a), 16 + 10 * math.cos(a), 18 + 10 * math.sin(a), 1.2, GREY)
    c.polygon([(16, 18)] + arc(16, 18, 9, 9, -90, 0, 10), rgb('f3b6b1'))
    c.line(16, 18, 16, 10, 2, BLACK)
    c.line(16, 18, 23, 18, 2, RED)
    c.ellipse(16, 18, 1.8, 1.8, BLACK)
    return c


def process_anyway_icon():
    """Waiting jobs are processed anyway: jobs with a green go sign."""
    c = icon_canvas()
    sheet(c, 2, 6, 14, 18, LGREY)
    sheet(c, 5, 3, 14, 18)
    c.ellipse(21, 21, 10, 10, DGREEN)
    c.ellipse(21, 21, 8.8, 8.8, GREEN)
    c.polygon([(18, 15.5), (27, 21), (18, 26.5)], WHITE)
    return c


def viewer_icon():
    """The spooler's viewer: a screen showing a queue."""
    c = icon_canvas()
    c.round_rect(1, 3, 30, 21, 2.5, DGREY)
    c.rect(3, 5, 26, 17, BLUE)
    for i, w in enumerate((18, 13, 16)):
        c.round_rect(6, 7.5 + i * 4.5, w, 3, 1, WHITE if i != 1 else LBLUE)
    c.polygon([(12, 24), (20, 24), (22, 29), (10, 29)], GREY)
    c.round_rect(7, 28, 18, 3, 1, DGREY)
    return c


def load_balancer_icon():
    """The load balancer: one stream of jobs shared out to three queues."""
    c = icon_canvas()
    c.line(2, 16, 10, 16, 3, DGREEN)
    c.ellipse(11, 16, 3.5, 3.5, DGREEN)
    for y in (6, 16, 26):
        c.arrow(12, 16, 21, y, 2.4, 5, GREEN)
        c.round_rect(22, y - 3.5, 9, 7, 1.5, DBLUE)
        c.round_rect(23, y - 2.5, 7, 5, 1, LBLUE)
    return c


def demo_editor_icon():
    """The demo installation's own editor icon: the program icon in its house colours."""
    c = icon_canvas()
    c.round_rect(1, 2, 30, 28, 4, DTEAL)
    c.round_rect(2, 3, 28, 26, 3, TEAL)
    for i, col in enumerate((WHITE, LTEAL, WHITE)):
        c.round_rect(5, 7 + i * 6, 16, 4, 1.5, col)
    c.line(27, 9, 16, 24, 4.2, DYELLOW)
    c.line(27, 9, 16, 24, 2.6, YELLOW)
    c.polygon([(14.2, 22.5), (17.6, 25.4), (13, 27)], BLACK)
    return c


ICONS = {
    'program.ico': program_icon,
    'noprocs.ico': no_processes_icon,
    'parallel.ico': parallel_icon,
    'series.ico': series_icon,
    'movejobs.ico': move_jobs_icon,
    'deljobs.ico': delete_jobs_icon,
    'recycle.ico': recycle_icon,
    'processes.ico': processes_icon,
    'params.ico': parameters_icon,
    'paramfile.ico': param_file_icon,
    'identity.ico': identity_icon,
    'jobsettings.ico': job_settings_icon,
    'timeout.ico': timeout_icon,
    'filenames.ico': file_names_icon,
    'anyway.ico': process_anyway_icon,
    'viewer.ico': viewer_icon,
    'loadbal.ico': load_balancer_icon,
}


# ---- banners (24-bit) and the demo splash (8-bit) ----------------------------------------

BANNER_W, BANNER_H = 240, 40


def banner_base():
    c = Canvas(BANNER_W, BANNER_H)
    c.vgradient(0, 0, BANNER_W, BANNER_H, rgb('2a62a6'), rgb('9cc3ea'))
    return c


def tray(c, x, y, w, h):
    """An output queue: a tray holding a sheet."""
    c.round_rect(x, y, w, h, 2, DBLUE)
    c.round_rect(x + 1.5, y + 1.5, w - 3, h - 3, 1.5, WHITE)
    c.rect(x + 4, y + 4, w - 8, 1.5, LBLUE)
    c.rect(x + 4, y + 7, w - 12, 1.5, LBLUE)


def printer(c, x, y, s=1.0):
    """A small printer, about 30 x 26 pixels at scale 1."""
    c.rect(x + 7 * s, y, 16 * s, 8 * s, WHITE)
    c.round_rect(x, y + 7 * s, 30 * s, 13 * s, 2.5 * s, DGREY)
    c.round_rect(x + 1.5 * s, y + 8.5 * s, 27 * s, 10 * s, 2 * s, LGREY)
    c.ellipse(x + 25 * s, y + 11.5 * s, 1.3 * s, 1.3 * s, GREEN)
    c.rect(x + 6 * s, y + 18 * s, 18 * s, 8 * s, WHITE)
    c.rect(x + 8 * s, y + 21 * s, 12 * s, 1.2 * s, GREY)


def balance_banner():
    """Input queue editor: jobs arriving in one hot folder are shared out to output queues."""
    c = banner_base()
    folder(c, 10, 9, 30, 23)
    sheet(c, 17, 4, 13, 17)
    c.arrow(44, 20, 74, 20, 4, 9, DGREEN)
    c.ellipse(80, 20, 6, 6, DGREEN)
    c.ellipse(80, 20, 4.5, 4.5, GREEN)
    for i, y in enumerate((7, 20, 33)):
        c.arrow(85, 20, 128, y, 3, 8, WHITE)
        tray(c, 131, y - 6, 22, 12)
    for x in (172, 206):
        printer(c, x, 6, 1.0)
    return c


def queue_banner():
    """Queues: jobs travel along a queue to the printer."""
    c = banner_base()
    c.rect(8, 30, 176, 3, DBLUE)
    for i in range(5):
        sheet(c, 14 + i * 32, 7 + (i % 2) * 2, 16, 21)
        c.rect(18 + i * 32, 15 + (i % 2) * 2, 8, 1.5, LBLUE)
        c.rect(18 + i * 32, 19 + (i % 2) * 2, 6, 1.5, LBLUE)
    c.arrow(170, 20, 192, 20, 3, 7, DGREEN)
    printer(c, 200, 8, 1.05)
    return c


def cleanup_banner():
    """Clean-up: finished jobs go to the done folder or the recycle bin."""
    c = banner_base()
    printer(c, 10, 8, 1.05)
    c.arrow(48, 20, 78, 20, 3, 7, DGREEN)
    for i in range(3):
        sheet(c, 86 + i * 8, 8 + i * 2, 14, 18)
    c.arrow(120, 14, 160, 10, 2.6, 7, WHITE)
    c.arrow(120, 26, 160, 30, 2.6, 7, WHITE)
    folder(c, 166, 1, 24, 18)
    c.polygon([(200, 24), (222, 24), (220, 39), (202, 39)], DGREY)
    c.polygon([(201.5, 25), (220.5, 25), (218.8, 38), (203.2, 38)], LGREY)
    c.round_rect(198, 21, 26, 3.5, 1.5, DGREY)
    return c


def demo_splash():
    """The demo installation's splash picture."""
    w, h = 400, 240
    c = Canvas(w, h)
    c.vgradient(0, 0, w, h, rgb('0d2545'), rgb('2f6fb5'))
    c.rect(0, 196, w, 44, rgb('0b1d36'))
    # a hot folder, jobs queued along a line, the printer at its end
    folder(c, 222, 64, 44, 34)
    for i in range(3):
        sheet(c, 276 + i * 14, 72 - i * 3, 14, 19)
    c.arrow(318, 84, 336, 84, 3, 7, rgb('7fd18b'))
    printer(c, 340, 64, 1.7)
    for i, (x, col) in enumerate(((226, LBLUE), (258, WHITE), (290, LBLUE), (322, WHITE), (354, LBLUE))):
        c.round_rect(x, 126, 26, 8, 2, col)
        c.round_rect(x, 140, 26 - (i % 2) * 8, 8, 2, col)
    c.text(24, 30, 'OSTRA', 30, 3.6, WHITE, 1.8)
    c.text(24, 74, 'OUTPUT', 15, 2.2, WHITE)
    c.text(24, 98, 'CONTROLLER', 15, 2.2, WHITE)
    c.rect(24, 128, 176, 2, rgb('7fd18b'))
    c.text(24, 142, 'CONFIGURATION EDITOR', 9, 1.5, LBLUE)
    c.text(24, 212, 'QUEUES - APPLICATIONS - PREFERENCES', 7, 1.2, rgb('9cc3ea'))
    for x, y, ww, hh in ((0, 0, w, 1), (0, h - 1, w, 1), (0, 0, 1, h), (w - 1, 0, 1, h)):
        c.rect(x, y, ww, hh, rgb('5b8fd0'))      # the window has no border of its own
    return c


BITMAPS = {
    'queuebanner.bmp': queue_banner,
    'cleanupbanner.bmp': cleanup_banner,
    'balancebanner.bmp': balance_banner,
}
def demo_plate_icon():
    """A printing plate for the demo's plate-setter queue: a blue-grey aluminium plate with
    punched register holes and an imaged area."""
    c = icon_canvas()
    c.polygon([(4, 8), (24, 4), (28, 24), (8, 28)], DGREY)
    c.polygon([(5.2, 8.8), (23.3, 5.2), (26.8, 23.2), (8.7, 26.8)], LBLUE)
    c.polygon([(9, 12), (21, 9.6), (23.2, 20.5), (11.2, 22.9)], BLUE)
    for x, y in ((12.4, 15.2), (18.8, 13.9)):
        c.ellipse(x, y, 2.2, 2.2, WHITE)
    c.ellipse(8.3, 9.5, 1.1, 1.1, DGREY)
    c.ellipse(24.3, 23.5, 1.1, 1.1, DGREY)
    return c


def demo_app_icon():
    """The demo installation's stand-in application (every program of its queues): the four
    process colours on a purple tile."""
    c = icon_canvas()
    c.round_rect(3, 3, 26, 26, 3.5, rgb('5b3a8c'))
    c.round_rect(5, 5, 22, 22, 1.5, rgb('8e6cc4'))
    for (x, y), col in zip(((11, 11), (21, 11), (11, 21), (21, 21)),
                           (rgb('00aeef'), rgb('ec008c'), rgb('fff200'), rgb('202020'))):
        c.ellipse(x, y, 4, 4, col)
    return c


DEMO = {
    '../../tools/demoapp.ico': demo_app_icon,
    '../../Icons/plate.ico': demo_plate_icon,
    'EditorSplash.bmp': demo_splash,
    'Editor.ico': demo_editor_icon,
    '../Viewer/Viewer.ico': viewer_icon,
    '../LoadBal/LoadBal.ico': load_balancer_icon,
}


def main(args):
    preview = None
    if args[:1] == ['--preview']:
        preview, args = args[1], args[2:]
        os.makedirs(preview, exist_ok=True)
    drawn = {}
    for table, folder_path in ((ICONS, OUT), (BITMAPS, OUT), (DEMO, DEMO_DIR)):
        for name, fn in table.items():
            if args and name not in args:
                continue
            pic = drawn[name] = draw_icon(fn) if name.endswith('.ico') else fn()
            path = os.path.join(folder_path, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            if name.endswith('.ico'):
                save_ico(path, pic)
            elif name.endswith('Splash.bmp'):
                save_bmp8(path, pic)
            else:
                save_bmp(path, pic)
            print('wrote', os.path.relpath(path))
    if preview:
        icons = [p for n, p in drawn.items() if n.endswith('.ico')]
        if icons:
            save_png(os.path.join(preview, 'icons-x4.png'), sheet_of([i[0] for i in icons], 8), 4)
            every = [i[0].scaled(16, 16) for i in icons] + [img for k in range(len(ICON_SIZES)) for img in
                                                          (i[k] for i in icons)]
            save_png(os.path.join(preview, 'icons-x1.png'), sheet_of(every, len(icons)))
        wide = [p for n, p in drawn.items() if n.endswith('.bmp')]
        for i, pic in enumerate(wide):
            save_png(os.path.join(preview, 'bitmap%d.png' % i), pic, 2 if pic.w < 300 else 1)


if __name__ == '__main__':
    main(sys.argv[1:])
