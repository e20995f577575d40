#!/bin/sh
# Installs what building and testing Morvane needs on a Debian machine, where it is missing.
set -e
need=""
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need="$need g++-mingw-w64-x86-64-posix"
command -v x86_64-w64-mingw32-windres >/dev/null 2>&1 || need="$need binutils-mingw-w64-x86-64"
command -v x86_64-w64-mingw32-widl >/dev/null 2>&1 || need="$need mingw-w64-tools"
command -v wine >/dev/null 2>&1 || need="$need wine wine64"
[ -f /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/stdole2.tlb ] || need="$need wine64"
command -v xvfb-run >/dev/null 2>&1 || need="$need xvfb"
command -v xauth >/dev/null 2>&1 || need="$need xauth"
command -v cmake >/dev/null 2>&1 || need="$need cmake"
[ -f /usr/src/googletest/CMakeLists.txt ] || need="$need googletest"
if [ -n "$need" ]; then
  echo "Installing:$need"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  # shellcheck disable=SC2086
  apt-get install -y -q $need >/dev/null
fi
