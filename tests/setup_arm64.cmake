# Setup on ARM64 machines: it installs the ARM64 module that the build puts in bin/arm64.
if(NOT MORVANE_ARM64)
  return()
endif()
setup_test(native_architecture_tests SOURCES NativeArchitectureTests.cpp DialogWatcher.cpp)
add_dependencies(native_architecture_tests arm64 package_msix)
