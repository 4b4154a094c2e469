#!/bin/bash
# Installs what is missing, builds everything and runs the whole test suite under Wine.
# Extra arguments go to ctest (for example -R config, or -V).
set -eu
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"
scripts/setup.sh
scripts/build.sh "$top/build"
exec scripts/run-tests.sh "$top/build" "$@"
