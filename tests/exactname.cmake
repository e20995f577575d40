# Selected names that the plain path rules would rewrite, acted on exactly.
morvane_test(exactname_tests SOURCES ExactNameTests.cpp DialogWatcher.cpp LOCKS settings filetypes clipboard)
