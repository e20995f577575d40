morvane_test(timezone_tests SOURCES TimeZoneTests.cpp)
set_tests_properties(timezone_tests PROPERTIES ENVIRONMENT "TZ=America/New_York")
