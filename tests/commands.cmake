# The commands: extension change, summary and shortcut writers, and the dispatch of menu commands.
set(COMMAND_TEST_SUPPORT DialogWatcher.cpp)
morvane_test(rename_tests SOURCES RenameTests.cpp ${COMMAND_TEST_SUPPORT})
morvane_test(summarywriter_tests SOURCES SummaryWriterTests.cpp ${COMMAND_TEST_SUPPORT})
morvane_test(shortcutwriter_tests SOURCES ShortcutWriterTests.cpp ${COMMAND_TEST_SUPPORT} LOCKS filetypes)

# The programs the commands start, replaced beside the test programs by a recorder of their
# command lines: CreateProcess looks in the caller's own folder before the system folders.
foreach(program notepad explorer)
  add_executable(recorder_${program} recorder/Recorder.cpp)
  set_target_properties(recorder_${program} PROPERTIES OUTPUT_NAME ${program} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endforeach()
morvane_test(dispatch_tests SOURCES DispatchTests.cpp ${COMMAND_TEST_SUPPORT} LOCKS filetypes settings)
add_dependencies(dispatch_tests recorder_notepad recorder_explorer)

# The same commands reached through the shell host as a separate process.
if(TARGET shellhost)
  morvane_test(commandhost_tests SOURCES CommandHostTests.cpp LOCKS registration settings filetypes)
  add_dependencies(commandhost_tests shellhost)
endif()
