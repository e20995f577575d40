# The file-information sheet, driven through its own windows.
morvane_test(infosheet_tests SOURCES InfoSheetTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS settings filetypes)
