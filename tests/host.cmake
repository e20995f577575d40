# The shell host run as a real process against the registered module.
morvane_test(host_tests SOURCES HostTests.cpp LOCKS registration settings filetypes pointer clipboard)
target_link_libraries(host_tests PRIVATE windowscodecs)
add_dependencies(host_tests shellhost)
