# Loading and checking an image against a plain read of the same file, with the heap the
# load takes on top of the file's bytes.
add_executable(bench_image_load ${CMAKE_CURRENT_LIST_DIR}/bench_image_load.cpp)
target_link_libraries(bench_image_load PRIVATE firmware firmware_linux benchmark::benchmark)
