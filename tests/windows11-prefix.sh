#!/bin/sh
# Runs a test program in a Wine prefix of its own that reports Windows 11 (build 22631 on top of
# Wine's Windows 10) and whose powershell.exe is the recording program: the installer's Windows 11
# path runs for real there, and the build's shared prefix keeps the Windows version the other tests
# expect.
#   windows11-prefix.sh SOURCE_DIR BUILD_DIR PROGRAM [ARGUMENTS...]
set -e
source=$1
build=$2
shift 2
home="$build/windows11"
export WINEPREFIX="$home/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export TZ=UTC
mkdir -p "$home"
"$source/tools/prefix.sh" "$home" start
if [ ! -f "$home/windows11" ]; then
  wine winecfg /v win10 >/dev/null 2>&1 </dev/null
  for value in CurrentBuildNumber CurrentBuild; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' /v $value /d 22631 /f >/dev/null 2>&1 </dev/null
  done
  touch "$home/windows11"
fi
cp "$build/bin/powershell_recorder.exe" "$WINEPREFIX/drive_c/windows/system32/WindowsPowerShell/v1.0/powershell.exe"
set +e
wine "$@"
rc=$?
"$source/tools/prefix.sh" "$home" stop
exit $rc
