# Warnings are errors in our own code. Call on every target the project builds.
# (-Wnull-dereference is left out: GCC 12 raises it inside libstdc++ at -O2.)
function(rfsense_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
        -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
        -Wdouble-promotion -Wformat=2 -Werror)
    # GCC 12 at -O3 reports std::string copies it has inlined as overlapping (a known false
    # positive, GCC bug 105329), which broke Release builds: keep the warning, not the error.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-error=restrict)
    endif()
endfunction()
