# The ARM64 package beside the ARM64 module, checked as the x64 one is (package.cmake).
if(NOT MORVANE_ARM64)
  return()
endif()
add_test(NAME arm64_package COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check-package.py
         ${MORVANE_ARM64_BIN}/Morvane.msix --architecture arm64 --name ${MORVANE_PACKAGE_NAME}
         --version ${PROJECT_VERSION}.0.0 --module $<TARGET_FILE_NAME:Morvane> --clsid ${MORVANE_COMMAND_CLSID}
         ${PACKAGE_CERTIFICATE_CHECK})
