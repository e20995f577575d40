# Random call sequences against the handler's COM interfaces, with a fixed seed. Its settings are
# under a key of its own and it only reads the file types; its copy commands fill the display's one
# clipboard, which Wine shares between desktops, so it takes the lock of the programs that read it.
morvane_test(comfuzz_tests SOURCES ComFuzz.cpp FuzzGuard.cpp DialogWatcher.cpp LOCKS clipboard)
set_tests_properties(comfuzz_tests PROPERTIES COST 30)
