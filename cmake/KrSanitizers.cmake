# KR_SANITIZERS is a comma-separated list handed to -fsanitize=, for example
# "address,undefined" or "thread". Empty means no sanitizer.
set(KR_SANITIZERS "" CACHE STRING "Sanitizers to build with (-fsanitize= list)")

if(KR_SANITIZERS)
    add_compile_options(-fsanitize=${KR_SANITIZERS} -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${KR_SANITIZERS})
    if(KR_SANITIZERS MATCHES "undefined")
        add_compile_options(-fno-sanitize-recover=all)
    endif()
endif()
