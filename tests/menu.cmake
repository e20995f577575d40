morvane_test(helptext_tests SOURCES HelpTextTests.cpp)
morvane_test(menu_tests SOURCES MenuTests.cpp MenuTree.cpp LOCKS settings filetypes clipboard)
