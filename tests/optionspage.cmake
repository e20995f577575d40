# The Options page on the real sheet, against the settings key of the current user.
morvane_test(optionspage_tests SOURCES OptionsPageTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS settings)
