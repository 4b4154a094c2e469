#!/usr/bin/env python3
"""Measures Editor.exe against its floors on one installation, under the Wine set up by
scripts/bench.sh (one prefix, one display, one wineserver for the whole run). Every measure is
paired: the editor and its floor run in turns (the order swapped every run), after a warm-up.
Absolute times on a shared machine are noise; the ratios of the medians are the result.

  -update            Editor.exe -update HOME  against  BenchCopy HOME (the same file input and output)
  -check             Editor.exe -check HOME  against  Editor.exe -update HOME: reading and every check
                     against reading and writing; it must write nothing
  start              Editor.exe in HOME\\System to its main dialog shown and painted, closed with
                     Cancel  against  BenchEmptyDialog (an empty one-button dialog)
  move               in that started editor, the first output queue moved down (the list filled
                     again) until the dialog is painted again: no floor, at most 100 ms shows no
                     delay
  -report            Editor.exe -report HOME FILE  against  Editor.exe -update HOME: the report of
                     the whole installation in at most 1.5 times the time of reading and writing
                     it; and the report's size, below 5 MB
  peak memory        the largest resident set (peak working set) of the two -update runs; and
                     how much the editor's grows from an empty installation to this one, against
                     the bound: one copy of the installation's largest file
  undo history       the bytes the history of edits keeps for 100 steps of the commands that
                     change most (BenchUndo), against its limit of 8 MiB; the steps undone must
                     give back the configuration loaded

usage: bench.py BUILD HOME HOME_WINDOWS_PATH [--runs N] [--warmup N]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

WINE = '/usr/lib/wine/wine64'
EDITOR_CLASS = 'ConfigDlgClass{ECB00F06-6A37-4bce-AA7B-9120BB152E4F}'
RESOURCE_H = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'src', 'resources', 'resource.h')
STORED = ('Queues.cfg', 'Applications.cfg', 'LBPrefs.cfg', 'Preferences.cfg', 'queue/engine.q', 'state/queues.sta')
TARGETS = {'-update': 1.5, 'start': 1.2, '-check': 1.2, '-report': 1.5}
REPORT_LIMIT = 5 * 10 ** 6


def run_timed(argv, cwd):
    """Runs a program to its end: (milliseconds, peak resident set in KiB, exit code)."""
    t0 = time.perf_counter()
    p = subprocess.Popen(argv, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(p.pid, 0)
    ms = (time.perf_counter() - t0) * 1000.0
    p.returncode = os.waitstatus_to_exitcode(status)
    return ms, usage.ru_maxrss, p.returncode


def resource_id(name):
    with open(RESOURCE_H) as f:
        for line in f:
            words = line.split()
            if len(words) >= 3 and words[0] == '#define' and words[1] == name:
                return words[2]
    sys.exit('bench: no %s in %s' % (name, RESOURCE_H))


def run_start(watch, cls, program, cwd, move=()):
    """The start of a dialog program to its painted dialog, timed from inside Wine (ms); with
    move (list id, button id) also the command's time to the repaint: a list of the times."""
    argv = [WINE, watch] + (['--move', move[0], move[1]] if move else []) + [cls, program]
    out = subprocess.run(argv, cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if out.returncode != 0:
        sys.exit('bench: %s did not show a painted dialog: %s' % (program, out.stderr.strip()))
    return [float(x) for x in out.stdout.split()]


def stored_files(home):
    files = {}
    for rel in STORED:
        with open(os.path.join(home, rel), 'rb') as f:
            files[rel] = f.read()
    return files


def summary(name, editor, floor, unit, target=None):
    me, mf = statistics.median(editor), statistics.median(floor)
    ratio = me / mf
    verdict = '' if target is None else ('  (target %.1f: %s)' % (target, 'met' if ratio <= target else 'MISSED'))
    print('%-34s %9.1f / %-9.1f %9.1f / %-9.1f %6.2f%s' % (name, min(editor), me, min(floor), mf, ratio, verdict))
    return ratio


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('build')
    ap.add_argument('home')
    ap.add_argument('home_win')
    ap.add_argument('--runs', type=int, default=15)
    ap.add_argument('--warmup', type=int, default=2)
    a = ap.parse_args()
    exe = lambda name: os.path.join(a.build, name + '.exe')
    editor_update = [WINE, exe('Editor'), '-update', a.home_win]
    copy_update = [WINE, exe('BenchCopy'), a.home_win]
    editor_check = [WINE, exe('Editor'), '-check', a.home_win]
    system = os.path.join(a.home, 'System')
    started_editor = os.path.join(system, 'Editor.exe')
    move = (resource_id('IDC_MAIN_TARGETS'), resource_id('IDC_MAIN_DOWN'))
    report_file = os.path.join(a.build, 'bench-report.html')
    editor_report = [WINE, exe('Editor'), '-report', a.home_win, 'Z:' + report_file.replace('/', '\\')]

    before = stored_files(a.home)
    # Every program starts in the installation's System folder, where the editor lives.
    for _ in range(a.warmup):
        for argv in (editor_update, copy_update):
            if run_timed(argv, system)[2] != 0:
                sys.exit('bench: %s failed' % ' '.join(argv))
        run_start(exe('BenchStartWatch'), EDITOR_CLASS, started_editor, system)
        run_start(exe('BenchStartWatch'), '#32770', exe('BenchEmptyDialog'), system)
    changed = [rel for rel, data in stored_files(a.home).items() if before[rel] != data]
    if changed:
        sys.exit('bench: -update changed %s: the installation is not a fixed point' % ', '.join(changed))

    upd = {'editor': [], 'floor': [], 'check': []}
    mem = {'editor': [], 'floor': []}
    start = {'editor': [], 'floor': []}
    moved = []
    report = {'editor': [], 'floor': []}
    for i in range(a.runs):
        pairs = [('editor', editor_update), ('floor', copy_update), ('check', editor_check)]
        for who, argv in (pairs if i % 2 == 0 else pairs[::-1]):
            ms, kib, code = run_timed(argv, system)
            # -check ends with 1 when it finds an error in the installation
            if code != 0 and not (who == 'check' and code == 1):
                sys.exit('bench: %s ended with %d' % (' '.join(argv), code))
            upd[who].append(ms)
            if who != 'check':
                mem[who].append(kib / 1024.0)
        pairs = [('editor', editor_report), ('floor', editor_update)]
        for who, argv in (pairs if i % 2 == 0 else pairs[::-1]):
            ms, _, code = run_timed(argv, system)
            if code != 0:
                sys.exit('bench: %s ended with %d' % (' '.join(argv), code))
            report[who].append(ms)
        starts = [('editor', EDITOR_CLASS, started_editor, move), ('floor', '#32770', exe('BenchEmptyDialog'), ())]
        for who, cls, program, command in (starts if i % 2 == 0 else starts[::-1]):
            times = run_start(exe('BenchStartWatch'), cls, program, system, command)
            start[who].append(times[0])
            moved += times[1:]
        print('run %d of %d done' % (i + 1, a.runs), file=sys.stderr)

    # The editor's own baseline: -update on an installation that holds nothing.
    empty = os.path.join(a.build, 'bench-empty')
    shutil.rmtree(empty, ignore_errors=True)
    os.makedirs(empty)
    _, empty_kib, _ = run_timed([WINE, exe('Editor'), '-update', 'Z:' + empty.replace('/', '\\')], system)
    largest = max(len(data) for data in before.values()) / 2.0 ** 20

    print('%-34s %-21s %-21s %s' % ('', 'editor min / median', 'floor min / median', 'ratio of medians'))
    summary('-update vs copy (ms)', upd['editor'], upd['floor'], 'ms', TARGETS['-update'])
    summary('-check vs -update (ms)', upd['check'], upd['editor'], 'ms', TARGETS['-check'])
    summary('start to main dialog vs empty (ms)', start['editor'], start['floor'], 'ms', TARGETS['start'])
    print('%-34s %9.1f / %-9.1f %s' % ('move on 200 queues to repaint (ms)', min(moved), statistics.median(moved),
                                            '(no visible delay: at most 100 ms: %s)' %
                                            ('met' if statistics.median(moved) <= 100 else 'MISSED')))
    summary('-report vs -update (ms)', report['editor'], report['floor'], 'ms', TARGETS['-report'])
    size = os.path.getsize(report_file)
    print('%-34s %9.2f MB; limit %.0f MB: %s' % ('size of the report', size / 1e6, REPORT_LIMIT / 1e6,
                                                  'met' if size < REPORT_LIMIT else 'MISSED'))
    summary('peak memory -update vs copy (MiB)', mem['editor'], mem['floor'], 'MiB')
    growth = statistics.median(mem['editor']) - empty_kib / 1024.0
    print('%-34s %9.1f MiB above the editor on an empty installation; bound %.1f MiB (the largest file): %s'
          % ('peak memory growth of -update', growth, largest, 'met' if growth <= largest else 'MISSED'))
    undo = subprocess.run([WINE, exe('BenchUndo'), a.home_win], cwd=system, stdin=subprocess.DEVNULL,
                          capture_output=True, text=True)
    words = undo.stdout.split()
    if undo.returncode not in (0, 1) or len(words) < 9:
        print('%-34s failed (%d): %s' % ('undo history, 100 steps (MiB)', undo.returncode, undo.stderr.strip()))
    else:
        print('%-34s %9.2f MiB; bound %.1f MiB, undone to the start: %s: %s'
              % ('undo history, 100 steps (MiB)', int(words[3]) / 2.0 ** 20, int(words[6]) / 2.0 ** 20, words[8],
                 'met' if undo.returncode == 0 else 'MISSED'))


if __name__ == '__main__':
    main()
