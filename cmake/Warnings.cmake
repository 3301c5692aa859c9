# Warnings are errors in our own code. Call on every target the project builds.
# (-Wnull-dereference is left out: GCC 12 raises it inside libstdc++ at -O2.)
function(rfsense_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
        -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
        -Wdouble-promotion -Wformat=2 -Werror)
endfunction()
