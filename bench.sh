#!/bin/bash
# Builds the editor and the benchmark's programs, lays out a maximal installation and measures
# Editor.exe against its floors under Wine. Options go to scripts/bench.sh (--jobs, --users,
# --runs, --warmup). Not part of the tests: nothing here is timed by ./test.sh.
set -eu
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"
scripts/setup.sh
scripts/build.sh "$top/build" Editor DemoApp BenchCopy BenchEmptyDialog BenchStartWatch BenchUndo
exec scripts/bench.sh "$top/build" "$@"
