# The ARM64 programs, built from the same sources by a second configuration of this project with
# clang for aarch64-w64-mingw32 (toolchain: tools/setup-machine.sh). Explorer on ARM64 Windows loads
# only ARM64 handlers. What ships lands in bin/arm64 beside the x64 module: Morvane.dll and
# MorvaneRun.exe; the tree itself (with its shellhost.exe for the tests) is arm64/ in this build.
option(MORVANE_ARM64 "Build the ARM64 module beside the x64 one" ON)
if(NOT MORVANE_ARM64)
  return()
endif()
set(MORVANE_TOOLCHAINS /opt/morvane-toolchains CACHE PATH "Where tools/setup-machine.sh keeps the toolchains it builds")
if(NOT EXISTS ${MORVANE_TOOLCHAINS}/aarch64-w64-mingw32/bin/aarch64-w64-mingw32-clang)
  message(FATAL_ERROR "No ARM64 toolchain in ${MORVANE_TOOLCHAINS}: run tools/setup-machine.sh, or configure with -DMORVANE_ARM64=OFF")
endif()

include(ExternalProject)
set(MORVANE_ARM64_TREE ${CMAKE_BINARY_DIR}/arm64)
set(MORVANE_ARM64_BIN ${CMAKE_BINARY_DIR}/bin/arm64)
set(MORVANE_ARM64_SHIPPED ${MORVANE_ARM64_BIN}/Morvane.dll ${MORVANE_ARM64_BIN}/MorvaneRun.exe)
ExternalProject_Add(arm64
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${MORVANE_ARM64_TREE}
  PREFIX ${MORVANE_ARM64_TREE}/external
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/clang-aarch64-w64-mingw32.cmake
             -DMORVANE_TOOLCHAINS=${MORVANE_TOOLCHAINS} -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
             -DMORVANE_PROGRAMS_ONLY=ON -DMORVANE_TYPELIB_DIR=${CMAKE_BINARY_DIR}/module
  INSTALL_COMMAND ${CMAKE_COMMAND} -E make_directory ${MORVANE_ARM64_BIN}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${MORVANE_ARM64_TREE}/bin/Morvane.dll
          ${MORVANE_ARM64_TREE}/bin/MorvaneRun.exe ${MORVANE_ARM64_BIN}
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${MORVANE_ARM64_SHIPPED} ${MORVANE_ARM64_TREE}/bin/shellhost.exe
  USES_TERMINAL_BUILD OFF)
# The type library is the x64 build's (module/CMakeLists.txt).
add_dependencies(arm64 morvane_typelib)
