# The settings tests also build the list of registered types, so they read the file types too.
morvane_test(settings_tests SOURCES SettingsTests.cpp LOCKS settings filetypes)
morvane_test(format_tests SOURCES FormatTests.cpp LOCKS filetypes)
