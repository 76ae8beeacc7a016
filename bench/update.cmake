# Whole updates through the facade and the update worker against an in-process virtual
# watch: the time against the full-speed USB bound, and the peak memory of a 64 MiB image.
add_library(bench_update_rig STATIC ${CMAKE_CURRENT_LIST_DIR}/update/UpdateRig.cpp)
target_include_directories(bench_update_rig PUBLIC ${CMAKE_CURRENT_LIST_DIR}/update)
target_link_libraries(bench_update_rig PUBLIC firmupdater_app armillon_transport_virtual
                      watchsim_core)
add_executable(bench_update_speed ${CMAKE_CURRENT_LIST_DIR}/update/UpdateSpeedBenchmark.cpp)
target_link_libraries(bench_update_speed PRIVATE bench_update_rig benchmark::benchmark)
add_executable(bench_update_memory ${CMAKE_CURRENT_LIST_DIR}/update/UpdateMemoryBenchmark.cpp)
target_link_libraries(bench_update_memory PRIVATE bench_update_rig benchmark::benchmark)
