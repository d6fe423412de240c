# GoogleTest: the system's package on a native build, built from the sources
# Debian ships when cross compiling (there is no big-endian binary package).
if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # googletest 1.12 already defines the GTest:: aliases.
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# kr_add_gtest(NAME SOURCES... [LIBS...] [LABELS...])
# One test executable; every test case in it is a CTest test of its own,
# named NAME.Suite.Case and run in a process of its own. The cases are listed
# (--gtest_list_tests) when CTest starts, not at build time, so that a cross
# build lists them through CMAKE_CROSSCOMPILING_EMULATOR as it runs them.
function(kr_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    # Tests get the kernel with its test seams; the shipped module does not.
    target_link_libraries(${name} PRIVATE krkernel_testing ${ARG_LIBS} GTest::gtest GTest::gmock
                                          GTest::gtest_main)
    set(properties "")
    if(ARG_LABELS)
        set(properties PROPERTIES LABELS "${ARG_LABELS}")
    endif()
    # Listing is slow under the emulator and under ThreadSanitizer.
    gtest_discover_tests(${name}
        TEST_PREFIX "${name}."
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        ${properties})
endfunction()
