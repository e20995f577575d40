#!/bin/sh
# Configures and builds Morvane for Windows into BUILD_DIR (default: build).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" -- --no-print-directory >/dev/null
echo "$build"
