# The ARM64 module beside the x64 one (cmake/Arm64.cmake): checked as a binary against the x64
# module, and run under emulation in prefixes of its own.
if(NOT MORVANE_ARM64)
  return()
endif()
add_test(NAME arm64_module_binary COMMAND ${CMAKE_SOURCE_DIR}/tools/check-binary.sh ${MORVANE_ARM64_BIN}/Morvane.dll
         --exports DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer)
add_test(NAME arm64_module_twin COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check-twin-module.py
         ${MORVANE_ARM64_BIN}/Morvane.dll --machine 0xAA64 --subsystem IMAGE_SUBSYSTEM_WINDOWS_GUI
         --like $<TARGET_FILE:Morvane> --max-size 143360)
add_test(NAME arm64_runner_binary COMMAND ${CMAKE_SOURCE_DIR}/tools/check-binary.sh ${MORVANE_ARM64_BIN}/MorvaneRun.exe)

add_executable(compound_maker CompoundMaker.cpp TestSupport.cpp)
target_link_libraries(compound_maker PRIVATE morvane_core)
target_link_options(compound_maker PRIVATE -municode)
set_target_properties(compound_maker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Slow (a Wine prefix made and booted under qemu): a few runs, in a folder and prefixes of its own.
# qemu takes a whole core for the best part of a minute; the tests that take pictures of windows as
# they paint fall behind beside it, so it runs alone.
add_test(NAME arm64_emulated COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/arm64/emulated-test.py
         --build ${CMAKE_BINARY_DIR} --arm64-tree ${MORVANE_ARM64_TREE} --toolchains ${MORVANE_TOOLCHAINS})
set_tests_properties(arm64_emulated PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
