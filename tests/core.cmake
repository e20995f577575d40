morvane_test(framework_tests SOURCES StringTests.cpp ArrayTests.cpp)
morvane_test(registration_tests SOURCES RegistrationTests.cpp LOCKS registration)
morvane_test(filelist_tests SOURCES FileListTests.cpp LOCKS filetypes)

# The module as Explorer loads it: system imports only, and exactly the four exports by name.
add_test(NAME module_binary COMMAND ${CMAKE_SOURCE_DIR}/tools/check-binary.sh $<TARGET_FILE:Morvane>
         --exports DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer)
# The program Windows 11's menu has Explorer start: system imports only, like the module.
add_test(NAME runner_binary COMMAND ${CMAKE_SOURCE_DIR}/tools/check-binary.sh $<TARGET_FILE:MorvaneRun>)
morvane_test(summarystore_tests SOURCES SummaryStoreTests.cpp MemoryStoreOpener.cpp DialogWatcher.cpp)
target_link_libraries(summarystore_tests PRIVATE propsys)
