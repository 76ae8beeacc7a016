# The image loader against arbitrary bytes.
fu_add_fuzzer(fuzz_image_loader
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_image_loader.cpp
    LIBS firmware)
