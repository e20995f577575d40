# The Shortcut and About pages of the file-information sheet, driven on the virtual display.
morvane_test(linkcursor_tests SOURCES LinkCursorTests.cpp)
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/SheetDriver.cpp)
  morvane_test(linkpage_tests SOURCES LinkPageTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS filetypes)
  morvane_test(aboutpage_tests SOURCES AboutPageTests.cpp SheetDriver.cpp DialogWatcher.cpp)
endif()
