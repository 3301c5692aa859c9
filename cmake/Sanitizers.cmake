# RFSENSE_SANITIZE=address (ASan+UBSan) or thread (TSan) instruments the whole build; fuzzer
# (clang only) adds libFuzzer's coverage to ASan+UBSan and builds the harnesses of fuzz/.
set(RFSENSE_SANITIZE "" CACHE STRING "Sanitizer build: address, thread or fuzzer")
if(RFSENSE_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
elseif(RFSENSE_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(RFSENSE_SANITIZE STREQUAL "fuzzer")
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "RFSENSE_SANITIZE=fuzzer needs clang (CXX=clang++ CC=clang)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
elseif(NOT RFSENSE_SANITIZE STREQUAL "")
    message(FATAL_ERROR "RFSENSE_SANITIZE must be address, thread or fuzzer")
endif()
