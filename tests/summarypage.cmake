# The Summary page on the real sheet, on real compound documents.
morvane_test(summarypage_tests SOURCES SummaryPageTests.cpp SheetDriver.cpp DialogWatcher.cpp MemoryStoreOpener.cpp LOCKS settings)
target_link_libraries(summarypage_tests PRIVATE propsys)
