#!/bin/sh
# Creates the build's Wine prefix if it is missing, and starts or stops its persistent wineserver.
#   prefix.sh BUILD_DIR start|stop
set -e
build=$(cd "$1" && pwd)
export WINEPREFIX="$build/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
case "$2" in
  start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1
      wineserver -w
    fi
    wineserver -p >/dev/null 2>&1 </dev/null &
    # The session's first program starts Wine's services and desktop; let that happen before the
    # tests, so no test process races it at its exit.
    wine cmd.exe /c exit 0 >/dev/null 2>&1 </dev/null || true
    ;;
  stop)
    wineserver -k >/dev/null 2>&1 || true
    ;;
esac
