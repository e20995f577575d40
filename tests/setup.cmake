# The installer's tests. They are 8-bit programs like the installer and link its logic (setup_core)
# and resources; the module's code stays out. Every one of them registers the module (HKCR) and
# writes the uninstall entry, so they share the "registration" lock with the module's own tests.
add_library(setup_testsupport STATIC TestMain.cpp TestSupport.cpp SetupTestSupport.cpp)
target_include_directories(setup_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(setup_testsupport PUBLIC gtest setup_core)

# A library that looks like the module but has no "DllRegisterServer".
add_library(NoRegisterModule SHARED NoRegisterModule.cpp)
set_target_properties(NoRegisterModule PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_library(FailingRegisterModule SHARED NoRegisterModule.cpp)
target_compile_definitions(FailingRegisterModule PRIVATE FAILING_REGISTRATION)
set_target_properties(FailingRegisterModule PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

function(setup_test name)
  cmake_parse_arguments(T "" "" "SOURCES" ${ARGN})
  add_executable(${name} ${T_SOURCES} $<TARGET_OBJECTS:setup_resources>)
  target_link_libraries(${name} PRIVATE setup_testsupport)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_dependencies(${name} Morvane Setup MorvaneRun NoRegisterModule FailingRegisterModule)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 RESOURCE_LOCK "registration;uninstall")
endfunction()

setup_test(setup_logic_tests SOURCES SetupLogicTests.cpp)
setup_test(setup_process_tests SOURCES SetupProcessTests.cpp)

# The installer as it ships: system imports only.
add_test(NAME setup_binary COMMAND ${CMAKE_SOURCE_DIR}/tools/check-binary.sh $<TARGET_FILE:Setup>)

# The Windows 11 path of the installer, for real: in a Wine prefix of its own that reports Windows 11,
# with a recording program in place of powershell.exe (tests/windows11-prefix.sh).
add_executable(powershell_recorder PowerShellRecorder.cpp)
set_target_properties(powershell_recorder PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_executable(setup_windows11_tests SetupWindows11Tests.cpp $<TARGET_OBJECTS:setup_resources>)
target_link_libraries(setup_windows11_tests PRIVATE setup_testsupport)
set_target_properties(setup_windows11_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_dependencies(setup_windows11_tests Morvane Setup MorvaneRun powershell_recorder)
add_test(NAME setup_windows11_tests
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows11-prefix.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
                 $<TARGET_FILE:setup_windows11_tests>
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# Its windows belong to another Wine server, whose desktops are not kept apart from the other tests'
# on the shared display: it takes the display's lock, "pointer", like the programs that take
# pictures of their windows there.
set_tests_properties(setup_windows11_tests PROPERTIES TIMEOUT 300 RESOURCE_LOCK pointer)
