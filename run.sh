#!/bin/bash
# Builds the editor and starts it under Wine on the demo installation (or on HOME).
# usage: ./run.sh [HOME]      HOME: a Unix path of an installation; Editor.exe is put in HOME/System
set -eu
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"
scripts/setup.sh
scripts/build.sh "$top/build" Editor DemoApp
if [ $# -ge 1 ]; then
  home=$(cd "$1" && pwd)
else
  home="$top/build/demo-home"
  python3 scripts/make-demo.py "$top/demo" "$home" "Z:${home//\//\\}" "$top/build/DemoApp.exe"
  echo "Demo installation laid out in $home"
fi
mkdir -p "$home/System"
cp "$top/build/Editor.exe" "$home/System/Editor.exe"
WINE_BUILD="$top/build"
had_display=${DISPLAY:-}
set +e        # the Wine set-up probes for servers that may not be there
. scripts/wine-env.sh
if [ -z "$had_display" ]; then
  echo "No display: the editor runs in a virtual display ($DISPLAY); a screenshot goes to build/editor.png"
  ( sleep 6; xwd -silent -root 2>/dev/null | xwdtopnm 2>/dev/null | pnmtopng > "$top/build/editor.png" 2>/dev/null ) &
fi
cd "$home/System"
$WINE "$home/System/Editor.exe" </dev/null
