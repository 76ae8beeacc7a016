# Warnings as errors for everything the project builds.
add_compile_options(-Wall -Wextra -Wpedantic -Werror)

if(FU_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(FU_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "FU_FUZZ needs clang (use the fuzz preset)")
    endif()
    # Instrument every library so the fuzzers get coverage from them.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# fu_add_tests(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable per folder, its cases registered with ctest.
function(fu_add_tests name)
    if(NOT FU_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} fu_test_main fu_testing GTest::gtest GTest::gmock)
    fu_register_tests(${name})
endfunction()

# fu_add_platform_subdirectory(): the folder of the platform being built for (linux/,
# windows/) beside the current portable one, when it has one.
macro(fu_add_platform_subdirectory)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${FU_PLATFORM}/CMakeLists.txt)
        add_subdirectory(${FU_PLATFORM})
    endif()
endmacro()
