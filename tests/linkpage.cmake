# The Shortcut and About pages of the file-information sheet, driven on the virtual display.
morvane_test(linkcursor_tests SOURCES LinkCursorTests.cpp)
morvane_test(linkpage_tests SOURCES LinkPageTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS filetypes)
morvane_test(aboutpage_tests SOURCES AboutPageTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS pointer)
