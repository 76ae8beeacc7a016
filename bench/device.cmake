# The device library's framing and request throughput.
add_executable(bench_framing ${CMAKE_CURRENT_LIST_DIR}/device/FramingBenchmark.cpp)
target_link_libraries(bench_framing PRIVATE armillon_protocol armillon_transport_virtual
                      benchmark::benchmark)
