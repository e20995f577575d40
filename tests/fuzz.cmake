# Random call sequences against the handler's COM interfaces, with a fixed seed. No lock: the
# settings it writes are under a key of its own, and it only reads the file types.
morvane_test(comfuzz_tests SOURCES ComFuzz.cpp FuzzGuard.cpp DialogWatcher.cpp)
set_tests_properties(comfuzz_tests PROPERTIES COST 30)
