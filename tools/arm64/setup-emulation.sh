#!/bin/sh
# Prepares what running ARM64 Windows programs on this x86-64 machine needs: qemu's user-mode
# emulator, registered for aarch64 programs through binfmt_misc (or proot where binfmt_misc cannot be
# mounted), and Debian trixie's arm64 Wine, downloaded with an apt configuration of its own and
# unpacked into $MORVANE_TOOLCHAINS/wine-arm64 (about two minutes, once).
set -e
top=${MORVANE_TOOLCHAINS:-/opt/morvane-toolchains}
export DEBIAN_FRONTEND=noninteractive
install() {
  echo "Installing: $1"
  apt-get update -q >/dev/null
  apt-get install -y -q "$1" >/dev/null
}
command -v qemu-aarch64-static >/dev/null 2>&1 || install qemu-user-static

binfmt=/proc/sys/fs/binfmt_misc
[ -e $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt 2>/dev/null || true
if [ -e $binfmt/register ]; then
  [ -e $binfmt/qemu-aarch64 ] || cat /usr/lib/binfmt.d/qemu-aarch64.conf >$binfmt/register
elif ! command -v proot >/dev/null 2>&1; then
  echo "binfmt_misc cannot be mounted here: aarch64 programs will run inside proot"
  install proot
fi

root=$top/wine-arm64
stamp=$root/.complete-1
[ -f "$stamp" ] && exit 0
echo "Downloading and unpacking trixie's arm64 Wine into $root (about two minutes, once)"
apt=$top/wine-arm64-apt
rm -rf "$root" "$apt"
mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts" "$root"
: >"$apt/status"
echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian trixie main" >"$apt/sources.list"
cat >"$apt/apt.conf" <<CONF
APT::Architecture "arm64";
APT::Architectures { "arm64"; };
APT::Install-Recommends "false";
Dir::State "$apt";
Dir::State::Lists "$apt/lists";
Dir::State::status "$apt/status";
Dir::Cache "$apt/cache";
Dir::Etc::SourceList "$apt/sources.list";
Dir::Etc::SourceParts "$apt/parts";
Dir::Etc::Preferences "$apt/parts/none";
Dir::Etc::PreferencesParts "$apt/parts";
CONF
APT_CONFIG=$apt/apt.conf apt-get update -q >/dev/null
APT_CONFIG=$apt/apt.conf apt-get install -y -q --download-only wine64 >/dev/null
for deb in "$apt"/cache/archives/*.deb; do
  dpkg-deb -x "$deb" "$root"
done
# The packages assume a merged /usr that their maintainer scripts would make.
for dir in lib bin sbin; do
  [ -e "$root/$dir" ] || ln -s usr/$dir "$root/$dir"
done
# Debian's wineserver script names the server by absolute path, which on this machine is the host's
# x86-64 Wine: name the unpacked one.
sed -i "s#=/usr/lib/wine/#=$root/usr/lib/wine/#" "$root/usr/lib/wine/wineserver"
rm -rf "$apt"
touch "$stamp"
