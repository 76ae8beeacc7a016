# The virtual watch under arbitrary report traffic.
fu_add_fuzzer(fuzz_watch_reports
    SOURCES ${PROJECT_SOURCE_DIR}/simulator/fuzz/WatchReportsFuzzer.cpp
    LIBS watchsim_core)
