#!/bin/sh
# Builds the ARM64 Windows toolchain once, from Debian's packages alone: clang, lld and llvm 14 with
# mingw-w64's headers and C runtime compiled for aarch64 from Debian's own mingw-w64 source package.
# The result lives outside the repository, in $MORVANE_TOOLCHAINS (default /opt/morvane-toolchains);
# a second run finds its stamp and does nothing.
set -e
here=$(cd "$(dirname "$0")" && pwd)
top=${MORVANE_TOOLCHAINS:-/opt/morvane-toolchains}
sysroot=$top/aarch64-w64-mingw32
target=aarch64-w64-mingw32
stamp=$sysroot/.complete-2
[ -f "$stamp" ] && exit 0
crt_stamp=$sysroot/.crt-complete-1

export DEBIAN_FRONTEND=noninteractive
need=""
for tool in clang-14 ld.lld-14 llvm-ar-14 llvm-ranlib-14 llvm-dlltool-14 llvm-windres-14 dpkg-source make bzip2 xz; do
  command -v $tool >/dev/null 2>&1 || need="clang-14 lld-14 llvm-14 dpkg-dev make bzip2 xz-utils"
done
# The sources of mingw-w64 come from bookworm's source archive.
sources=/etc/apt/sources.list.d/morvane-src.sources
if ! grep -qs deb-src "$sources"; then
  printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: bookworm" "Components: main" \
    "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" >"$sources"
fi
apt-get update -q >/dev/null
[ -z "$need" ] || { echo "Installing: $need"; apt-get install -y -q $need >/dev/null; }

work=$top/work-$target
bin=$sysroot/bin
export PATH="$bin:$PATH"
if [ ! -f "$crt_stamp" ]; then
  echo "Building the ARM64 Windows toolchain in $sysroot (about three minutes on two cores, once)"
  rm -rf "$work" "$sysroot"
  mkdir -p "$work" "$sysroot/$target/lib" "$bin"
  cd "$work"
  apt-get source -q mingw-w64 >/dev/null 2>&1
  src=$(ls -d "$work"/mingw-w64-*/ | head -n 1)
  # Compiler drivers for the target: clang with the sysroot, lld as the linker.
  for driver in clang clang++; do
    printf '#!/bin/sh\nexec %s --target=%s --sysroot=%s -fuse-ld=lld "$@"\n' "$driver-14" $target "$sysroot" \
      >"$bin/$target-$driver"
    chmod +x "$bin/$target-$driver"
  done
  tools="CC=$target-clang CXX=$target-clang++ AR=llvm-ar-14 RANLIB=llvm-ranlib-14 DLLTOOL=llvm-dlltool-14"
  mkdir -p headers crt
  (cd headers && "$src/mingw-w64-headers/configure" -q --host=$target --prefix="$sysroot/$target" \
    --with-default-msvcrt=msvcrt >/dev/null && make -s install >/dev/null)
  (cd crt && env $tools "$src/mingw-w64-crt/configure" -q --host=$target --prefix="$sysroot/$target" \
    --disable-lib32 --disable-lib64 --enable-libarm64 --with-default-msvcrt=msvcrt >/dev/null 2>&1 \
    && env $tools make -s -j"$(nproc)" >/dev/null 2>&1 && make -s install >/dev/null)
  # The threads headers that libstdc++'s headers include.
  cp "$src"/mingw-w64-libraries/winpthreads/include/*.h "$sysroot/$target/include/"
  cd "$top"
  rm -rf "$work"
  touch "$crt_stamp"
fi
mkdir -p "$work"

# The C++ headers: libstdc++'s from Debian's x86-64 MinGW compiler. They hold templates and
# declarations only; the target-specific configuration header is MinGW's, not the processor's.
gcc_headers=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | tail -n 1)
cxx=$sysroot/$target/include/c++
rm -rf "$cxx"
cp -r "$gcc_headers" "$cxx"
mv "$cxx/x86_64-w64-mingw32" "$cxx/$target"

# What GCC's runtime libraries would bring and clang's Debian package lacks for this target: the
# stack probe that functions with large frames call, in libgcc's place; an empty libgcc_eh; and in
# libstdc++'s place the one object the programs take from it, std::nothrow.
lib=$sysroot/$target/lib
$target-clang -c -o "$work/chkstk.o" "$here/chkstk.S"
$target-clang++ -std=c++17 -Os -c -o "$work/nothrow.o" "$here/nothrow.cpp"
rm -f "$lib/libgcc.a" "$lib/libgcc_eh.a" "$lib/libstdc++.a"
llvm-ar-14 rcs "$lib/libgcc.a" "$work/chkstk.o"
llvm-ar-14 rcs "$lib/libgcc_eh.a"
llvm-ar-14 rcs "$lib/libstdc++.a" "$work/nothrow.o"
rm -rf "$work"
touch "$stamp"
