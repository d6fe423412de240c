# Checks the directions between folders: every #include "folder/..." in a
# folder's own code must name a folder that the README's layout table lets
# that folder include, and every include names its folder (a bare name is
# allowed only for a header beside the including file). A row may be a
# folder inside another (host/cli/); its code is its own, not its parent's,
# and others include it by its last name ("cli/..."). Tests, benchmarks,
# fuzz targets and tools are exempt.
# Usage: cmake -DSOURCE_DIR=<root> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)

file(STRINGS ${SOURCE_DIR}/README.md rows REGEX "^\\| `[a-z/]+/` \\|")
set(folders "")
set(names "")
foreach(row IN LISTS rows)
    string(REGEX MATCH "^\\| `([a-z/]+)/`" _ "${row}")
    set(folder ${CMAKE_MATCH_1})
    get_filename_component(name ${folder} NAME)
    # The last cell: the names it may include, each in backquotes.
    string(REGEX MATCH "\\|([^|]*)\\|$" _ "${row}")
    string(REGEX MATCHALL "`[a-z]+`" allowed "${CMAKE_MATCH_1}")
    string(REPLACE "`" "" allowed "${allowed}")
    string(MAKE_C_IDENTIFIER "${folder}" key)
    set(allowed_${key} ${allowed})
    list(APPEND folders ${folder})
    list(APPEND names ${name})
endforeach()
if(NOT folders)
    message(FATAL_ERROR "no layout table found in README.md")
endif()

set(violations "")
set(includes_seen 0)
foreach(folder IN LISTS folders)
    string(MAKE_C_IDENTIFIER "${folder}" key)
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
        ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.in)
    list(FILTER sources EXCLUDE REGEX "/(tests|bench|fuzz|soak)/")
    foreach(inner IN LISTS folders) # folders of their own inside this one
        if(inner MATCHES "^${folder}/")
            list(FILTER sources EXCLUDE REGEX "^${inner}/")
        endif()
    endforeach()
    foreach(source IN LISTS sources)
        get_filename_component(directory ${SOURCE_DIR}/${source} DIRECTORY)
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include \"")
        foreach(line IN LISTS includes)
            math(EXPR includes_seen "${includes_seen} + 1")
            string(REGEX MATCH "^#include \"([^\"]+)\"" _ "${line}")
            set(path ${CMAKE_MATCH_1})
            if(NOT path MATCHES "/")
                if(NOT EXISTS ${directory}/${path})
                    string(APPEND violations "  ${source}: ${line} (name its folder)\n")
                endif()
                continue()
            endif()
            string(REGEX MATCH "^([a-z]+)/" _ "${path}")
            set(target ${CMAKE_MATCH_1})
            if(target IN_LIST names AND NOT target IN_LIST allowed_${key})
                string(APPEND violations "  ${source}: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "includes against the layout table of README.md:\n${violations}")
endif()
list(LENGTH folders count)
message(STATUS
    "layering: ${count} folders, ${includes_seen} includes, every one goes an allowed way")
