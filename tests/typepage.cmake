# The Type page on the real sheet, against file types in HKEY_CLASSES_ROOT and the settings key.
morvane_test(typepage_tests SOURCES TypePageTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS filetypes settings pointer)
set_tests_properties(typepage_tests PROPERTIES COST 25)
