# The signed package of Windows 11's menu, checked as Windows reads it; and its command class checked
# against the classes the module defines.
set(PACKAGE_CHECK ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check-package.py ${CMAKE_BINARY_DIR}/bin/Morvane.msix)
if(NOT MORVANE_SIGNING_PFX)
  set(PACKAGE_CERTIFICATE_CHECK --cer ${CMAKE_BINARY_DIR}/bin/Morvane.cer)
endif()
add_test(NAME package COMMAND ${PACKAGE_CHECK} --name ${MORVANE_PACKAGE_NAME} --version ${PROJECT_VERSION}.0.0
         --module $<TARGET_FILE_NAME:Morvane> --clsid ${MORVANE_COMMAND_CLSID} ${PACKAGE_CERTIFICATE_CHECK})
add_test(NAME package_module_class COMMAND ${PACKAGE_CHECK} --module-source ${CMAKE_SOURCE_DIR}/module/core/Guids.cpp)
# The Publisher that packages signed with certificates of awkward subjects get.
add_test(NAME package_publisher
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/package_publisher.py
                 ${CMAKE_SOURCE_DIR}/package/AppxManifest.xml ${CMAKE_SOURCE_DIR}/package/Assets
                 ${CMAKE_CURRENT_BINARY_DIR}/publisher)
