#!/bin/sh
# Builds Morvane and runs its benchmark under Wine and a virtual display, in a prefix of its own
# (build/bench/prefix: the benchmark writes settings and file types there). Arguments go to
# bench.exe, for example --runs 15 or --only full.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/tools/build.sh")
export WINEPREFIX="$build/bench/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" TZ=UTC
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  wineserver -p >/dev/null 2>&1 </dev/null &
  build=$1
  shift
  # Without a window manager, Wine waits up to 2 s for every managed window it hides: the sheets
  # the benchmark opens and closes would measure that wait.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  { rc=0; wine "$build/bin/bench.exe" "$@" || rc=$?; echo $rc >"$build/bench/status"; } | tr -d "\r"
  rc=$(cat "$build/bench/status")
  wineserver -k >/dev/null 2>&1 || true
  exit $rc' sh "$build" "$@"
