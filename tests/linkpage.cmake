# The Shortcut and About pages of the file-information sheet, driven on the virtual display.
morvane_test(linkcursor_tests SOURCES LinkCursorTests.cpp)
morvane_test(linkpage_tests SOURCES LinkPageTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS filetypes)
morvane_test(aboutpage_tests SOURCES AboutPageTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS pointer)
# Under Wine the cursor shown is the display's, and every program's desktop that opens under the
# pointer sets it: the About page's cursor test runs with no other program beside it.
set_tests_properties(aboutpage_tests PROPERTIES RUN_SERIAL TRUE)
