# GoogleTest for the tests: the installed package natively; when cross-compiling, built from
# Debian's source package (googletest, /usr/src/googletest) with the cross compiler.
set(FU_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources built when cross-compiling")
if(CMAKE_CROSSCOMPILING)
    if(NOT EXISTS ${FU_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
        message(FATAL_ERROR "No GoogleTest sources in ${FU_GOOGLETEST_SOURCE_DIR} "
                            "(Debian package googletest)")
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    # Not our code: built without the project's warnings-as-errors.
    get_directory_property(project_options COMPILE_OPTIONS)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
    add_subdirectory(${FU_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "${project_options}")
    foreach(target gtest gmock gtest_main gmock_main)
        if(NOT TARGET GTest::${target})
            add_library(GTest::${target} ALIAS ${target})
        endif()
    endforeach()
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Under an emulator (Wine) every start of a test program costs a process start of its own,
# so each test program is one ctest test there, run whole, with the emulator's server kept
# warm by a fixture around the run; natively each test case is a ctest test of its own.
if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME emulator_start
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-server start ${CMAKE_BINARY_DIR})
    add_test(NAME emulator_stop
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-server stop ${CMAKE_BINARY_DIR})
    set_tests_properties(emulator_start PROPERTIES FIXTURES_SETUP emulator TIMEOUT 120)
    set_tests_properties(emulator_stop PROPERTIES FIXTURES_CLEANUP emulator)
endif()

# fu_register_tests(<test program>): its cases as ctest tests.
function(fu_register_tests name)
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
        # Wine takes the user's locale and the ANSI code page from the locale it starts in:
        # US English and the Western European code page, whatever the machine's.
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED emulator TIMEOUT 300
                             ENVIRONMENT "LC_ALL=en_US.UTF-8")
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                             PROPERTIES TIMEOUT 120)
    endif()
endfunction()
