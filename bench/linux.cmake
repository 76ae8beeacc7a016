# Report traffic through the kernel: a virtual watch served as a hidraw node by a FUSE mount,
# driven by the hidraw backend.
add_executable(bench_hidraw
    ${CMAKE_CURRENT_LIST_DIR}/linux/HidrawBenchmark.cpp
    ${PROJECT_SOURCE_DIR}/ArmillonDevice/transport/linux/tests/HidrawMount.cpp)
target_include_directories(bench_hidraw PRIVATE
    ${PROJECT_SOURCE_DIR}/ArmillonDevice/transport/linux/tests)
target_link_libraries(bench_hidraw PRIVATE armillon_transport_linux armillon_protocol watchsim_fuse
                      fu_testing benchmark::benchmark)
