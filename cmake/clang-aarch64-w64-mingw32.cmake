# Cross-compiling for 64-bit ARM Windows with clang 14 and lld, against the mingw-w64 headers and C
# runtime that tools/setup-machine.sh builds for aarch64 under MORVANE_TOOLCHAINS.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(TOOLCHAIN_PREFIX aarch64-w64-mingw32)
if(NOT MORVANE_TOOLCHAINS)
  set(MORVANE_TOOLCHAINS /opt/morvane-toolchains)
endif()
set(MORVANE_SYSROOT ${MORVANE_TOOLCHAINS}/${TOOLCHAIN_PREFIX})
set(CMAKE_C_COMPILER   ${MORVANE_SYSROOT}/bin/${TOOLCHAIN_PREFIX}-clang)
set(CMAKE_CXX_COMPILER ${MORVANE_SYSROOT}/bin/${TOOLCHAIN_PREFIX}-clang++)
# The runtime is always linked in (there is no shared libgcc for this target), also in CMake's probes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_RC_COMPILER  llvm-windres-14)
# The resource compiler preprocesses with clang: the target's headers as system headers, as GNU windres has them.
set(CMAKE_RC_FLAGS_INIT "--target=${TOOLCHAIN_PREFIX} --preprocessor-arg=-isystem${MORVANE_SYSROOT}/${TOOLCHAIN_PREFIX}/include")
# The type library does not depend on the architecture: the same widl as for x64.
set(MORVANE_WIDL       x86_64-w64-mingw32-widl)

set(CMAKE_FIND_ROOT_PATH ${MORVANE_SYSROOT}/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
