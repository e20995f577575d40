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
command -v python3 >/dev/null 2>&1 || need="$need python3"
command -v openssl >/dev/null 2>&1 || need="$need openssl"
command -v llvm-objdump-14 >/dev/null 2>&1 || need="$need llvm-14"
# The package of Windows 11's menu is signed by osslsigncode 2.7 or later (APPX signing); Debian 12
# ships 2.5, its backports 2.9.
signer_version=$(osslsigncode --version 2>/dev/null | sed -n '1s/^osslsigncode \([0-9]*\.[0-9]*\).*/\1/p')
signer_ok=$(printf '%s\n' "${signer_version:-0}" | awk -F. '{ print ($1 > 2 || ($1 == 2 && $2 >= 7)) ? 1 : 0 }')
if [ -n "$need" ]; then
  echo "Installing:$need"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  # shellcheck disable=SC2086
  apt-get install -y -q $need >/dev/null
fi
if [ "$signer_ok" != 1 ]; then
  echo "Installing: osslsigncode (bookworm-backports)"
  export DEBIAN_FRONTEND=noninteractive
  echo "deb http://deb.debian.org/debian bookworm-backports main" >/etc/apt/sources.list.d/backports.list
  apt-get update -q >/dev/null
  apt-get install -y -q -t bookworm-backports osslsigncode >/dev/null
fi
# The ARM64 build's toolchain and the emulation its test runs under, built or fetched once into
# /opt/morvane-toolchains (the first run takes about five minutes, later ones nothing).
sh "$(dirname "$0")/arm64/setup-toolchain.sh"
sh "$(dirname "$0")/arm64/setup-emulation.sh"
