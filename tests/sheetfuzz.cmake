# Random user sessions on the real sheet, with a fixed seed; "--sessions=N" runs more of them.
morvane_test(sheetfuzz_tests SOURCES SheetFuzz.cpp FuzzGuard.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS settings filetypes pointer)
