#!/usr/bin/env python3
"""Lays out a maximal installation for the benchmark: 200 queues in all (input queues first),
200 application entries (applications and groups), every optional field of every queue filled,
a job list and a user list of the sizes asked for. The files are written exactly as the editor
writes them, so that Editor.exe -update leaves every one of them byte for byte as it is.

usage: make-maximal.py DEST HOME_WINDOWS_PATH PROGRAM [--jobs N] [--users N] [--lbqs N]
  DEST               the installation's folder (emptied first)
  HOME_WINDOWS_PATH  how the editor names DEST ("Z:\\tmp\\max")
  PROGRAM            a program file with an icon; each application is a link to (or copy of) it
  --jobs N           jobs in the job list (default 100000)
  --users N          users in Users.cfg (default 50)
  --lbqs N           input queues among the 200 queues (default 20)
"""
import argparse
import os
import shutil

QUEUES = 200            # input and output queues together: the editor's limit
ENTRIES = 200           # application entries: the editor's limit
GROUPS = 50             # of the entries, the groups (the rest are applications)
DIRECT = 100            # applications run by queues directly; the others only in groups
ICON_FILES = 10         # queue icons, shared as an installation shares them

DEMO = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'demo')


def crlf(lines):
    """The lines as a text-mode file holds them: CR LF after each."""
    return ''.join(line + '\r\n' for line in lines).encode('latin-1')


def write(dest, rel, data):
    path = os.path.join(dest, *rel.split('\\'))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data if isinstance(data, bytes) else data.encode('latin-1'))


def link_or_copy(src, dst):
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    try:
        os.link(src, dst)
    except OSError:
        shutil.copyfile(src, dst)


def applications(home):
    """The entries of Applications.cfg: applications first, then groups. Each group takes its
    members from a pool of its own kind (running alone at high priority, or in parallel at normal
    priority), so that the settings the store gives a group's members are the ones they have."""
    napps = ENTRIES - GROUPS
    lines = []
    for a in range(napps):
        path = '%s\\Apps\\Tool%03d.exe' % (home, a)
        args = '-job %d -profile "%s\\Profiles\\p%03d.icc"' % (a, home, a)
        if a < DIRECT:
            alone, prio = (('A', 'H'), ('P', 'N'), ('P', 'I'))[a % 3]
        else:
            alone, prio = ('A', 'H') if a % 2 == 0 else ('P', 'N')
        lines.append('"%s" %s::%s::%s::%d::%d::%d::%d::%d' %
                     (path, args, alone, prio, a % 2, (a // 2) % 2, (0, 6, 1)[a % 3], (a // 3) % 2, (a // 5) % 2))
    groups = []
    pools = [[a for a in range(DIRECT, napps) if a % 2 == kind] for kind in (0, 1)]
    taken = [0, 0]
    for g in range(GROUPS):
        kind = g % 2                                  # 0: alone, high; 1: parallel, normal
        count = 2 + g % 3
        members = [pools[kind][(taken[kind] + k) % len(pools[kind])] for k in range(count)]
        taken[kind] += count
        alone, prio = ('A', 'H') if kind == 0 else ('P', 'N')
        groups.append('%s:%d::%s::%s' % (',,'.join(str(m) for m in members), (g // 2) % 2, alone, prio))
    return napps, lines + groups


def process_refs(targets, napps):
    """The entry each output queue runs: every application meant to be run directly and every
    group is run by some queue (an entry no queue runs is left out when the editor stores)."""
    refs, groups, direct = [], 0, 0
    for t in range(targets):
        if t % 10 == 9:
            refs.append(202)                          # a queue that runs no processes
        elif t % 3 == 2:
            refs.append(napps + groups % GROUPS)
            groups += 1
        else:
            refs.append(direct % DIRECT)
            direct += 1
    if groups < GROUPS or direct < DIRECT:
        raise SystemExit('too few output queues to run every application entry')
    return refs


def queue_line(t, ref, lbqs, targets, home, napps):
    """Output queue t: all 42 fields, none left empty."""
    name = 'Output Queue %03d' % t
    subdirs = t % 2
    hot = '%s\\Hot\\Out %03d' % (home, t)
    # parameters: a parameter file for half the queues, arguments for the others
    params = ('%s\\Params\\queue%03d.txt' % (home, t)) if t % 2 == 0 else '-queue %d -mode "fast"' % t
    after = (-1, -2, -3, -4, lbqs + (t + 1) % targets)[t % 5]
    prio, copies = 1 + t % 7, 1 + t % 10
    done = '%s\\Done\\Out %03d' % (home, t)
    keep = (t * 37) % 2678401
    mutex = 'Group %d' % (t % 8)
    ident = 'Device-%03d' % t
    state = (0, 7)[t % 2]
    grouping = t % 2
    when_active = (t // 2) % 2
    on_arrival = 0 if when_active else (t // 4) % 2
    countdown = 1 + t % 50
    at_a_time = 1 + t % 16
    tmo_action = (-1, -2, -3, -5, -6, lbqs + (t + 2) % targets)[t % 6]
    tmo_secs = 300 if tmo_action == -1 else (t * 11) % 86401
    tmo_dir = ('%s\\Timed Out\\Out %03d' % (home, t)) if tmo_action == -3 else '%s\\Timed Out Waiting' % home
    thumbs = '%s\\Thumbs\\Out %03d' % (home, t)
    no_procs = 1 if ref == 202 else 0
    extra = 'extra=%d' % t
    exts = '*.pdf;*.ps;*.tif'
    exclude = '%s\\Excluded\\Out %03d' % (home, t)
    flags = (0x01, 0x21, 0x30, 0x63)[t % 4]           # never 0x80: no include folder is stored
    icon = '%s\\Icons\\queue%d.ico' % (home, t % ICON_FILES)
    launch = '%s\\Apps\\Tool%03d.exe' % (home, (t * 3) % napps)
    fields = [name, subdirs, hot, ref, params, after, prio, copies, done, t % 2, (t + 1) % 2, (t // 2) % 2,
              (t // 3) % 2, keep, mutex, ident, state, grouping, on_arrival, countdown, at_a_time, 0,
              tmo_action, tmo_secs, tmo_dir, t % 2, t % 3, thumbs, when_active, (t // 5) % 2, t % 2,
              1 + (t * 13) % 30000, (t // 7) % 2, no_procs, extra, exts, flags, exclude, (t // 3) % 2, icon,
              launch, t % 2]
    return '::'.join(str(f) for f in fields)


def lbq_line(i):
    return 'Input Queue %02d::%d::@HOT@\\In %02d::201:: ::-3::%d::%d' % (i, i % 2, i, 1 + i % 7, 1 + i % 5)


def lb_prefs(lbqs, targets):
    out = ['# Load Balancer Configuration File']
    id_rules = ('', 'FILE_GROUP_ID_RULE same.*', 'FILE_GROUP_ID_RULE *C*')
    group_rules = ('FILE_GROUP_RULE NONE', 'FILE_GROUP_RULE SAME_DEVICE', 'FILE_GROUP_RULE ANY_DEVICE')
    moves = ('JOB_REASSIGNMENT_RULE NO', 'JOB_REASSIGNMENT_RULE NONUSERMOVE', 'JOB_REASSIGNMENT_RULE ALL',
             'JOB_REASSIGNMENT_RULE NOSPLIT')
    for i in range(lbqs):
        out += ['', '# Input Queue %02d' % i, 'QUEUE_GROUP %d' % i, 'INPUT_QUEUE %d' % (targets + i),
                'QUEUE_GROUP_ENABLED %d' % (i % 2)]
        if id_rules[i % 3]:
            out.append(id_rules[i % 3])
        out += [group_rules[i % 3], moves[i % 4], 'TIME_PRIORITY_VALUE %d' % (1 + i * 5),
                'FILE_GROUP_PURGE_MINUTES %d' % (1 + i * 60), 'MINIMUM_COPIES_SPLIT_SIZE %d' % (i * 50),
                'MINIMUM_PAGES_SPLIT_SIZE %d' % (i * 25)]
        out += ['OUTPUT_QUEUE %d' % (lbqs + j) for j in range(targets) if (j + i) % 4 == 0]
    out += ['', 'DEBUG_LEVEL 3']
    return crlf(out)


def job_list(jobs, lbqs, targets):
    """The job list as the spooler writes it; every job names a queue and is kept by -update."""
    total = lbqs + targets
    chunks = []
    for n in range(jobs):
        q = n % total
        subdirs = (q % 2) if q < lbqs else ((q - lbqs) % 2)
        name = ('Batch %d\\Job_%07d.pdf' if subdirs else 'Job_%07d.pdf') % ((n % 97, n) if subdirs else (n,))
        chunks.append('%d::%d::%s::%d::%d::%d::%02d:%02d:%02d 03/11/2026::%d::%d\r\n' %
                      (100000 + n, q, name, 1 + n % 7, 1 + n % 3, (0, 1, 2, 3, 7, 8)[n % 6],
                       n % 24, n % 60, (n * 7) % 60, n % 2, 1 + n % 48))
    return (''.join(chunks) + 'END OF QUEUE').encode('latin-1')


def users(count):
    lines = []
    for u in range(count):
        password = 'pw%d' % u
        lines.append('user%03d %02X%s\n' % (u, len(password), ''.join('%02X' % ord(c) for c in password)))
    return ''.join(lines).encode('latin-1')


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('dest')
    ap.add_argument('home')
    ap.add_argument('program')
    ap.add_argument('--jobs', type=int, default=100000)
    ap.add_argument('--users', type=int, default=50)
    ap.add_argument('--lbqs', type=int, default=20)
    a = ap.parse_args()
    if not 1 <= a.lbqs < QUEUES - 1:
        ap.error('--lbqs must leave room for two output queues at least')
    dest, home = os.path.abspath(a.dest), a.home
    if os.path.isdir(dest):
        shutil.rmtree(dest)
    os.makedirs(dest)
    lbqs, targets = a.lbqs, QUEUES - a.lbqs

    napps, entries = applications(home)
    write(dest, 'Applications.cfg', '\r\n'.join(entries))
    queues = [lbq_line(i).replace('@HOT@', home + '\\Hot') for i in range(lbqs)]
    refs = process_refs(targets, napps)
    queues += [queue_line(t, refs[t], lbqs, targets, home, napps) for t in range(targets)]
    write(dest, 'Queues.cfg', crlf(queues))
    write(dest, 'LBPrefs.cfg', lb_prefs(lbqs, targets))
    write(dest, 'queue\\engine.q', job_list(a.jobs, lbqs, targets))
    write(dest, 'state\\queues.sta', crlf(str(q) for q in range(0, QUEUES, 7)))
    write(dest, 'Users.cfg', users(a.users))

    # Files the editor keeps as they are: taken from the demo installation.
    for name in ('Preferences.cfg', 'OEMApps.cfg', 'CommandLine.cfg'):
        with open(os.path.join(DEMO, name), 'rb') as f:
            text = f.read().replace(b'@HOME@', home.encode('latin-1'))
        write(dest, name, text.replace(b'\r\n', b'\n').replace(b'\n', b'\r\n'))
    shutil.copytree(os.path.join(DEMO, 'Profile'), os.path.join(dest, 'Profile'))
    for i in range(ICON_FILES):
        link_or_copy(os.path.join(DEMO, 'Icons', 'plate.ico'), os.path.join(dest, 'Icons', 'queue%d.ico' % i))
    for n in range(napps):
        link_or_copy(a.program, os.path.join(dest, 'Apps', 'Tool%03d.exe' % n))
    # Every folder the configuration names exists, so that a save has nothing to create.
    for t in range(targets):
        for folder in ('Hot', 'Done', 'Thumbs', 'Excluded', 'Timed Out'):
            os.makedirs(os.path.join(dest, folder, 'Out %03d' % t), exist_ok=True)
    for i in range(lbqs):
        os.makedirs(os.path.join(dest, 'Hot', 'In %02d' % i), exist_ok=True)
    for t in range(0, targets, 2):
        write(dest, 'Params\\queue%03d.txt' % t, crlf(['-queue %d' % t, '-mode "fast"']))
    for folder in ('Timed Out Waiting', 'Profiles', 'logs', 'System'):
        os.makedirs(os.path.join(dest, folder), exist_ok=True)


if __name__ == '__main__':
    main()
