#!/bin/bash
# Runs the test suite (CTest) under Wine inside a private virtual display.
# usage: scripts/run-tests.sh BUILD_DIR [extra ctest args]
set -u
WINE_BUILD=$(cd "${1:?usage: run-tests.sh BUILD_DIR}" && pwd); shift
WINE_OWN_DISPLAY=1
. "$(dirname "$0")/wine-env.sh"
cd "$WINE_BUILD" && ctest --output-on-failure -j2 "$@"
