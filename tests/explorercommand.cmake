# The Windows 11 command tree, compared with the classic menu for the same selections.
morvane_test(explorercommand_tests SOURCES ExplorerCommandTests.cpp SheetDriver.cpp DialogWatcher.cpp LOCKS settings filetypes registration clipboard)
add_dependencies(explorercommand_tests MorvaneRun)
