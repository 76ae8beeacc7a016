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
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 120)
endfunction()
