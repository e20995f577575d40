# Random user sessions on the real sheet, with a fixed seed; "--sessions=N" runs more of them. Its
# settings are under a key of its own; its file type and the pointer are shared.
morvane_test(sheetfuzz_tests SOURCES SheetFuzz.cpp FuzzGuard.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS filetypes pointer)
# The longest programs start first, also in a fresh build that has no times of earlier runs.
set_tests_properties(sheetfuzz_tests PROPERTIES COST 50)
