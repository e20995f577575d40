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
    # Wine's system services start with the first program that needs them and then keep that
    # program's output open for as long as the server lives (a test would never seem to end):
    # start them here, with nothing of ours to hold.
    sleep 1
    wineboot >/dev/null 2>&1 </dev/null
    # Without a window manager on the virtual display, Wine waits about 2 s each time it hides a
    # window it manages (every closing sheet): leave the windows unmanaged.
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
    # Keep the default desktop, and the clipboard manager in its explorer, for the whole run.
    keeper="$build/bin/desktop_keeper.exe"
    if [ -f "$keeper" ]; then
      rm -f "$build/keeper.log"
      wine "$keeper" >"$build/keeper.log" 2>/dev/null </dev/null &
      waited=0
      until grep -q . "$build/keeper.log" 2>/dev/null || [ $waited -ge 300 ]; do
        sleep 0.1
        waited=$((waited + 1))
      done
      grep -q ready "$build/keeper.log" 2>/dev/null || echo "prefix.sh: the default desktop's clipboard manager did not come up" >&2
    fi
    ;;
  stop)
    wineserver -k >/dev/null 2>&1 || true
    ;;
esac
