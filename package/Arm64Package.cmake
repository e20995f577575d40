# bin/arm64/Morvane.msix: the package with ProcessorArchitecture arm64, for the ARM64 module beside
# it, signed as the x64 one. Included by CMakeLists.txt, whose signing choice it follows.
set(ARM64_PACKAGE_FILE ${MORVANE_ARM64_BIN}/Morvane.msix)
set(ARM64_PACKAGE_ARGUMENTS ${PACKAGE_ARGUMENTS} --out ${ARM64_PACKAGE_FILE} --work ${CMAKE_CURRENT_BINARY_DIR}/arm64
    --architecture arm64)
if(MORVANE_SIGNING_PFX)
  set(ARM64_SIGNING --pfx ${MORVANE_SIGNING_PFX} --password-file ${MORVANE_SIGNING_PASSWORD_FILE})
  set(ARM64_SIGNING_DEPENDS ${MORVANE_SIGNING_PFX})
else()
  set(ARM64_SIGNING --key ${SIGNING_KEY} --cert ${SIGNING_CERT})
  set(ARM64_SIGNING_DEPENDS ${SIGNING_KEY} ${SIGNING_CERT})
endif()
# The later --out and --work of the arguments are the ones the packer takes.
add_custom_command(OUTPUT ${ARM64_PACKAGE_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MORVANE_ARM64_BIN}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make-package.py ${ARM64_PACKAGE_ARGUMENTS} ${ARM64_SIGNING}
  DEPENDS ${PACKAGE_DEPENDS} ${ARM64_SIGNING_DEPENDS}
  COMMENT "Packaging and signing arm64/Morvane.msix" VERBATIM)
list(APPEND MORVANE_PACKAGE_OUTPUTS ${ARM64_PACKAGE_FILE})
