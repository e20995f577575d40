#!/bin/sh
# Builds Morvane and runs every test under Wine, in the build's disposable prefix and a virtual display.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/tools/build.sh")
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  "$1/tools/prefix.sh" "$2" start
  ctest --test-dir "$2" --output-on-failure -j 2 "$@"
  rc=$?
  "$1/tools/prefix.sh" "$2" stop
  exit $rc' sh "$root" "$build" "$@"
