morvane_test(framework_tests SOURCES StringTests.cpp ArrayTests.cpp)
morvane_test(registration_tests SOURCES RegistrationTests.cpp LOCKS registration)
morvane_test(filelist_tests SOURCES FileListTests.cpp LOCKS filetypes)
