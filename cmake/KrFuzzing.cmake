if(KR_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KR_FUZZ needs clang (libFuzzer)")
endif()

# Flags of the libFuzzer targets (the `fuzz` preset, clang): coverage for the
# fuzzer, and the address and undefined-behaviour sanitizers.
set(KR_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)

# kr_add_fuzz_target(NAME SOURCES... [LIBS...])
# One libFuzzer executable, listed for scripts/fuzz in
# ${CMAKE_BINARY_DIR}/fuzz-targets/NAME.txt (the executable, then its seed
# corpus, the folder corpus/ beside the calling CMakeLists.txt) and built by
# the target fuzz_targets.
function(kr_add_fuzz_target name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${KR_FUZZ_FLAGS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer ${KR_FUZZ_FLAGS})
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz-targets/${name}.txt
        CONTENT "$<TARGET_FILE:${name}>\n${CMAKE_CURRENT_SOURCE_DIR}/corpus\n")
    if(NOT TARGET fuzz_targets)
        add_custom_target(fuzz_targets)
    endif()
    add_dependencies(fuzz_targets ${name})
endfunction()

# kr_instrument_for_fuzzing(LIBRARIES...)
# Compiles the libraries with coverage and sanitizers, so that the fuzzer
# sees inside them; whatever links them gets the sanitizer runtimes. A
# module built from them then loads only into a program that carries those
# runtimes (the fuzz build's tests do, its camexpert does not): that build
# is for fuzzing.
function(kr_instrument_for_fuzzing)
    foreach(library IN LISTS ARGN)
        target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link ${KR_FUZZ_FLAGS})
        target_link_options(${library} INTERFACE -fsanitize=address,undefined)
    endforeach()
endfunction()
