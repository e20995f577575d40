# Random call sequences against the handler's COM interfaces, with a fixed seed.
morvane_test(comfuzz_tests SOURCES ComFuzz.cpp FuzzGuard.cpp DialogWatcher.cpp LOCKS settings filetypes)
