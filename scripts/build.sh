#!/bin/bash
# Configures (once) and builds into BUILD_DIR (default: build). Further arguments are targets.
#   scripts/build.sh build            everything: Editor.exe, helpers and tests
#   scripts/build.sh build Editor     only the program
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
shift || true
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
