#!/usr/bin/env python3
"""Lays out the demo installation: copies demo/ to DEST, puts the home directory's Windows path
in place of @HOME@, and writes the text files the way the editor writes them (CR LF line ends;
whether a file ends with a line break is kept from the template).
A template file named "X.exe.demoapp" becomes a copy of the stand-in application DEMO_APP named "X.exe".
usage: make-demo.py DEMO_SRC DEST HOME_WINDOWS_PATH DEMO_APP"""
import os
import shutil
import sys

TEXT = ('.cfg', '.q', '.sta', '.txt')


def main(src, dest, home, demo_app):
    if os.path.isdir(dest):
        shutil.rmtree(dest)
    for root, dirs, files in os.walk(src):
        rel = os.path.relpath(root, src)
        out = os.path.join(dest, rel) if rel != '.' else dest
        os.makedirs(out, exist_ok=True)
        for name in files:
            s, d = os.path.join(root, name), os.path.join(out, name)
            if name == '.keep' or rel.split(os.sep)[0] == 'tools':
                continue
            if name.endswith('.demoapp'):
                shutil.copyfile(demo_app, d[:-len('.demoapp')])
                continue
            if name.lower().endswith(TEXT):
                with open(s, 'rb') as f:
                    data = f.read().replace(b'@HOME@', home.encode('latin-1'))
                data = data.replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')
                with open(d, 'wb') as f:
                    f.write(data)
            else:
                shutil.copyfile(s, d)


if __name__ == '__main__':
    main(*sys.argv[1:5])
