#!/bin/bash
# The benchmark: lays out a maximal installation in BUILD/bench-home (bench/make-maximal.py),
# puts Editor.exe in its System folder, prepares one Wine prefix, display and wineserver for the
# whole run, and measures (scripts/bench.py).
# usage: scripts/bench.sh BUILD [--jobs N] [--users N] [--runs N] [--warmup N]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: bench.sh BUILD [--jobs N] [--users N] [--runs N] [--warmup N]}" && pwd)
shift
jobs=100000 users=50 runs=15 warmup=2
while [ $# -gt 0 ]; do
  case "$1" in
    --jobs)   jobs=$2;   shift 2 ;;
    --users)  users=$2;  shift 2 ;;
    --runs)   runs=$2;   shift 2 ;;
    --warmup) warmup=$2; shift 2 ;;
    *) echo "bench.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
home=$build/bench-home
home_win="Z:${home//\//\\}"
python3 "$top/bench/make-maximal.py" "$home" "$home_win" "$build/DemoApp.exe" --jobs "$jobs" --users "$users"
cp "$build/Editor.exe" "$home/System/Editor.exe"
echo "Maximal installation in $home: 200 queues, 200 application entries, $jobs jobs, $users users"

WINE_BUILD=$build
WINE_OWN_DISPLAY=1
set +e        # the Wine set-up probes for servers that may not be there
. "$top/scripts/wine-env.sh"
set -e
python3 "$top/scripts/bench.py" "$build" "$home" "$home_win" --runs "$runs" --warmup "$warmup"
