# Fails unless the module's dynamic symbol table defines exactly the three
# exported names (and no symbol of ours or of the standard library).
execute_process(COMMAND ${NM} -D --defined-only ${MODULE}
    OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(names "")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
    list(APPEND names "${name}")
endforeach()
list(SORT names)
set(expected createVyrexSysapiExpert KRRTINIFilePath
    nKRVersion_KRVYREX_SYSAPI_EXPERT_getVersionStringArray)
list(SORT expected)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "module exports:\n${listing}\nexpected exactly: ${expected}")
endif()
message(STATUS "module exports exactly: ${names}")

# The shipped kernel has no test seams: no environment variable of the kernel
# layer is named anywhere in the module.
file(STRINGS ${MODULE} seams REGEX "KRKERNEL_")
if(seams)
    message(FATAL_ERROR "the module names kernel test seams: ${seams}")
endif()
