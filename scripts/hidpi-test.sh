#!/bin/bash
# Runs one test program at 144 dots per inch: in the second Wine prefix that scripts/run-tests.sh
# prepares (its own server and virtual display), which it names in EDITOR_HIDPI_PREFIX and
# EDITOR_HIDPI_DISPLAY. Screenshots (EDITOR_SHOTS) go to the folder's "144dpi" sub-folder;
# EDITOR_DPI tells the test program the resolution it must find.
# usage (from CTest): scripts/hidpi-test.sh PROGRAM.exe [arguments]
set -u
if [ -z "${EDITOR_HIDPI_PREFIX:-}" ] || [ -z "${EDITOR_HIDPI_DISPLAY:-}" ]; then
  echo "hidpi-test.sh: no prefix at 144 dots per inch; run the tests through scripts/run-tests.sh" >&2
  exit 1
fi
export WINEPREFIX=$EDITOR_HIDPI_PREFIX DISPLAY=$EDITOR_HIDPI_DISPLAY EDITOR_DPI=144
[ -n "${EDITOR_SHOTS:-}" ] && export EDITOR_SHOTS="$EDITOR_SHOTS/144dpi"
exec /usr/lib/wine/wine64 "$@"
