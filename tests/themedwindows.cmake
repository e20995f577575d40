# The module's and the installer's manifests, and the module's sheet in a host without one.
morvane_test(themedwindows_tests SOURCES ThemedWindowsTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS settings)
add_dependencies(themedwindows_tests Setup)
