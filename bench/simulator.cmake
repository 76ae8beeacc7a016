# The in-process virtual watch under report traffic.
add_executable(bench_watch ${PROJECT_SOURCE_DIR}/simulator/bench/WatchBenchmark.cpp)
target_link_libraries(bench_watch PRIVATE watchsim_core benchmark::benchmark)
