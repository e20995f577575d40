# The Attributes page on the real sheet, on real files.
morvane_test(attrpage_tests SOURCES AttrPageTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS settings)
