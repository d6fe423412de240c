# Checks the directions between folders: every #include "folder/..." in a
# folder's own code must name a folder that the README's layout table lets
# that folder include. Tests, benchmarks, fuzz targets and tools are exempt.
# Usage: cmake -DSOURCE_DIR=<root> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)

file(STRINGS ${SOURCE_DIR}/README.md rows REGEX "^\\| `[a-z]+/` \\|")
set(folders "")
foreach(row IN LISTS rows)
    string(REGEX MATCH "^\\| `([a-z]+)/`" _ "${row}")
    set(folder ${CMAKE_MATCH_1})
    # The last cell: the folders it may include, each in backquotes.
    string(REGEX MATCH "\\|([^|]*)\\|$" _ "${row}")
    string(REGEX MATCHALL "`[a-z]+`" allowed "${CMAKE_MATCH_1}")
    string(REPLACE "`" "" allowed "${allowed}")
    set(allowed_${folder} ${allowed})
    list(APPEND folders ${folder})
endforeach()
if(NOT folders)
    message(FATAL_ERROR "no layout table found in README.md")
endif()

set(violations "")
foreach(folder IN LISTS folders)
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
        ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.in)
    list(FILTER sources EXCLUDE REGEX "/(tests|bench|fuzz|soak)/")
    foreach(source IN LISTS sources)
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include \"[a-z]+/")
        foreach(line IN LISTS includes)
            string(REGEX MATCH "^#include \"([a-z]+)/" _ "${line}")
            set(target ${CMAKE_MATCH_1})
            if(target IN_LIST folders AND NOT target IN_LIST allowed_${folder})
                string(APPEND violations "  ${source}: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "includes against the layout table of README.md:\n${violations}")
endif()
list(LENGTH folders count)
message(STATUS "layering: ${count} folders, every include goes an allowed way")
