morvane_test(settings_tests SOURCES SettingsTests.cpp LOCKS settings)
morvane_test(format_tests SOURCES FormatTests.cpp LOCKS filetypes)
