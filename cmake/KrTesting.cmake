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

# kr_add_gtest(NAME SOURCES... [LIBS...] [LABELS...])
# One test executable, registered as one CTest test. Under a cross build CTest
# runs it through CMAKE_CROSSCOMPILING_EMULATOR.
function(kr_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
