# The commands: extension change, summary and shortcut writers, and the dispatch of menu commands.
set(COMMAND_TEST_SUPPORT DialogWatcher.cpp)
morvane_test(rename_tests SOURCES RenameTests.cpp ${COMMAND_TEST_SUPPORT})
morvane_test(summarywriter_tests SOURCES SummaryWriterTests.cpp ${COMMAND_TEST_SUPPORT})
morvane_test(shortcutwriter_tests SOURCES ShortcutWriterTests.cpp ${COMMAND_TEST_SUPPORT} LOCKS filetypes)

morvane_test(dispatch_tests SOURCES DispatchTests.cpp ${COMMAND_TEST_SUPPORT} LOCKS filetypes settings clipboard)

# The same commands reached through the shell host as a separate process.
if(TARGET shellhost)
  morvane_test(commandhost_tests SOURCES CommandHostTests.cpp LOCKS registration settings filetypes clipboard)
  add_dependencies(commandhost_tests shellhost MorvaneRun)
endif()
